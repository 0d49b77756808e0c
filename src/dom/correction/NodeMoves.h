// The node moves both correctors make.  An internal header.
#ifndef PAGEDOM_CORRECTION_NODEMOVES_H
#define PAGEDOM_CORRECTION_NODEMOVES_H

#include "node/Node.h"
#include "tree/Text.h"

namespace pagedom {

// A comment or a text of white space: layout, not content.  Looking back
// for an adaptor passes over these.
inline bool isLayoutOnly(const Node* n)
{
    if (n->getNodeType() == Node::COMMENT_NODE)
        return true;
    return n->getNodeType() == Node::TEXT_NODE && static_cast<const Text*>(n)->isSpaceText();
}

// Takes node out of its parent and appends it to holder (back to its place
// when holder refuses it, so no node is lost).
inline void moveInto(Node* holder, Node* node)
{
    Node* parent = node->getParentNode();
    Node* next = node->getNextSibling();
    Node* moved = parent->removeChild(node);
    if (!moved || holder->appendChild(moved))
        return;
    if (!parent->insertBefore(moved, next))
        moved->releaseRef();
}

} // namespace pagedom

#endif
