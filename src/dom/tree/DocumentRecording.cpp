// The document's side of change recording: the record state word, the
// record position, undo and redo as the host calls them, the end of an
// editing command, and the marker events.
#include "tree/ChangeRecorder.h"
#include "tree/Document.h"
#include "tree/RecordGate.h"

#include <vector>

#include "node/ChangeHooks.h"

void Document::_sendMarker(const char* type) const
{
    const dom::EventTarget* target = this;
    dom::Event event(target, type);
    target->dispatchEvent(&event);
}

pagedom::ChangeRecorder* Document::_record()
{
    if (!_changeRecord)
        _changeRecord = pagedom::ChangeRecorder::create(*this);
    return _changeRecord;
}

void Document::_refreshHookState()
{
    bool active = !(_recordState & RECORD_DISABLED);
    if (active && !_hooks)
        _hooks = new pagedom::RecordGate(*this);
    if (active == _hooksActive)
        return;
    _hooksActive = active;
    pagedom::ChangeHooks::documentListens(active);
}

void Document::enableRecord(bool on)
{
    if (on) {
        _recordState &= ~static_cast<std::uint32_t>(RECORD_DISABLED);
    } else {
        // Changes from now on are not announced: the next reset cannot
        // rely on the touched nodes.
        _recordState |= RECORD_DISABLED;
        _marksUntracked = true;
        _forgetTouched();
    }
    _refreshHookState();
}

void Document::suspendRecord(bool on)
{
    if (on)
        _recordState |= RECORD_SUSPENDED;
    else
        _recordState &= ~static_cast<std::uint32_t>(RECORD_SUSPENDED | RECORD_CHANGED_SUSPENDED);
}

void Document::clearRecord()
{
    // A record that is replaying a step is still walking it: a listener
    // clearing it then is ignored rather than pulling the step away.
    if (_changeRecord && _changeRecord->isReplaying())
        return;
    delete _changeRecord;
    _changeRecord = nullptr;
}

void Document::endRecord()
{
    if (!_changeRecord || !_changeRecord->endRecord())
        return;
    ++_recordPosition;
    _sendMarker("END_RECORD");
}

int Document::undo(int)
{
    if (!_changeRecord)
        return 0;
    // One replay at a time: a listener asking for undo while a step is
    // being replayed is told what can be undone and nothing more.
    if (_changeRecord->isReplaying())
        return canUndo();
    endRecord();
    --_recordPosition;
    _sendMarker("BEGIN_UNDO");
    // The listeners may have cleared the record.
    if (_changeRecord)
        _changeRecord->undoStep();
    _updateInProgress = true;
    _sendMarker("END_UNDO");
    return canUndo();
}

int Document::redo(int)
{
    if (!_changeRecord)
        return 0;
    if (_changeRecord->isReplaying())
        return canRedo();
    ++_recordPosition;
    _sendMarker("BEGIN_REDO");
    if (_changeRecord)
        _changeRecord->redoStep();
    _updateInProgress = true;
    _sendMarker("END_REDO");
    return canRedo();
}

int Document::canUndo() const
{
    return _changeRecord ? _changeRecord->canUndo() : 0;
}

int Document::canRedo() const
{
    return _changeRecord ? _changeRecord->canRedo() : 0;
}

void Document::endUpdate()
{
    _resetUpdateStates();
    _updateInProgress = false;
    _adjustNeeded = false;
    _recordState &= RECORD_CHANGED_SUSPENDED | RECORD_DISABLED;
    if (_recordState == 0)
        endRecord();
    _sendMarker("END_UPDATE");
}

// Every marked node of the tree gets the update state 0 (the element, text
// and metadata overrides reset their attributes and metadata too).  A change
// marks its node and every ancestor (child modified), and a sibling link
// changes only with a change of the parent, so while every change was
// announced the marks lie on the touched nodes, their subtrees where whole
// subtrees were touched, and their ancestors: the reset costs the changes,
// not the page.  Otherwise the marks are found below marked nodes, or, after
// marks were set or cleared by hand, anywhere.  Clearing marks is no change
// of the source: the page stays as read when it was.
void Document::_resetUpdateStates()
{
    static constexpr std::size_t TOUCHED_LIMIT = 1u << 16;
    const bool everyNode = Node::_handSetMarks() != _handMarksSeen;
    const bool tracked = !_marksUntracked && !everyNode && _touched.size() < TOUCHED_LIMIT;
    Node::_beginReading();
    Node::_beginMarkReset();
    if (tracked) {
        // The subtrees first, then the ancestors: a node reset as the
        // ancestor of another would hide the marks below it from the walk
        // of a subtree it belongs to.
        for (const Touched& touched : _touched)
            if (touched.subtree && _isInTree(touched.node))
                _resetMarksBelow(touched.node, false);
        for (const Touched& touched : _touched)
            if (_isInTree(touched.node))
                _resetWithAncestors(touched.node);
    } else {
        _resetMarksBelow(this, everyNode);
    }
    Node::_endMarkReset();
    Node::_endReading();
    _forgetTouched();
    _marksUntracked = (_recordState & RECORD_DISABLED) != 0;
    _handMarksSeen = Node::_handSetMarks();
}

void Document::_resetMarksBelow(Node* node, bool everyNode)
{
    std::vector<Node*> pending{node};
    while (!pending.empty()) {
        Node* n = pending.back();
        pending.pop_back();
        if (n->getUpdateState() != 0)
            n->_setUpdateState(0);
        else if (!everyNode)
            continue;
        for (Node* child = n->getLastChild(); child; child = child->getPreviousSibling())
            pending.push_back(child);
    }
}

bool Document::_isInTree(const Node* node) const
{
    while (node->getParentNode())
        node = node->getParentNode();
    return node == this;
}

void Document::_resetWithAncestors(Node* node)
{
    if (node->getUpdateState() != 0)
        node->_setUpdateState(0);
    // Ancestors above a reset one were reset with it.
    for (Node* a = node->getParentNode(); a && a->getUpdateState() != 0; a = a->getParentNode())
        a->_setUpdateState(0);
}

void Document::_touch(Node* node, bool subtree)
{
    if (!node || _marksUntracked)
        return;
    _holdNode(node);
    _touched.push_back(Touched{node, subtree});
}

void Document::_forgetTouched()
{
    for (const Touched& touched : _touched)
        _dropNode(touched.node);
    _touched.clear();
}

void Document::beginCopy() const
{
    _sendMarker("BEGIN_COPY");
}

void Document::beginCut() const
{
    _sendMarker("BEGIN_CUT");
}

void Document::beginPaste() const
{
    _sendMarker("BEGIN_PASTE");
}
