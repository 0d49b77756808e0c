// Recording changes into steps, and replaying the steps backwards and
// forwards.
#include "editing/ChangeRecord.h"

#include <algorithm>
#include <utility>

#include "doctype/ElementTable.h"
#include "node/NodeAccess.h"
#include "tree/Document.h"
#include "tree/DocumentAccess.h"
#include "tree/Element.h"

namespace pagedom {

// --- places ----------------------------------------------------------------------

NodePath NodePath::of(const Node* node, const Document& document)
{
    NodePath path;
    const Node* n = node;
    for (; n && n->getParentNode(); n = n->getParentNode()) {
        unsigned long index = n->getParentNode()->getChildIndex(n);
        if (index == Node::NOT_FOUND)
            return NodePath();
        path.indices.push_back(static_cast<std::uint32_t>(index));
    }
    if (n != &document)
        return NodePath();
    std::reverse(path.indices.begin(), path.indices.end());
    path.inDocument = true;
    return path;
}

Node* NodePath::resolve(Document& document) const
{
    if (!inDocument)
        return nullptr;
    Node* n = &document;
    for (std::uint32_t index : indices) {
        n = n->getChildNode(index);
        if (!n)
            return nullptr;
    }
    return n;
}

CursorSnapshot CursorSnapshot::take(const Document& document)
{
    CursorSnapshot snapshot;
    snapshot.cursor = NodePath::of(DocumentAccess::cursorNode(document), document);
    snapshot.layoutOffset = DocumentAccess::layoutOffset(document);
    if (const Document::Selection* s = document.getSingleSelection()) {
        snapshot.hasSelection = true;
        snapshot.start = NodePath::of(s->startNode, document);
        snapshot.startOffset = s->startOffset;
        snapshot.end = NodePath::of(s->endNode, document);
        snapshot.endOffset = s->endOffset;
    }
    return snapshot;
}

void CursorSnapshot::restore(Document& document) const
{
    document.setLayoutCursor(cursor.resolve(document), layoutOffset);
    document.eraseSelections();
    if (hasSelection)
        document.select(start.resolve(document), startOffset, end.resolve(document), endOffset, false);
}

// --- the record ----------------------------------------------------------------------

ChangeRecorder* ChangeRecord::make(Document& document)
{
    return new ChangeRecord(document);
}

ChangeRecord::~ChangeRecord()
{
    _deleteStep(_open);
    for (Step* step : _undo)
        _deleteStep(step);
    for (Step* step : _redo)
        _deleteStep(step);
    for (const Replayed& top : _replayed)
        top.node->releaseRef();
}

void ChangeRecord::_releaseCopies(std::vector<Node*>& copies)
{
    for (Node* copy : copies)
        copy->releaseRef();
    copies.clear();
}

void ChangeRecord::_deleteStep(Step* step)
{
    if (!step)
        return;
    for (Entry& entry : step->entries) {
        _releaseCopies(entry.undoCopy);
        _releaseCopies(entry.redoCopy);
    }
    _forgetLastModified(step);
    delete step;
}

void ChangeRecord::_forgetLastModified(Step* step)
{
    if (step->lastModified)
        step->lastModified->releaseRef();
    step->lastModified = nullptr;
}

void ChangeRecord::_forgetRedo()
{
    for (Step* step : _redo)
        _deleteStep(step);
    _redo.clear();
}

bool ChangeRecord::openStep()
{
    if (_replaying)
        return false;
    if (!_open) {
        _open = new Step;
        _open->opening = CursorSnapshot::take(_document);
    }
    // A new change makes the undone steps unreachable.
    _forgetRedo();
    return true;
}

std::vector<Node*> ChangeRecord::_copyChildren(Node* parent, long index, long count)
{
    std::vector<Node*> copies;
    Node* child = parent->getChildNode(static_cast<unsigned long>(index));
    for (long i = 0; i < count && child; ++i, child = child->getNextSibling()) {
        // A copy comes with one reference, which the entry keeps.
        if (Node* copy = child->cloneNode(true))
            copies.push_back(copy);
    }
    return copies;
}

void ChangeRecord::_append(Entry entry)
{
    _open->entries.push_back(std::move(entry));
}

void ChangeRecord::recordInsertion(Node* parent, unsigned long index, unsigned long count)
{
    if (!_open)
        return;
    _forgetLastModified(_open);
    _append(Entry{INSERTION, NodePath::of(parent, _document), static_cast<long>(index),
                  static_cast<long>(count), {}, {}});
}

void ChangeRecord::recordRemoval(Node* parent, unsigned long index, unsigned long count)
{
    if (!_open)
        return;
    _forgetLastModified(_open);
    _append(Entry{REMOVAL, NodePath::of(parent, _document), static_cast<long>(index), static_cast<long>(count),
                  _copyChildren(parent, static_cast<long>(index), static_cast<long>(count)), {}});
}

void ChangeRecord::recordModification(Node* node)
{
    // Repeated changes of one node inside a step come back with its first.
    if (!_open || !node || node == _open->lastModified)
        return;
    Node* copy = node->cloneNode(false);
    if (!copy)
        return;
    node->addRef();
    if (_open->lastModified)
        _open->lastModified->releaseRef();
    _open->lastModified = node;
    _append(Entry{MODIFICATION, NodePath::of(node, _document), -1, -1, {copy}, {}});
}

bool ChangeRecord::endRecord()
{
    if (_replaying || !_open)
        return false;
    Step* step = _open;
    _open = nullptr;
    _forgetLastModified(step);
    step->closing = CursorSnapshot::take(_document);
    _undo.push_back(step);
    if (canUndo() > STEP_LIMIT) {
        _deleteStep(_undo.front());
        _undo.pop_front();
    }
    return true;
}

int ChangeRecord::canUndo() const
{
    return static_cast<int>(_undo.size()) + (_open && !_open->entries.empty() ? 1 : 0);
}

int ChangeRecord::canRedo() const
{
    return static_cast<int>(_redo.size());
}

// --- replay ----------------------------------------------------------------------------

bool ChangeRecord::undoStep()
{
    if (_replaying)
        return false;
    if (_open)
        endRecord();
    if (_undo.empty())
        return false;
    Step* step = _undo.back();
    _undo.pop_back();
    _replaying = true;
    for (auto it = step->entries.rbegin(); it != step->entries.rend(); ++it)
        _undoEntry(*it);
    step->opening.restore(_document);
    _replaying = false;
    _redo.push_front(step);
    _markActiveX();
    return true;
}

bool ChangeRecord::redoStep()
{
    if (_replaying || _redo.empty())
        return false;
    if (_open)
        endRecord();
    Step* step = _redo.front();
    _redo.pop_front();
    _replaying = true;
    for (Entry& entry : step->entries)
        _redoEntry(entry);
    step->closing.restore(_document);
    _replaying = false;
    _undo.push_back(step);
    _markActiveX();
    return true;
}

void ChangeRecord::_undoEntry(Entry& entry)
{
    Node* target = entry.path.resolve(_document);
    if (!target)
        return;
    switch (entry.kind) {
    case INSERTION:
        if (entry.index < 0 || entry.count <= 0)
            return;
        if (entry.redoCopy.empty())
            entry.redoCopy = _copyChildren(target, entry.index, entry.count);
        _deleteChildren(target, entry.index, entry.count);
        return;
    case REMOVAL:
        _insertCopies(target, entry.index, entry.undoCopy);
        return;
    case MODIFICATION:
        if (entry.undoCopy.empty() || !target->getParentNode())
            return;
        if (entry.redoCopy.empty()) {
            if (Node* now = target->cloneNode(false))
                entry.redoCopy.push_back(now);
        }
        _replaceByCopy(target, entry.undoCopy.front());
        return;
    }
}

void ChangeRecord::_redoEntry(Entry& entry)
{
    Node* target = entry.path.resolve(_document);
    if (!target)
        return;
    switch (entry.kind) {
    case INSERTION:
        _insertCopies(target, entry.index, entry.redoCopy);
        return;
    case REMOVAL:
        _deleteChildren(target, entry.index, entry.count);
        return;
    case MODIFICATION:
        if (!entry.redoCopy.empty() && target->getParentNode())
            _replaceByCopy(target, entry.redoCopy.front());
        return;
    }
}

void ChangeRecord::_insertCopies(Node* parent, long index, const std::vector<Node*>& saved)
{
    if (saved.empty() || index < 0)
        return;
    unsigned long at = static_cast<unsigned long>(index);
    for (const Node* original : saved) {
        Node* copy = original->cloneNode(true);
        if (!copy)
            continue;
        // At an index past the children the copy is appended.
        Node* before = parent->getChildNode(at);
        if (!parent->insertBefore(copy, before)) {
            copy->releaseRef();
            continue;
        }
        copy->addRef();
        _replayed.push_back(Replayed{copy, true});
        ++at;
    }
}

void ChangeRecord::_deleteChildren(Node* parent, long index, long count)
{
    if (index < 0)
        return;
    for (long i = 0; i < count; ++i) {
        Node* child = parent->getChildNode(static_cast<unsigned long>(index));
        if (!child)
            return;
        _document.deleteNodes(child);
    }
}

void ChangeRecord::_replaceByCopy(Node* node, const Node* saved)
{
    Node* copy = saved->cloneNode(false);
    if (!copy)
        return;
    // The copy goes in while it is still childless and takes the children
    // afterwards without a walk over them: restoring one node costs that
    // node, not the subtree below it.
    if (!node->getParentNode()->insertAfter(copy, node)) {
        copy->releaseRef();
        return;
    }
    NodeAccess::handChildren(*node, *copy);
    copy->addRef();
    _replayed.push_back(Replayed{copy, false});
    _document.deleteNodes(node);
}

void ChangeRecord::_markActiveX()
{
    std::vector<Node*> pending;
    for (const Replayed& top : _replayed) {
        if (top.node->getParentNode())
            pending.push_back(top.node);
        // A restored node took the children it had: only the node itself
        // is new.  An inserted copy is new throughout.
        while (!pending.empty()) {
            Node* node = pending.back();
            pending.pop_back();
            if (node->getNodeType() == Node::ELEMENT_NODE) {
                Element* element = static_cast<Element*>(node);
                if (element->getElementID() == ElementTable::ID_OBJECT)
                    element->setActiveX();
            }
            if (top.wholeSubtree)
                for (Node* child = node->getFirstChild(); child; child = child->getNextSibling())
                    pending.push_back(child);
        }
    }
    for (const Replayed& top : _replayed)
        top.node->releaseRef();
    _replayed.clear();
}

} // namespace pagedom
