// Finding one's way in a tree: the children of a node, its ancestors, and
// document order.
#include "node/Node.h"

unsigned long Node::getChildLength() const
{
    const dom::OwnerNodeList* list = _childList();
    return list ? list->length() : 0;
}

Node* Node::getFirstChild() const
{
    const dom::OwnerNodeList* list = _childList();
    return list ? list->first() : nullptr;
}

Node* Node::getLastChild() const
{
    const dom::OwnerNodeList* list = _childList();
    return list ? list->last() : nullptr;
}

Node* Node::getChildNode(unsigned long index) const
{
    const dom::OwnerNodeList* list = _childList();
    return list ? list->item(index) : nullptr;
}

unsigned long Node::getChildIndex(const Node* child) const
{
    const dom::OwnerNodeList* list = _childList();
    if (!list || !child || child->_parent != this)
        return NOT_FOUND;
    // The sibling links tell the two ends apart at once, and the list looks
    // beside its last edit before it scans: removing the last child, as an
    // editor trimming a list or a document being destroyed does, or the
    // child after the one just removed or inserted, must not scan the whole
    // list each time.
    unsigned long length = list->length();
    if (!child->_next && length && list->item(length - 1) == child)
        return length - 1;
    if (!child->_previous && list->item(0) == child)
        return 0;
    return list->indexOfUnique(child);
}

bool Node::isOffspringOf(const Node* node) const
{
    if (!node)
        return false;
    for (const Node* n = this; n; n = n->getParentNode())
        if (n == node)
            return true;
    return false;
}

bool Node::_isOwnedBy(const Node* owner) const
{
    for (const Node* n = this; n;) {
        if (n == owner)
            return true;
        const Node* parent = n->getParentNode();
        n = parent ? parent : n->_keeper();
    }
    return false;
}

namespace {

unsigned long depthOf(const Node* node)
{
    unsigned long depth = 0;
    for (const Node* n = node->getParentNode(); n; n = n->getParentNode())
        ++depth;
    return depth;
}

// Climbs from a and b to the same depth; the results are either one node
// (one was the other's ancestor or the same node) or two nodes at equal depth.
void alignDepths(const Node*& a, const Node*& b)
{
    unsigned long da = depthOf(a);
    unsigned long db = depthOf(b);
    for (; da > db; --da)
        a = a->getParentNode();
    for (; db > da; --db)
        b = b->getParentNode();
}

} // namespace

// The nearest of this node and its ancestors that also contains other: both
// climb to equal depth, then in step, so two deep branches cost their depths,
// not their product.
Node* Node::getCommonAncestor(const Node* other) const
{
    if (!other)
        return nullptr;
    const Node* a = this;
    const Node* b = other;
    alignDepths(a, b);
    while (a != b) {
        a = a->getParentNode();
        b = b->getParentNode();
    }
    return const_cast<Node*>(a);
}

Document* Node::getAncestorDocument() const
{
    for (const Node* n = this; n; n = n->getParentNode())
        if (n->getNodeType() == DOCUMENT_NODE)
            return const_cast<Node*>(n)->getDocument();
    return nullptr;
}

unsigned Node::_ancestorMetaCommentForms() const
{
    unsigned forms = 0;
    for (const Node* n = getParentNode(); n; n = n->getParentNode())
        forms |= n->_metaCommentForm();
    return forms;
}

Element* Node::getAncestorMetaElement() const
{
    for (Node* n = getParentNode(); n && n->getNodeType() == ELEMENT_NODE; n = n->getParentNode()) {
        if (Element* e = n->_asMetaElement())
            return e;
    }
    return nullptr;
}

Node* Node::getLastDescendant() const
{
    Node* last = getLastChild();
    if (!last)
        return nullptr;
    while (Node* deeper = last->getLastChild())
        last = deeper;
    return last;
}

Node* Node::getNextNode(const Node* root, bool skipChildren) const
{
    if (!skipChildren) {
        if (Node* first = getFirstChild())
            return first;
    }
    if (this == root)
        return nullptr;
    if (_next)
        return _next;
    for (const Node* n = getParentNode(); n; n = n->getParentNode()) {
        if (n == root)
            return nullptr;
        if (n->_next)
            return n->_next;
    }
    return nullptr;
}

Node* Node::getPreviousNode(const Node* root) const
{
    if (_previous) {
        Node* last = _previous->getLastDescendant();
        return last ? last : _previous;
    }
    Node* parent = getParentNode();
    if (parent == root)
        return nullptr;
    return parent;
}

// Negative when this node comes first in document order, positive when other
// does: the difference of the positions, under the nearest common ancestor,
// of the two children that lead to them.  0 for the node itself, an ancestor
// or descendant, or a node of another tree.
long Node::compareOrder(const Node* other) const
{
    if (!other || other == this)
        return 0;
    const Node* c = this;
    const Node* d = other;
    alignDepths(c, d);
    if (c == d)
        return 0;
    const Node* pc = c->getParentNode();
    const Node* pd = d->getParentNode();
    while (pc != pd) {
        c = pc;
        d = pd;
        pc = c->getParentNode();
        pd = d->getParentNode();
    }
    if (!pc)
        return 0;
    return static_cast<long>(pc->getChildIndex(c)) - static_cast<long>(pc->getChildIndex(d));
}
