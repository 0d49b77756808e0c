// The interface through which a document keeps its change record: the
// editing layer implements the record, the library frame installs its maker.
#ifndef PAGEDOM_TREE_CHANGERECORDER_H
#define PAGEDOM_TREE_CHANGERECORDER_H

class Document;
class Node;

namespace pagedom {

// A document's change record as the document and its recording gate see
// it: changes are entered into steps, closed steps are undone and redone.
// The document sends the marker events and keeps the record position; the
// record keeps the steps and replays them.
class ChangeRecorder {
public:
    virtual ~ChangeRecorder() {}

    // Opens a step when none is open (refused while replaying); every
    // opening forgets the steps that could be redone.  True when a step is
    // open afterwards.
    virtual bool openStep() = 0;
    // count children were inserted at index under parent.
    virtual void recordInsertion(Node* parent, unsigned long index, unsigned long count) = 0;
    // count children at index under parent are about to be removed.
    virtual void recordRemoval(Node* parent, unsigned long index, unsigned long count) = 0;
    // node's own content is about to change.
    virtual void recordModification(Node* node) = 0;

    // Closes the open step into the undo list; false when none was open or
    // the record is replaying.
    virtual bool endRecord() = 0;
    // Replays the newest step backwards; false when there was none.
    virtual bool undoStep() = 0;
    // Replays the step undone last forwards; false when there was none.
    virtual bool redoStep() = 0;
    // Steps that can be undone (the open one counts when it holds entries).
    virtual int canUndo() const = 0;
    // Steps that can be redone.
    virtual int canRedo() const = 0;
    // Whether a step is being undone or redone.
    virtual bool isReplaying() const = 0;

    // A new record for document, made by the installed maker; null when no
    // maker is installed.
    static ChangeRecorder* create(Document& document);
    // Installs the maker of change records.
    using Maker = ChangeRecorder* (*)(Document& document);
    static void install(Maker maker);
};

} // namespace pagedom

#endif
