// The document fragment: a parentless container for pasted or generated
// content, and the base of the document.
#ifndef PAGEDOM_TREE_DOCUMENTFRAGMENT_H
#define PAGEDOM_TREE_DOCUMENTFRAGMENT_H

#include "node/ContainerNode.h"

// A lightweight parentless container for pasted or generated content.
class DocumentFragment : public ContainerNode {
public:
    // "#document-fragment".
    static const std::string NODE_NAME;

    // "#document-fragment".
    std::string getNodeName() const override;
    // DOCUMENT_FRAGMENT_NODE.
    unsigned short getNodeType() const override;
    // Always null: a fragment never has a parent.
    Node* getParentNode() const override;
    // Whether child may be in a fragment: elements, character data, entity
    // references, processing instructions, comments and doctypes.
    bool canContain(const Node* child) const override;
    // A new fragment; with deep, copies of the children too.
    Node* cloneNode(bool deep) const override;

    // Every attribute of URI kind on every element of the fragment, in
    // document order.
    dom::NodeList getURIAttrNodes() const;

    // Reads source into this node: an HTML document is parsed as a page.
    void parse(const std::string& source);

protected:
    // An empty fragment of ownerDocument (Document::createDocumentFragment).
    DocumentFragment(Document* ownerDocument, const std::string& name);
    // A copy of other without children (see cloneNode).
    DocumentFragment(const DocumentFragment& other);

private:
    // Linking a parent does nothing.
    void _setParentNode(Node* parent) override;

    // The document's factory makes fragments.
    friend class Document;
};

#endif
