// A document's change record: the steps of recorded changes, and their
// replay backwards (undo) and forwards (redo).
#ifndef PAGEDOM_EDITING_CHANGERECORD_H
#define PAGEDOM_EDITING_CHANGERECORD_H

#include <cstdint>
#include <deque>
#include <vector>

#include "tree/ChangeRecorder.h"

class Document;
class Node;

namespace pagedom {

// Where a node stands: the child indices from the document down to it.
// Entries and cursor snapshots keep places rather than nodes, because undo
// replaces nodes by copies; a place is resolved again at replay time.
struct NodePath {
    std::vector<std::uint32_t> indices;
    bool inDocument = false; // false: the node was outside the tree

    // The place of node in document (not in it: inDocument is false).
    static NodePath of(const Node* node, const Document& document);
    // The node at this place now, or null when there is none.
    Node* resolve(Document& document) const;
};

// The layout cursor and the single selection, as places.
struct CursorSnapshot {
    NodePath cursor;
    int layoutOffset = 0;
    bool hasSelection = false;
    NodePath start;
    std::uint32_t startOffset = 0;
    NodePath end;
    std::uint32_t endOffset = 0;

    static CursorSnapshot take(const Document& document);
    void restore(Document& document) const;
};

// The record.  A step holds the entries of one editing command; an entry
// keeps only what its change needs to be reversed and repeated: nothing
// for an insertion until it is first undone, copies of the removed
// subtrees for a removal, a copy of the node without its children for a
// modification.  So recording and replaying a step costs what the step
// touched, whatever the size of the page.
class ChangeRecord : public ChangeRecorder {
public:
    // At most this many closed steps are kept; the oldest go first.
    static constexpr int STEP_LIMIT = 30;

    explicit ChangeRecord(Document& document) : _document(document) {}
    ~ChangeRecord() override;
    ChangeRecord(const ChangeRecord&) = delete;
    ChangeRecord& operator=(const ChangeRecord&) = delete;

    bool openStep() override;
    void recordInsertion(Node* parent, unsigned long index, unsigned long count) override;
    void recordRemoval(Node* parent, unsigned long index, unsigned long count) override;
    void recordModification(Node* node) override;
    bool endRecord() override;
    bool undoStep() override;
    bool redoStep() override;
    int canUndo() const override;
    int canRedo() const override;
    bool isReplaying() const override { return _replaying; }

    // The maker the library frame installs.
    static ChangeRecorder* make(Document& document);

private:
    enum Kind { INSERTION = 0, REMOVAL = 1, MODIFICATION = 2 };

    // Copies are kept with one reference each.
    struct Entry {
        Kind kind;
        NodePath path;         // the parent (insertion, removal) or the node
        long index;            // first child concerned; -1 for a modification
        long count;            // children concerned; -1 for a modification
        std::vector<Node*> undoCopy;
        std::vector<Node*> redoCopy;
    };
    struct Step {
        std::vector<Entry> entries;
        Node* lastModified = nullptr; // one reference
        CursorSnapshot opening;
        CursorSnapshot closing;
    };

    static void _releaseCopies(std::vector<Node*>& copies);
    static void _deleteStep(Step* step);
    // An insertion or removal, or the end of the step, ends the run of
    // changes to one node that collapse into one entry.
    static void _forgetLastModified(Step* step);
    // Copies (deep) of count children of parent from index.
    static std::vector<Node*> _copyChildren(Node* parent, long index, long count);
    void _append(Entry entry);
    void _forgetRedo();

    void _undoEntry(Entry& entry);
    void _redoEntry(Entry& entry);
    // Fresh copies of saved go into parent at index, in order.
    void _insertCopies(Node* parent, long index, const std::vector<Node*>& saved);
    // count children of parent from index go through Document::deleteNodes.
    void _deleteChildren(Node* parent, long index, long count);
    // node's place gets a copy of saved (without children), holding node's
    // children.
    void _replaceByCopy(Node* node, const Node* saved);
    // Every OBJECT element the replay put into the tree is checked again for
    // being an ActiveX object.
    void _markActiveX();

    Document& _document;
    Step* _open = nullptr;
    std::deque<Step*> _undo; // oldest first
    std::deque<Step*> _redo; // next to redo first
    bool _replaying = false;
    // The nodes the replay put into the tree, one reference each: inserted
    // copies (new throughout) and restored nodes (new themselves only).
    struct Replayed {
        Node* node;
        bool wholeSubtree;
    };
    std::vector<Replayed> _replayed;
};

} // namespace pagedom

#endif
