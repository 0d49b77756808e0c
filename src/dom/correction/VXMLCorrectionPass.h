// The repair of a VoiceXML document's tree.
#ifndef PAGEDOM_CORRECTION_VXMLCORRECTIONPASS_H
#define PAGEDOM_CORRECTION_VXMLCORRECTIONPASS_H

#include <unordered_set>
#include <vector>

#include "correction/CorrectionState.h"
#include "correction/VXMLErrorCorrector.h"

class Document;
class Element;
class Node;

namespace pagedom {

// Repairs the subtree of a node of a VoiceXML document, node by node in
// document order, so that the page reads back as the tree it is then:
//  - markup the end of the page left open (a comment, a CDATA section, an
//    instruction, a tag or block cut short) is closed first, so that what
//    the repair writes after it is not read into it;
//  - a node its parent may not hold is promoted by the VoiceXML corrector
//    (put into the adaptors VoiceXML implies, or moved up);
//  - an element that only had an end tag, or an unneeded one, and holds
//    nothing goes; what an element declared empty holds goes after it;
//  - an element with tag errors gets its tags produced again, showing
//    both; a text with bare markup characters is written again.
// Every bit the repair acts on is cleared once dealt with, and errors it
// cannot take away (an undeclared name, content nothing can place) are left
// without touching the node, so a second repair finds nothing to do.  The
// nodes to visit are listed before anything changes, each held by a
// reference; every walk is iterative.
class VXMLCorrectionPass {
public:
    VXMLCorrectionPass(Document& document, Node* start);
    ~VXMLCorrectionPass();
    VXMLCorrectionPass(const VXMLCorrectionPass&) = delete;
    VXMLCorrectionPass& operator=(const VXMLCorrectionPass&) = delete;

    // Runs the repair; whether anything changed.
    bool run();

private:
    // Lists the nodes with errors not listed before, holding a reference
    // to each.
    void collect();
    // Repairs one listed node, unless it went meanwhile.
    void correct(Node* node);
    void correctElement(Element* element);
    // Closes the markup a node the end of the page cut short left open.
    void closeMarkup(Node* node);
    // Produces the tags of an element with tag errors again and clears
    // them.
    void repairTags(Element* element);
    // Promotes a misplaced node; whether it moved.
    void place(Node* node);
    // After a repair, every element that shows its start tag and no end
    // tag (a copy a promotion split off, an element whose end tag a stray
    // end tag took) shows its end tag, or the empty-tag form when it is
    // declared empty and holds nothing: in XML nothing else ends an
    // element.
    void closeOpenElements();
    // Clears bits on node, noting the change when any was set.
    void clear(Node* node, unsigned long bits);

    CorrectionState _state;
    VXMLErrorCorrector _corrector;
    Node* _start;
    std::vector<Node*> _visits;
    std::unordered_set<const Node*> _listed;
};

} // namespace pagedom

#endif
