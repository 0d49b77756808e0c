// The receiver of a document's change announcements: decides whether a
// change is recorded, enters it into the change record and tells the
// document's listeners.  An internal header.
#ifndef PAGEDOM_TREE_RECORDGATE_H
#define PAGEDOM_TREE_RECORDGATE_H

#include "node/ChangeHooks.h"

class Document;

namespace pagedom {

class ChangeRecorder;

// Every announcement of a node operation passes this gate: while recording
// is disabled it does nothing at all; otherwise it manages the suspension
// state, enters the change into the record and sends the record event.
//
// A "BEGIN_" event goes out before the change is entered and an "END_"
// event after, so whatever a listener changes while it hears of a change is
// recorded in the order it happens; the removal is entered with the child's
// place as it is once the listeners are done.
class RecordGate : public ChangeHooks {
public:
    explicit RecordGate(Document& document) : _document(document) {}

    bool isActive() const override;
    void beginChange(Document* document) override;
    void afterInsert(Node* parent, unsigned long index, unsigned long count) override;
    void beforeRemove(Node* parent, unsigned long index, unsigned long count, Node* child) override;
    void beginModify(Node* node) override;
    void endModify(Node* node) override;

private:
    // The recording gate: false when recording is disabled; closes the
    // step of a finished suspension.
    bool _passes();
    // The document's record with a step open, or null.
    ChangeRecorder* _openedRecord();
    void _touchAround(Node* parent, unsigned long index, unsigned long count, bool inserted);
    void _sendRecordEvent(const char* type, const Node* node, unsigned long index, unsigned long count);

    Document& _document;
};

} // namespace pagedom

#endif
