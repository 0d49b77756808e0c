// The document's part of tidying the tree: when a pass is due, the pending
// node, and formatting the HTML document through the pass.
#include "tree/Document.h"

#include "node/ChangeHooks.h"
#include "tree/Element.h"
#include "tree/NodeAdjuster.h"

bool Document::adjustNodes(Node* node, bool full)
{
    Node* root = node ? node : this;
    if (root == this) {
        // Undo and redo put back a tree that was already tidy; a page just
        // read is tidied only on request.
        if (_updateInProgress) {
            _updateInProgress = false;
            return false;
        }
        if ((_adjustNeeded && !full) || !getFirstChild())
            return false;
    }
    return _adjustTree(root, full);
}

bool Document::_adjustTree(Node* root, bool full)
{
    bool dropped = false;
    const bool stays = _dropPendingNodeBefore(root, dropped);
    return _runAdjuster(stays ? root : nullptr, full) || dropped;
}

bool Document::_dropPendingNodeBefore(Node* root, bool& dropped)
{
    // The tree's hold on root may be the last one.
    const bool held = root != this && _isInTree(root);
    if (held)
        root->addRef();
    dropped = _dropPendingNode();
    const bool stays = !held || _isInTree(root);
    if (held)
        root->releaseRef();
    return stays;
}

bool Document::_runAdjuster(Node* root, bool full)
{
    bool changed = false;
    pagedom::NodeAdjuster* adjuster = pagedom::NodeAdjuster::installed();
    if (adjuster && root)
        changed = adjuster->adjust(*this, root, full);
    // The next pass looks at what the cursor was left in.
    _dropNode(_pendingNode);
    _pendingNode = _cursorNode;
    _holdNode(_pendingNode);
    return changed;
}

// The node the last pass left the cursor in goes with its emptied
// ancestors, unless the cursor is still there.
bool Document::_dropPendingNode()
{
    Node* pending = _pendingNode;
    bool changed = false;
    if (pending && pending != _cursorNode && pending->getDocument() == this && _isInTree(pending) &&
        isEmptyNode(pending, false)) {
        // Climb while the parent is empty too: its other children are
        // looked at, the emptied path is known.
        Node* top = pending;
        for (Node* p = top->getParentNode(); p && p != this && p->getNodeType() == ELEMENT_NODE;
             p = p->getParentNode()) {
            if (p == _cursorNode || !_isEmptyShell(static_cast<Element*>(p)) || !_othersEmpty(p, top))
                break;
            top = p;
        }
        if (top->getNodeType() == ELEMENT_NODE) {
            deleteNodes(top);
            changed = true;
        }
    }
    _dropNode(_pendingNode);
    _pendingNode = nullptr;
    return changed;
}

bool Document::_othersEmpty(const Node* parent, const Node* known) const
{
    for (const Node* c = parent->getFirstChild(); c; c = c->getNextSibling())
        if (c != known && !isEmptyNode(c, false))
            return false;
    const Selection* single = getSingleSelection();
    return !(single && (single->startNode == parent || single->endNode == parent));
}

void Document::formatSource()
{
    if (!_isHTML) {
        Node::formatSource();
        return;
    }
    // Formatting is recorded as the page replaced by its formatted self.
    _dropPendingNode();
    pagedom::ChangeHooks::SubtreeChange change(this);
    _runAdjuster(this, true);
}
