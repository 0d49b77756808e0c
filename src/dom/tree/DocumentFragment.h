#ifndef PAGEDOM_TREE_DOCUMENTFRAGMENT_H
#define PAGEDOM_TREE_DOCUMENTFRAGMENT_H

#include "node/ContainerNode.h"

// A lightweight parentless container for pasted or generated content.
class DocumentFragment : public ContainerNode {
public:
    static const std::string NODE_NAME;

    std::string getNodeName() const override;
    unsigned short getNodeType() const override;
    Node* getParentNode() const override;
    bool canContain(const Node* child) const override;
    Node* cloneNode(bool deep) const override;

    // Every attribute of URI kind on every element of the fragment, in
    // document order.
    dom::NodeList getURIAttrNodes() const;

    // Reads source into this node: an HTML document is parsed as a page.
    void parse(const std::string& source);

protected:
    DocumentFragment(Document* ownerDocument, const std::string& name);
    DocumentFragment(const DocumentFragment& other);
    void _setParentNode(Node* parent) override;

    friend class Document;
};

#endif
