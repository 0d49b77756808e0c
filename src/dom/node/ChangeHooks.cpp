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

ChangeHooks* ChangeHooks::receiverFor(const Node* node)
{
    if (s_listeningDocuments.load(std::memory_order_relaxed) == 0 || !node)
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

} // namespace pagedom
