// The static announcement path from the node operations to the receiver of
// the document above them.
#include "node/ChangeHooks.h"

#include <atomic>

#include "node/Node.h"

namespace pagedom {

namespace {

// Documents whose receiver wants announcements, over all threads: while it
// is 0 no operation looks for its document.
std::atomic<unsigned long> s_listeningDocuments{0};

const Node* rootDocument(const Node* node)
{
    for (const Node* n = node; n; n = n->getParentNode())
        if (n->getNodeType() == Node::DOCUMENT_NODE)
            return n;
    return nullptr;
}

} // namespace

thread_local unsigned ChangeHooks::t_quiet = 0;

ChangeHooks* ChangeHooks::receiverFor(const Node* node)
{
    if (s_listeningDocuments.load(std::memory_order_relaxed) == 0 || !node || t_quiet)
        return nullptr;
    const Node* root = rootDocument(node);
    return root ? root->_changeReceiver() : nullptr;
}

Document* ChangeHooks::documentOf(const Node* node)
{
    return node ? node->getAncestorDocument() : nullptr;
}

void ChangeHooks::announceBeginModify(Node* node)
{
    if (ChangeHooks* hooks = receiverFor(node))
        hooks->beginModify(node);
}

void ChangeHooks::announceEndModify(Node* node)
{
    if (ChangeHooks* hooks = receiverFor(node))
        hooks->endModify(node);
}

void ChangeHooks::documentListens(bool on)
{
    if (on)
        s_listeningDocuments.fetch_add(1, std::memory_order_relaxed);
    else
        s_listeningDocuments.fetch_sub(1, std::memory_order_relaxed);
}

ChangeHooks::SubtreeChange::SubtreeChange(Node* node)
{
    ChangeHooks* hooks = receiverFor(node);
    if (!hooks)
        return;
    Node* parent = node->getParentNode();
    unsigned long index = 0;
    unsigned long count = 0;
    Node* first = node;
    if (parent) {
        index = parent->getChildIndex(node);
        count = 1;
    } else if (node->getNodeType() == Node::DOCUMENT_NODE) {
        parent = node;
        first = node->getFirstChild();
        count = node->getChildLength();
    }
    if (!parent || index == Node::NOT_FOUND)
        return;
    hooks->beginChange(documentOf(node));
    // An empty document loses nothing; what it gains is announced after.
    if (count)
        hooks->beforeRemove(parent, index, count, first);
    _hooks = hooks;
    _node = node;
    _parent = parent;
    _index = index;
    ++t_quiet;
}

ChangeHooks::SubtreeChange::~SubtreeChange()
{
    if (!_hooks)
        return;
    --t_quiet;
    // What stands in the subtree's place now: the node, unless the change
    // took it away; for a document, all its children.
    unsigned long count;
    if (_parent == _node)
        count = _node->getChildLength();
    else
        count = _node->getParentNode() == _parent ? 1 : 0;
    if (count)
        _index = _parent == _node ? 0 : _parent->getChildIndex(_node);
    _hooks->afterInsert(_parent, _index, count);
}

} // namespace pagedom
