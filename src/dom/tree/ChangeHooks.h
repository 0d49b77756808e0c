#ifndef PAGEDOM_TREE_CHANGEHOOKS_H
#define PAGEDOM_TREE_CHANGEHOOKS_H

class Document;
class Node;

// The one path by which node operations announce changes to their document.
// The change recorder and the selection keeper implement it; a document
// without an installed receiver announces nothing.
class ChangeHooks {
public:
    virtual ~ChangeHooks() {}

    // Whether announcements are wanted at all right now.  While no document
    // has an active receiver, node operations skip the search for their
    // document entirely.
    virtual bool isActive() const = 0;

    // A structural change is about to begin.
    virtual void beginChange(Document* document) = 0;
    // count nodes were inserted at index under parent.
    virtual void afterInsert(Node* parent, unsigned long index, unsigned long count) = 0;
    // child (at index under parent) is about to be removed.
    virtual void beforeRemove(Node* parent, unsigned long index, unsigned long count, Node* child) = 0;
    // node's own content (data, attributes) is about to change / has changed.
    virtual void beginModify(Node* node) = 0;
    virtual void endModify(Node* node) = 0;
};

#endif
