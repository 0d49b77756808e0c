// The recording gate between the node operations and the change record.
#include "tree/RecordGate.h"

#include "tree/ChangeRecorder.h"
#include "tree/Document.h"

namespace pagedom {

bool RecordGate::isActive() const
{
    return !(_document._recordState & Document::RECORD_DISABLED);
}

bool RecordGate::_passes()
{
    std::uint32_t& state = _document._recordState;
    if (state & Document::RECORD_DISABLED)
        return false;
    _document._record();
    if (!(state & Document::RECORD_SUSPENDED)) {
        // The first change after a suspension ended closes the step that
        // holds everything done during the suspension.
        if (state & Document::RECORD_CHANGED_SUSPENDED) {
            _document.endRecord();
            state &= ~static_cast<std::uint32_t>(Document::RECORD_CHANGED_SUSPENDED);
        }
    } else {
        state |= Document::RECORD_CHANGED_SUSPENDED;
    }
    return true;
}

ChangeRecorder* RecordGate::_openedRecord()
{
    ChangeRecorder* record = _document._changeRecord;
    return record && record->openStep() ? record : nullptr;
}

void RecordGate::_sendRecordEvent(const char* type, const Node* node, unsigned long index, unsigned long count)
{
    const dom::EventTarget* target = &_document;
    dom::RecordEvent event(target, type, node, static_cast<std::uint32_t>(index),
                           static_cast<std::uint32_t>(count));
    target->dispatchEvent(&event);
}

void RecordGate::beginChange(Document*)
{
    if (_passes())
        _openedRecord();
}

// The nodes an insertion or removal marks: the parent, the inserted
// subtrees, and the siblings whose links changed.
void RecordGate::_touchAround(Node* parent, unsigned long index, unsigned long count, bool inserted)
{
    _document._touch(parent, false);
    if (index > 0)
        _document._touch(parent->getChildNode(index - 1), false);
    for (unsigned long i = 0; inserted && i < count; ++i)
        _document._touch(parent->getChildNode(index + i), true);
    _document._touch(parent->getChildNode(index + count), false);
}

void RecordGate::afterInsert(Node* parent, unsigned long index, unsigned long count)
{
    if (!_passes())
        return;
    _touchAround(parent, index, count, true);
    if (ChangeRecorder* record = _openedRecord())
        record->recordInsertion(parent, index, count);
    _sendRecordEvent("END_INSERT", parent, index, count);
}

void RecordGate::beforeRemove(Node* parent, unsigned long index, unsigned long count, Node* child)
{
    if (!_passes())
        return;
    _sendRecordEvent("BEGIN_REMOVE", parent, index, count);
    // A listener may have moved the child: it is entered where it is now.
    if (child->getParentNode() != parent)
        return;
    index = parent->getChildIndex(child);
    if (index == Node::NOT_FOUND)
        return;
    _touchAround(parent, index, count, false);
    if (ChangeRecorder* record = _openedRecord())
        record->recordRemoval(parent, index, count);
}

void RecordGate::beginModify(Node* node)
{
    if (!_passes())
        return;
    _sendRecordEvent("BEGIN_MODIFY", node, 0, 1);
    if (ChangeRecorder* record = _openedRecord())
        record->recordModification(node);
}

void RecordGate::endModify(Node* node)
{
    if (!_passes())
        return;
    _openedRecord();
    _document._touch(node, false);
    _sendRecordEvent("END_MODIFY", node, 0, 1);
}

} // namespace pagedom
