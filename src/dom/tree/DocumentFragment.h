// The document fragment: a parentless container for pasted or generated
// content, and the base of the document.
#ifndef PAGEDOM_TREE_DOCUMENTFRAGMENT_H
#define PAGEDOM_TREE_DOCUMENTFRAGMENT_H

#include "node/ContainerNode.h"

namespace dom {
class Range;
}

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

    // Reads source into this node: an HTML document is parsed as a page
    // (createNodes); anything else reads it as XML after its children, a
    // text it ends with read again together with source.
    void parse(const std::string& source);
    // Replaces the source between the two ends of a source range in this
    // node's subtree by source and reads the result again in place, with
    // what follows as far as the new text changes how it reads; the tree is
    // then the one reading the whole edited text gives.  An end in
    // character data (or any node without children) is a byte offset into
    // its source, one at an element's end tag a byte offset into the end
    // tag, any other a child index.  False, with nothing changed, when an
    // end lies outside this node, the ends are out of order, or this is the
    // HTML document, whose pages are read as a whole.
    bool parse(const std::string& source, const dom::Range& range);

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
