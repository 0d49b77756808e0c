// The corrector of VoiceXML documents: the generic corrector with the
// adaptors VoiceXML implies.
#ifndef PAGEDOM_CORRECTION_VXMLERRORCORRECTOR_H
#define PAGEDOM_CORRECTION_VXMLERRORCORRECTOR_H

#include "correction/ErrorCorrector.h"

// The ErrorCorrector of VoiceXML documents (documents named "VXML").  It
// knows which element a VoiceXML parent makes inside itself to receive a
// stray child (a form in vxml, a block in a form), and which element is the
// natural parent of a stray element (a menu around a choice, a form around
// a field, a field around an option, an if around an else ...).  Traversal,
// promotion, adaptation and distribution are those of ErrorCorrector.
// Names are compared exactly: an element type named "Field" gets no
// adaptor.
class VXMLErrorCorrector : public ErrorCorrector {
public:
    // A corrector of root's subtree (root not owned).
    explicit VXMLErrorCorrector(Node* root) : ErrorCorrector(root) {}
    // A corrector of the same root.
    VXMLErrorCorrector(const VXMLErrorCorrector& other) = default;
    // Takes the other corrector's root.
    VXMLErrorCorrector& operator=(const VXMLErrorCorrector& other) = default;
    // Destroys the corrector (not the root).
    ~VXMLErrorCorrector() override {}

protected:
    // A new form inside a vxml, a new block inside a form, marked
    // UPDATE_ADAPTED; null for any other parent, or one without element
    // type or owner document.
    Element* _createChildAdaptor(const Element* parent) const override;
    // A new element of the parent the child's type name implies (menu for
    // choice; form for field, initial, block, dtmf, grammar, record,
    // transfer, filled, subdialog, object and property; field for option;
    // prompt for break, div, emp, pros and sayas; if for elseif and else;
    // object for param), marked UPDATE_ADAPTED; null for any other child, or
    // one without element type or owner document.
    Element* _createParentAdaptor(const Element* child) const override;
};

#endif
