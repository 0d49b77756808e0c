// The node moves both correctors make.  An internal header.
#ifndef PAGEDOM_CORRECTION_NODEMOVES_H
#define PAGEDOM_CORRECTION_NODEMOVES_H

#include <vector>

#include "correction/TagRepair.h"
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

// The sibling before node that is not layout, or null when there is none
// among the nearest few: a run of white space left by nodes a repair moved
// away would otherwise be walked again for every stray node after it.
inline Node* contentBefore(const Node* node)
{
    constexpr unsigned LOOK_BACK = 32;
    Node* sibling = node->getPreviousSibling();
    for (unsigned skipped = 0; sibling && isLayoutOnly(sibling); ++skipped) {
        if (skipped == LOOK_BACK)
            return nullptr;
        sibling = sibling->getPreviousSibling();
    }
    return sibling;
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

// Pushes parent's formatting down into the content of node, which left
// parent: each run of node's children that parent may wrap (and node may
// hold parent) goes into a shallow copy of parent put in its place; layout
// (isLayout) joins an open run; any other child gets the same treatment for
// its own children, unless descend refuses it or it holds raw content; a
// child that passThrough names is never wrapped itself, only its content.
// Walked without recursion.  Each copy made is handed to made once the walk
// is done.  parent when it wrapped anything, else null.
template <typename IsLayout, typename PassThrough, typename Descend, typename Made>
Node* distributeOver(Node* node, Node* parent, IsLayout isLayout, PassThrough passThrough, Descend descend,
                     Made made)
{
    std::vector<Node*> wrappers;
    std::vector<Node*> pending{node};
    while (!pending.empty()) {
        Node* over = pending.back();
        pending.pop_back();
        // Raw content (server code, a SCRIPT) holds no markup to wrap.
        if (TagRepair::holdsRawContent(over))
            continue;
        const bool holdsParent = over->canContain(parent);
        Node* wrapper = nullptr;
        std::vector<Node*> deeper;
        for (Node* child = over->getFirstChild(); child;) {
            Node* next = child->getNextSibling();
            if (isLayout(child)) {
                if (wrapper)
                    moveInto(wrapper, child);
            } else if (holdsParent && !passThrough(child) && parent->canContain(child)) {
                if (!wrapper) {
                    wrapper = parent->cloneNode(false);
                    if (!over->insertBefore(wrapper, child)) {
                        wrapper->releaseRef();
                        wrapper = nullptr;
                        child = next;
                        continue;
                    }
                    wrappers.push_back(wrapper);
                }
                moveInto(wrapper, child);
            } else {
                wrapper = nullptr;
                if (descend(child))
                    deeper.push_back(child);
            }
            child = next;
        }
        // In document order: the first child deeper is handled first.
        pending.insert(pending.end(), deeper.rbegin(), deeper.rend());
    }
    for (Node* wrapper : wrappers)
        made(wrapper);
    return wrappers.empty() ? nullptr : parent;
}

} // namespace pagedom

#endif
