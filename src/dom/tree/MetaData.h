// The metadata node: editor data attached to an element of the page.
#ifndef PAGEDOM_TREE_METADATA_H
#define PAGEDOM_TREE_METADATA_H

#include "node/ContainerNode.h"

class Element;

// Editor data attached to an element: a design-time control, a dynamic
// element's binding, or an author-time visual.  The node holds the content
// that the page's METADATA comments wrap.
class MetaData : public ContainerNode {
public:
    // The kind of editor data.
    enum Type : int {
        NONE = -1,             // not set yet
        DesignerControl = 0,   // a design-time control
        DynamicData = 1,       // a dynamic element's binding
        AuthorTimeVisual = 2   // an author-time visual
    };

    // "#meta-data".
    static const std::string NODE_NAME;

    // Metadata of no type, attached to no element.
    explicit MetaData(Document* ownerDocument);
    // Releases the author-time visual element, then the children.
    ~MetaData() override;

    // "#meta-data".
    std::string getNodeName() const override;
    // META_DATA_NODE.
    unsigned short getNodeType() const override;
    // A copy with the type, attached to no element, holding a copy of the
    // author-time visual element; with deep, copies of the children too.
    Node* cloneNode(bool deep) const override;

    // The kind of editor data.
    Type getType() const { return _type; }
    // Sets the kind of editor data.
    void setType(Type type) { _type = type; }

    // The element this metadata is attached to (not owned), or null.
    Element* getOwnerElement() const { return _ownerElement; }

    // The author-time visual element held by AuthorTimeVisual metadata (the
    // metadata holds a reference on it), or null.
    Element* getATVElement() const { return _atv; }

    // Whether the element the metadata belongs to changed since it was read.
    bool isRevised() const { return _revised; }

protected:
    // A copy of other attached to no element (see cloneNode).
    MetaData(const MetaData& other);

private:
    // --- Node internals --------------------------------------------------------
    Node* _keeper() const override;
    bool _keepsOthers() const override { return _atv != nullptr; }
    void _adoptAttachments(Document* owner, std::vector<Node*>& roots) override;

    void _setOwnerElement(Element* element) { _ownerElement = element; }
    // Holds atv (adding a reference) instead of the element held before
    // (releasing it), and marks which element it keeps.  atv has no parent
    // other than this node and no other keeper; one from another document
    // is adopted by this node's document.
    void _setATVElement(Element* atv);
    void _setRevised(bool on) { _revised = on; }

    Type _type = NONE;
    Element* _ownerElement = nullptr;
    Element* _atv = nullptr;
    bool _revised = false;

    // Library internals used by the element the metadata is attached to.
    friend class Element;
};

#endif
