#ifndef PAGEDOM_TREE_METADATA_H
#define PAGEDOM_TREE_METADATA_H

#include "node/ContainerNode.h"

class Element;

// Editor data attached to an element: a design-time control, a dynamic
// element's binding, or an author-time visual.  The node holds the content
// that the page's METADATA comments wrap.
class MetaData : public ContainerNode {
public:
    enum Type : int {
        NONE = -1,
        DesignerControl = 0,
        DynamicData = 1,
        AuthorTimeVisual = 2
    };

    static const std::string NODE_NAME;

    explicit MetaData(Document* ownerDocument);

    std::string getNodeName() const override;
    unsigned short getNodeType() const override;
    Node* cloneNode(bool deep) const override;

    Type getType() const { return _type; }
    void setType(Type type) { _type = type; }

    // The element this metadata is attached to (not owned), or null.
    Element* getOwnerElement() const { return _ownerElement; }
    void _setOwnerElement(Element* element) { _ownerElement = element; }

    // The author-time visual element held by AuthorTimeVisual metadata.
    Element* getATVElement() const { return _atv; }
    void _setATVElement(Element* atv) { _atv = atv; }

    bool isRevised() const { return _revised; }
    void _setRevised(bool on) { _revised = on; }

protected:
    MetaData(const MetaData& other);

private:
    Type _type = NONE;
    Element* _ownerElement = nullptr;
    Element* _atv = nullptr;
    bool _revised = false;
};

#endif
