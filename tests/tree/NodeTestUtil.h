#ifndef PAGEDOM_TESTS_TREE_NODETESTUTIL_H
#define PAGEDOM_TESTS_TREE_NODETESTUTIL_H

// Helpers for the node, list and document tests: reference holders, a
// compact tree notation and a link-consistency check.  In the notation,
// "r(a(a1 a2) 'text' !note)" is element r holding element a (holding a1 and
// a2), a text node and a comment.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "dom.h"

namespace testutil {

struct Releaser {
    void operator()(Node* node) const { node->releaseRef(); }
};
using NodePtr = std::unique_ptr<Node, Releaser>;
using DocPtr = std::unique_ptr<Document, Releaser>;

// A document without a document type: it accepts any element and white
// space, and its elements accept elements and text.
inline DocPtr plainDocument()
{
    return DocPtr(DOMImpl::createDocument("page"));
}

// Appends the nodes written in text from position i to parent.
inline void buildInto(Document* doc, Node* parent, const std::string& text, std::size_t& i)
{
    while (i < text.size() && text[i] != ')') {
        if (text[i] == ' ') {
            ++i;
            continue;
        }
        std::size_t end = text[i] == '\'' ? text.find('\'', i + 1) + 1 : text.find_first_of(" ()", i);
        std::string token = text.substr(i, (end == std::string::npos ? text.size() : end) - i);
        i += token.size();
        Node* node = token[0] == '\'' ? static_cast<Node*>(doc->createTextNode(token.substr(1, token.size() - 2)))
                     : token[0] == '!' ? static_cast<Node*>(doc->createComment(token.substr(1)))
                                       : static_cast<Node*>(doc->createElement(token));
        parent->appendChild(node);
        if (i < text.size() && text[i] == '(') {
            buildInto(doc, node, text, ++i);
            ++i;
        }
    }
}

inline void appendAll(Document* doc, Node* parent, const std::string& text)
{
    std::size_t i = 0;
    buildInto(doc, parent, text, i);
}

// One parentless element built from text, owned by the caller.
inline Element* build(Document* doc, const std::string& text)
{
    NodePtr holder(doc->createDocumentFragment());
    std::size_t i = 0;
    buildInto(doc, holder.get(), text, i);
    return static_cast<Element*>(holder->removeChild(holder->getFirstChild()));
}

// The notation of a subtree (the reverse of build).
inline std::string shape(const Node* node)
{
    if (node->getNodeType() == Node::TEXT_NODE)
        return "'" + static_cast<const Text*>(node)->getData() + "'";
    if (node->getNodeType() == Node::COMMENT_NODE)
        return "!" + static_cast<const Comment*>(node)->getData();
    std::string out = node->getNodeName();
    for (const Node* c = node->getFirstChild(); c; c = c->getNextSibling())
        out += (c->getPreviousSibling() ? " " : "(") + shape(c) + (c->getNextSibling() ? "" : ")");
    return out;
}

inline Node* find(Node* root, const std::string& name)
{
    for (Node* n = root; n; n = n->getNextNode(root))
        if (n->getNodeName() == name)
            return n;
    return nullptr;
}

// Parent, sibling links, child index and child list agree.
inline ::testing::AssertionResult linked(const Node* parent)
{
    dom::NodeList list = parent->getChildNodes();
    for (unsigned long i = 0, n = parent->getChildLength(); i < n || i < list.length(); ++i) {
        const Node* c = parent->getChildNode(i);
        if (!c || c != list.item(i) || c->getParentNode() != parent || parent->getChildIndex(c) != i ||
            c->getPreviousSibling() != (i ? parent->getChildNode(i - 1) : nullptr) ||
            c->getNextSibling() != parent->getChildNode(i + 1))
            return ::testing::AssertionFailure() << "child " << i << " is badly linked";
    }
    return ::testing::AssertionSuccess();
}

} // namespace testutil

#endif
