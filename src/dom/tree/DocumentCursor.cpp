// The document's cursor and selections, and deleting subtrees so that
// neither is ever left pointing outside the tree.
#include "tree/Document.h"

#include <utility>

void Document::_holdNode(Node* node)
{
    if (node && node != this)
        node->addRef();
}

void Document::_dropNode(Node* node)
{
    if (node && node != this)
        node->releaseRef();
}

void Document::_markSelectionChanged()
{
    Node::_beginReading();
    _addUpdateBits(UPDATE_SELECTION_CHANGED);
    Node::_endReading();
    _touch(this, false);
}

void Document::setLayoutCursor(Node* node, int offset)
{
    _holdNode(node);
    _dropNode(_cursorNode);
    _cursorNode = node;
    _layoutOffset = offset;
    _sourceOffset = -1;
}

namespace {

// The child of ancestor on the way down to node (node itself when it is a
// child); null when node is not below ancestor.
Node* branchBelow(Node* ancestor, Node* node)
{
    for (Node* n = node; n; n = n->getParentNode())
        if (n->getParentNode() == ancestor)
            return n;
    return nullptr;
}

// Whether position a = (an, ao) comes after b = (bn, bo) in document order.
bool comesAfter(const Document& doc, Node* an, unsigned long ao, Node* bn, unsigned long bo)
{
    if (an == bn)
        return ao > bo;
    // A position at child index k of an ancestor lies before everything
    // inside its child k and after everything inside the children before.
    if (Node* branch = branchBelow(bn, an))
        return bn->getChildIndex(branch) >= bo;
    if (Node* branch = branchBelow(an, bn))
        return an->getChildIndex(branch) < ao;
    return doc.compareNode(an, bn) > 0;
}

} // namespace

void Document::select(Node* startNode, unsigned long startOffset, Node* endNode, unsigned long endOffset, bool add)
{
    if (!startNode || !endNode)
        return;
    if (comesAfter(*this, startNode, startOffset, endNode, endOffset)) {
        std::swap(startNode, endNode);
        std::swap(startOffset, endOffset);
    }
    Selection* record = nullptr;
    if (add || _selections.empty()) {
        record = new Selection{nullptr, 0, nullptr, 0};
        _selections.push_back(record);
    } else {
        while (_selections.size() > 1) {
            Selection* extra = _selections.back();
            _selections.pop_back();
            _dropNode(extra->startNode);
            _dropNode(extra->endNode);
            delete extra;
        }
        record = _selections.front();
    }
    _holdNode(startNode);
    _holdNode(endNode);
    _dropNode(record->startNode);
    _dropNode(record->endNode);
    *record = Selection{startNode, static_cast<std::uint32_t>(startOffset), endNode,
                        static_cast<std::uint32_t>(endOffset)};
    _markSelectionChanged();
}

void Document::_freeSelections()
{
    for (Selection* s : _selections) {
        _dropNode(s->startNode);
        _dropNode(s->endNode);
        delete s;
    }
    _selections.clear();
}

void Document::eraseSelections()
{
    _freeSelections();
    _markSelectionChanged();
}

Document::Selection* Document::getSingleSelection() const
{
    return _selections.size() == 1 ? _selections.front() : nullptr;
}

bool Document::isSelected(const Node* node) const
{
    if (!node || _selections.empty())
        return false;
    if (_selections.size() > 1) {
        for (const Selection* s : _selections)
            if (s->startNode == node)
                return true;
        return false;
    }
    const Selection* s = _selections.front();
    if (node == s->startNode || node == s->endNode)
        return true;
    if (compareNode(node, s->startNode) < 0 || compareNode(node, s->endNode) > 0)
        return false;
    // Inside an end node the child on the way down decides: before the
    // start offset, or at or past the end offset, is outside.
    for (const Node* n = node; n->getParentNode(); n = n->getParentNode()) {
        const Node* parent = n->getParentNode();
        if (parent == s->startNode && parent->getChildIndex(n) < s->startOffset)
            return false;
        if (parent == s->endNode && parent->getChildIndex(n) >= s->endOffset)
            return false;
    }
    return true;
}

dom::Range Document::getRange() const
{
    if (const Selection* s = getSingleSelection())
        return dom::Range(s->startNode, s->startOffset, s->endNode, s->endOffset);
    if (!_selections.empty())
        return dom::Range(_selections.front()->startNode, 0);
    Node* node = nullptr;
    int offset = 0;
    getLayoutCursor(&node, &offset);
    return dom::Range(node, offset < 0 ? 0 : static_cast<unsigned long>(offset));
}

int Document::compareNode(const Node* a, const Node* b) const
{
    if (!a)
        return 0;
    long order = a->compareOrder(b);
    return order < 0 ? -1 : order > 0 ? 1 : 0;
}

// --- deleting ------------------------------------------------------------------

namespace {

// Whether node is removed or below removed.
bool isInside(const Node* node, const Node* removed)
{
    for (const Node* n = node; n; n = n->getParentNode())
        if (n == removed)
            return true;
    return false;
}

// One end of a selection or the cursor, moved for the removal of child
// from index under parent: an offset into parent past the child moves down
// one, a position in or below the child goes to the child's place.  A
// negative offset (unknown) stays.  True when the end changed node.
bool shiftEnd(Node*& node, long& offset, Node* parent, unsigned long index, Node* child)
{
    if (node == parent) {
        if (offset >= 0 && static_cast<unsigned long>(offset) > index)
            --offset;
        return false;
    }
    if (!isInside(node, child))
        return false;
    node = parent;
    if (offset >= 0)
        offset = static_cast<long>(index);
    return true;
}

} // namespace

void Document::_shiftSelectionEnd(Node*& node, std::uint32_t& offset, Node* parent, unsigned long index, Node* child)
{
    Node* moved = node;
    long at = offset;
    if (shiftEnd(moved, at, parent, index, child)) {
        _holdNode(moved);
        _dropNode(node);
        node = moved;
    }
    offset = static_cast<std::uint32_t>(at);
}

void Document::_adjustForRemoval(Node* parent, unsigned long index, Node* child)
{
    if (!getFirstChild() || !_selectionTracking)
        return;
    if (_cursorNode) {
        Node* cursor = _cursorNode;
        long layout = _layoutOffset;
        long source = _sourceOffset;
        shiftEnd(cursor, source, parent, index, child);
        Node* same = _cursorNode;
        if (shiftEnd(same, layout, parent, index, child)) {
            _holdNode(cursor);
            _dropNode(_cursorNode);
            _cursorNode = cursor;
        }
        _layoutOffset = static_cast<int>(layout);
        _sourceOffset = static_cast<int>(source);
    }
    // The selections follow whether or not there is a cursor: they hold
    // their nodes and must not keep pointing into a removed subtree.
    if (_selections.size() == 1) {
        Selection* s = _selections.front();
        _shiftSelectionEnd(s->startNode, s->startOffset, parent, index, child);
        _shiftSelectionEnd(s->endNode, s->endOffset, parent, index, child);
        return;
    }
    // Of several selections, those that start or end in the removed
    // subtree go.
    for (std::size_t i = 0; i < _selections.size();) {
        Selection* s = _selections[i];
        if (!isInside(s->startNode, child) && !isInside(s->endNode, child)) {
            ++i;
            continue;
        }
        _selections.erase(_selections.begin() + static_cast<std::ptrdiff_t>(i));
        _dropNode(s->startNode);
        _dropNode(s->endNode);
        delete s;
    }
}

void Document::_adjustForInsertion(Node* parent, Node* child)
{
    if (!getFirstChild() || !_selectionTracking)
        return;
    Selection* single = _selections.size() == 1 ? _selections.front() : nullptr;
    if (_cursorNode != parent && !(single && (single->startNode == parent || single->endNode == parent)))
        return;
    // Only a position in the parent itself counts children.
    const unsigned long index = parent->getChildIndex(child);
    auto shift = [&](int& offset) {
        if (offset >= 0 && static_cast<unsigned long>(offset) > index)
            ++offset;
    };
    if (_cursorNode == parent) {
        shift(_layoutOffset);
        shift(_sourceOffset);
    }
    if (single && single->startNode == parent && single->startOffset > index)
        ++single->startOffset;
    if (single && single->endNode == parent && single->endOffset > index)
        ++single->endOffset;
}

Node* Document::deleteNodes(Node* node)
{
    if (!node || node == this) {
        if (!getFirstChild())
            return nullptr;
        setLayoutCursor(nullptr, 0);
        _layoutOffset = 0;
        _sourceOffset = 0;
        eraseSelections();
        _dropNode(_pendingNode);
        _pendingNode = nullptr;
        // Each removal is recorded on the way; the removed nodes below the
        // tops are marked removed by the unlinking itself.
        Node* removed = removeChildNodes(nullptr, nullptr);
        while (removed) {
            Node* next = removed->getNextSibling();
            removed->releaseRef();
            removed = next;
        }
        return nullptr;
    }
    if (Node* parent = node->getParentNode()) {
        unsigned long index = parent->getChildIndex(node);
        if (index == NOT_FOUND)
            return nullptr;
        if (node->getDocument() == this)
            _adjustForRemoval(parent, index, node);
        std::uint32_t tracking = _selectionTracking;
        _selectionTracking = 0;
        Node* removed = parent->removeChild(node);
        _selectionTracking = tracking;
        if (removed)
            removed->releaseRef();
        return nullptr;
    }
    // A node outside any tree: it leaves its sibling chain and goes.
    Node* previous = node->getPreviousSibling();
    Node* next = node->getNextSibling();
    if (previous)
        previous->_setNextSibling(next);
    if (next)
        next->_setPreviousSibling(previous);
    node->_setPreviousSibling(nullptr);
    node->_setNextSibling(nullptr);
    node->releaseRef();
    return nullptr;
}
