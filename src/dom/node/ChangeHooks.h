// The interface through which node operations announce changes to the
// document above them.
#ifndef PAGEDOM_NODE_CHANGEHOOKS_H
#define PAGEDOM_NODE_CHANGEHOOKS_H

class Document;
class Node;

namespace pagedom {

// The one path by which node operations announce changes to their document.
// The change recorder and the selection keeper implement it and a document
// holds the receiver installed for it; the node operations reach that
// receiver through the static announcements below, so a tree without a
// listening document announces nothing and pays for nothing.
class ChangeHooks {
public:
    virtual ~ChangeHooks() {}

    // Whether announcements are wanted at all right now.
    virtual bool isActive() const = 0;

    // A structural change of document is about to begin.
    virtual void beginChange(Document* document) = 0;
    // count nodes were inserted at index under parent.
    virtual void afterInsert(Node* parent, unsigned long index, unsigned long count) = 0;
    // child (at index under parent) is about to be removed.
    virtual void beforeRemove(Node* parent, unsigned long index, unsigned long count, Node* child) = 0;
    // node's own content (data, attributes) is about to change / has changed.
    virtual void beginModify(Node* node) = 0;
    virtual void endModify(Node* node) = 0;

    // The receiver that must hear about a change under node, or null when no
    // document above node listens (no walk while no document listens at all).
    static ChangeHooks* receiverFor(const Node* node);
    // The document whose receiver receiverFor(node) found (its root).
    static Document* documentOf(const Node* node);
    // beginModify / endModify of the receiver for node, when there is one.
    static void announceBeginModify(Node* node);
    static void announceEndModify(Node* node);

    // Counts the documents whose receiver currently wants announcements;
    // documents call it when that changes.
    static void documentListens(bool on);

    // A change of a whole subtree made node by node (formatting): announced
    // as the subtree being removed and put back, before and after; the
    // operations inside are not announced one by one.  For a document, all
    // its children are the subtree.
    class SubtreeChange {
    public:
        explicit SubtreeChange(Node* node);
        ~SubtreeChange();
        SubtreeChange(const SubtreeChange&) = delete;
        SubtreeChange& operator=(const SubtreeChange&) = delete;

    private:
        ChangeHooks* _hooks = nullptr;
        Node* _node = nullptr;
        Node* _parent = nullptr;
        unsigned long _index = 0;
    };

private:
    // Open SubtreeChange sections on this thread: while there is one,
    // nothing is announced.
    static thread_local unsigned t_quiet;
};

} // namespace pagedom

#endif
