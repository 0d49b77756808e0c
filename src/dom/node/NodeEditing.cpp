// The structural edits every node offers on top of the container
// operations: inserting after a child, removing a run of children, and
// normalising text.
#include "node/Node.h"

#include <utility>
#include <vector>

Node* Node::insertAfter(Node* newChild, Node* refChild)
{
    // A reference that is no child here is refused, as insertBefore refuses
    // one: the last child of another node must not mean "append".
    if (refChild && refChild->_parent != this)
        return nullptr;
    if (refChild)
        return insertBefore(newChild, refChild->_next);
    return insertBefore(newChild, getFirstChild());
}

Node* Node::removeChildNodes(Node* first, Node* last)
{
    if (!first)
        first = getFirstChild();
    if (!first)
        return nullptr;
    if (!last)
        last = getLastChild();
    unsigned long firstIndex = getChildIndex(first);
    unsigned long lastIndex = getChildIndex(last);
    if (firstIndex == NOT_FOUND || lastIndex == NOT_FOUND)
        return nullptr;
    if (firstIndex > lastIndex) {
        std::swap(first, last);
        std::swap(firstIndex, lastIndex);
    }
    // The removed children stay linked to each other, so the run can be
    // inserted elsewhere whole.
    Node* head = nullptr;
    Node* tail = nullptr;
    for (unsigned long i = firstIndex; i <= lastIndex; ++i) {
        Node* child = getChildNode(firstIndex);
        if (!child || !removeChild(child))
            break;
        if (tail) {
            tail->_setNextSibling(child);
            child->_setPreviousSibling(tail);
        } else {
            head = child;
        }
        tail = child;
    }
    return head;
}

void Node::normalize()
{
    // Pre-order walk over the subtree; merging only touches the children of
    // the node being visited, so the walk continues from the visited node.
    // A run of adjacent texts is merged into its first in one step, then the
    // others go one after the other from the place the list was last edited,
    // so a run of any length costs its length.
    std::vector<Node*> run;
    Node* node = this;
    while (node) {
        Node* child = node->getFirstChild();
        while (child) {
            Node* next = child->_next;
            if (child->getNodeType() != TEXT_NODE) {
                child = next;
                continue;
            }
            Node* text = child;
            if (text->getSource().empty()) {
                node->removeChild(text);
                text->releaseRef();
                child = next;
                continue;
            }
            run.clear();
            for (; next && next->getNodeType() == TEXT_NODE; next = next->_next)
                run.push_back(next);
            if (!run.empty()) {
                text->_absorbTexts(run);
                for (Node* merged : run) {
                    node->removeChild(merged);
                    merged->releaseRef();
                }
            }
            child = next;
        }
        node = node->getNextNode(this, false);
    }
}
