// The structural operations of containers: insertion, removal and
// replacement of children, deep copies and the release of a subtree.
#include "node/ContainerNode.h"

#include <vector>

#include "node/ChangeHooks.h"

namespace {

// Documents, fragments, attributes and DTD declarations never take a parent:
// linked as a child, such a node would not know its container, could be
// listed by two containers at once and be released by both.
bool takesParent(const Node* node)
{
    switch (node->getNodeType()) {
    case Node::ATTRIBUTE_NODE:
    case Node::ENTITY_NODE:
    case Node::DOCUMENT_NODE:
    case Node::DOCUMENT_FRAGMENT_NODE:
    case Node::NOTATION_NODE:
    case Node::ELEMENT_TYPE_NODE:
    case Node::ATTR_TYPE_NODE:
    case Node::ATTR_TYPE_LIST_NODE:
        return false;
    default:
        return true;
    }
}

} // namespace

ContainerNode::ContainerNode(Document* ownerDocument, const std::string& name)
    : NamedNode(ownerDocument, name)
{
}

ContainerNode::ContainerNode(Document* ownerDocument, const std::string* sharedName)
    : NamedNode(ownerDocument, sharedName)
{
}

ContainerNode::ContainerNode(const ContainerNode& other) : NamedNode(other) {}

ContainerNode::~ContainerNode()
{
    _releaseChildren();
}

void ContainerNode::_releaseChildren()
{
    // Children that reach count 0 here are destroyed by the outermost
    // releaseRef, one after the other (see Node::releaseRef).
    // A child this release destroys is simply cut loose: marking it and its
    // whole subtree removed would be a walk over nodes about to go away.  A
    // child somebody else still holds is unlinked the ordinary way.
    // The sibling links lead from child to child; each is read before the
    // child lets go of them.
    for (Node* child = _children.first(), *next; child; child = next) {
        next = child->_next;
        if (child->getRefCount() == 1)
            child->_parent = nullptr;
        else
            child->_setParentNode(nullptr);
        child->_previous = nullptr;
        child->_next = nullptr;
        child->releaseRef();
    }
    _children.clear();
}

dom::NodeList ContainerNode::getChildNodes() const
{
    return dom::NodeList(_children);
}

// Links newChild before refChild (appends when refChild is null); index is
// refChild's position, or the child count.
void ContainerNode::_link(Node* newChild, Node* refChild, unsigned long index)
{
    Node::_subtreeMoves(newChild);
    newChild->_setParentNode(this);
    // A list kept as a chain is read along the links: it takes its body
    // before they change, unless the child goes at the end.
    if (refChild)
        _children.makeIndexed();
    Node* before = refChild ? refChild->_previous : _children.last();
    if (before) {
        before->_setNextSibling(newChild);
        newChild->_setPreviousSibling(before);
    }
    if (refChild) {
        refChild->_setPreviousSibling(newChild);
        newChild->_setNextSibling(refChild);
        _children.insertAt(newChild, index);
    } else {
        _children.appendLinked(newChild);
    }
    _addUpdateBits(UPDATE_CHILD_MODIFIED);
}

void ContainerNode::_handChildrenTo(ContainerNode* to)
{
    const unsigned long count = _children.length();
    if (!count || to->getFirstChild() || to == this)
        return;
    Node::_bumpStructureEpoch();
    Node::_contentChanges();
    for (unsigned long i = 0; i < count; ++i) {
        Node* child = _children.item(i);
        child->_parent = to;
        child->_parentReplaced();
        to->_children.insertAt(child, i);
    }
    // From the end, so that live lists of this node see it emptied.
    for (unsigned long i = count; i > 0; --i)
        _children.removeAt(i - 1);
}

Node* ContainerNode::insertBefore(Node* newChild, Node* refChild)
{
    Node* rest = nullptr;
    bool first = true;
    Node* result = nullptr;
    // A parentless sibling chain headed by newChild is inserted whole, in
    // order, each node before refChild.  A child inserted before itself keeps
    // its place; any other node named as its own reference is no child here
    // and is refused below.
    if (newChild && refChild == newChild && newChild->_parent == this)
        refChild = newChild->_next;
    while (newChild) {
        if (_refusesInsertion(newChild))
            return first ? nullptr : result;
        unsigned long index;
        if (refChild) {
            index = getChildIndex(refChild);
            if (index == NOT_FOUND)
                return first ? nullptr : result;
        } else {
            index = _children.length();
        }
        pagedom::ChangeHooks* hooks = pagedom::ChangeHooks::receiverFor(this);
        if (hooks)
            hooks->beginChange(pagedom::ChangeHooks::documentOf(this));
        rest = nullptr;
        if (Node* oldParent = newChild->getParentNode()) {
            oldParent->removeChild(newChild);
            // Whoever heard of the move may have placed the node elsewhere
            // (it stays there) or taken the reference away (it is appended).
            if (newChild->getParentNode() || _refusesInsertion(newChild))
                return first ? nullptr : result;
            if (refChild && refChild->_parent != this)
                refChild = nullptr;
            if (refChild)
                index = getChildIndex(refChild);
            else
                index = _children.length();
        } else if (newChild->_next) {
            rest = newChild->_next;
            newChild->_setNextSibling(nullptr);
            rest->_setPreviousSibling(nullptr);
        }
        if (Node* before = newChild->getParentNode() ? nullptr : newChild->_previous) {
            // A node from the middle of a parentless chain leaves that chain.
            before->_setNextSibling(nullptr);
            newChild->_setPreviousSibling(nullptr);
        }
        _adoptIncoming(newChild);
        _link(newChild, refChild, index);
        if (hooks)
            hooks->afterInsert(this, index, 1);
        if (first)
            result = newChild;
        first = false;
        newChild = rest;
    }
    return result;
}

// Whether node may not be inserted here: it is a node that never takes a
// parent, one another node keeps (it would have two owners), or it would
// come to own itself.  Only a node with children or other kept nodes can
// own this container, so appending fresh leaves deep in a tree costs no
// climb to the root.
bool ContainerNode::_refusesInsertion(const Node* node) const
{
    if (node == this || !takesParent(node) || node->_keeper())
        return true;
    if (node == t_outsideChild && this == t_outsideParent)
        return false;
    return (node->getFirstChild() || node->_keepsOthers()) && _isOwnedBy(node);
}

Node* ContainerNode::_insertFromOutside(Node* newChild, Node* refChild)
{
    t_outsideChild = newChild;
    t_outsideParent = this;
    Node* inserted = insertBefore(newChild, refChild);
    t_outsideChild = nullptr;
    t_outsideParent = nullptr;
    return inserted;
}

Node* ContainerNode::appendChild(Node* newChild)
{
    return insertBefore(newChild, nullptr);
}

void ContainerNode::_appendQuietly(Node* newChild)
{
    if (!newChild || newChild->getParentNode() || _refusesInsertion(newChild))
        return;
    _link(newChild, nullptr, _children.length());
}

void ContainerNode::_appendParsed(Node* newChild, bool contained)
{
    Node::_subtreeMoves(newChild);
    Node::_contentChanges();
    newChild->_parent = this;
    newChild->_parentReplaced();
    if (!contained)
        newChild->_errorState |= INVALID_CONTENT_ERROR;
    if (newChild->getFirstChild())
        newChild->_setUpdateState(newChild->_updateState | UPDATE_ADDED);
    else
        newChild->_markAddedLeaf();
    if (Node* before = _children.last()) {
        // The links and marks of _setNextSibling and _setPreviousSibling;
        // the change of content is counted above.
        before->_next = newChild;
        before->_addUpdateBits(UPDATE_SIBLING_CHANGED);
        newChild->_previous = before;
        newChild->_addUpdateBits(UPDATE_SIBLING_CHANGED);
    }
    _children.appendLinked(newChild);
    _addUpdateBits(UPDATE_CHILD_MODIFIED);
}

Node* ContainerNode::removeChild(Node* oldChild)
{
    if (oldChild)
        Node::_subtreeMoves(oldChild);
    unsigned long index = getChildIndex(oldChild);
    if (index == NOT_FOUND)
        return nullptr;
    if (pagedom::ChangeHooks* hooks = pagedom::ChangeHooks::receiverFor(this)) {
        hooks->beforeRemove(this, index, 1, oldChild);
        // Whoever heard of the removal may have moved the child meanwhile.
        index = getChildIndex(oldChild);
        if (index == NOT_FOUND)
            return nullptr;
    }
    _children.makeIndexed();
    oldChild->_setParentNode(nullptr);
    Node* prev = oldChild->_previous;
    Node* next = oldChild->_next;
    if (prev)
        prev->_setNextSibling(next);
    if (next)
        next->_setPreviousSibling(prev);
    if (prev)
        oldChild->_setPreviousSibling(nullptr);
    if (next)
        oldChild->_setNextSibling(nullptr);
    _children.removeAt(index);
    _addUpdateBits(UPDATE_CHILD_REMOVED);
    return oldChild;
}

Node* ContainerNode::replaceChild(Node* newChild, Node* oldChild)
{
    if (!newChild || !oldChild || oldChild == newChild)
        return nullptr;
    if (oldChild->_parent != this)
        return nullptr;
    // Refuse before touching anything: the replacement must be insertable.
    if (_refusesInsertion(newChild))
        return nullptr;
    Node* next = oldChild->_next;
    if (next == newChild)
        next = newChild->_next;
    if (!removeChild(oldChild))
        return nullptr;
    insertBefore(newChild, next);
    return oldChild;
}

namespace {

void attachCopy(Node* parent, Node* child)
{
    if (!parent->appendChild(child))
        child->releaseRef();
}

} // namespace

void ContainerNode::_cloneChildrenInto(ContainerNode* copy) const
{
    // Copies are built bottom-up: a node's copy is attached to its parent's
    // copy once its own subtree is complete, so every append lands on a node
    // that has no parent yet and no walk ever climbs a deep chain.
    struct Frame {
        const Node* source;
        Node* copy;
        const Node* next;
    };
    std::vector<Frame> stack;
    stack.push_back(Frame{this, copy, getFirstChild()});
    while (!stack.empty()) {
        Frame& top = stack.back();
        if (top.next) {
            const Node* child = top.next;
            top.next = child->getNextSibling();
            Node* childCopy = child->cloneNode(false);
            if (!childCopy)
                continue;
            if (child->getFirstChild())
                stack.push_back(Frame{child, childCopy, child->getFirstChild()});
            else
                attachCopy(top.copy, childCopy);
            continue;
        }
        Frame done = top;
        stack.pop_back();
        if (!stack.empty())
            attachCopy(stack.back().copy, done.copy);
    }
}

void ContainerNode::_adoptDescendants(Document* owner)
{
    // A copy of a document has the same declarations: nothing to rebind.
    std::vector<Node*> roots;
    for (Node* child = getFirstChild(); child; child = child->getNextSibling())
        roots.push_back(child);
    _adoptSubtrees(roots, owner, false);
}

void ContainerNode::_adoptIncoming(Node* node)
{
    Document* owner = getDocument();
    if (!owner || node->_ownerDocument == owner)
        return;
    // The former document may be gone already (a node can outlive the
    // document that made it), so nothing of it is read: every element is
    // bound again by name, which leaves alone one already bound to this
    // document's declarations.
    std::vector<Node*> roots{node};
    _adoptSubtrees(roots, owner, true);
}

void ContainerNode::_adoptSubtrees(std::vector<Node*>& roots, Document* owner, bool rebind)
{
    // Subtree roots still to visit: those given, then any metadata met.  A
    // node's owner is set before it is bound again, and what it keeps beside
    // its children follows it, so bindings made from it see the new owner.
    while (!roots.empty()) {
        Node* root = roots.back();
        roots.pop_back();
        for (Node* n = root; n; n = n->getNextNode(root)) {
            n->_ownerDocument = owner;
            n->_adoptAttachments(owner, roots);
            if (rebind)
                n->_rebindDeclarations();
        }
    }
}
