// The base of the nodes that have children: the ordered child list and the
// structural operations on it.
#ifndef PAGEDOM_NODE_CONTAINERNODE_H
#define PAGEDOM_NODE_CONTAINERNODE_H

#include <vector>

#include "node/NamedNode.h"

// A node with an ordered list of children.  The structural operations pass
// references exactly as Node describes: insertion takes the caller's
// reference, removal hands it back, destruction releases every child.
class ContainerNode : public NamedNode {
public:
    // Detaches and releases every child.
    ~ContainerNode() override;

    // The children as a live list.
    dom::NodeList getChildNodes() const override;
    // Inserts newChild (and the parentless sibling chain it heads) before
    // refChild, or at the end without refChild; a child of another container
    // moves, and a node of another document is adopted by this one (it and
    // its subtree take this document as owner and its declarations).
    // Returns newChild, or null when refused: a null node, a node that would
    // come to own itself (become its own ancestor, or hold itself through
    // metadata), a node that never takes a parent, a node kept by another
    // (metadata attached to an element, an author-time visual), or a
    // refChild that is no child here.
    Node* insertBefore(Node* newChild, Node* refChild) override;
    // Replaces oldChild by newChild in place; returns oldChild (the caller's
    // reference), or null when refused (either is null, oldChild is no child
    // here, or newChild could not be inserted here).
    Node* replaceChild(Node* newChild, Node* oldChild) override;
    // Removes oldChild; returns it (the caller's reference), or null when it
    // is no child.
    Node* removeChild(Node* oldChild) override;
    // Appends newChild; returns it, or null when refused.
    Node* appendChild(Node* newChild) override;

protected:
    // A container of ownerDocument named name, without children.
    ContainerNode(Document* ownerDocument, const std::string& name);
    // The same with a name from the table of shared names.
    ContainerNode(Document* ownerDocument, const std::string* sharedName);
    // Copies the node itself; children are copied by _cloneChildrenInto.
    ContainerNode(const ContainerNode& other);

    const dom::OwnerNodeList* _childList() const override { return &_children; }

    // Detaches and releases every child (the destructor's first step).
    void _releaseChildren();

    // Deep copy support: appends copies of this node's descendants to copy,
    // without recursion.
    void _cloneChildrenInto(ContainerNode* copy) const;

    // Makes owner the owner document of every descendant, of the attributes
    // of every descendant element and of the metadata attached to them.
    void _adoptDescendants(Document* owner);
    // A node moving in from another document becomes this container's
    // document's: owner documents and declarations of its whole subtree
    // follow (see _adoptSubtrees).  Without a document here nothing changes.
    void _adoptIncoming(Node* node);

private:
    // Appends a node without announcing anything to a document: used while a
    // reader builds a fresh tree.  Ownership and state rules are those of
    // appendChild.
    void _appendQuietly(Node* newChild);
    // _appendQuietly for a reader that has just made newChild (no parent,
    // no siblings, not an ancestor of this node) and already knows whether
    // this node can contain it; the marks are those of appendChild.
    void _appendParsed(Node* newChild, bool contained);

    void _link(Node* newChild, Node* refChild, unsigned long index);
    bool _refusesInsertion(const Node* node) const;
    // insertBefore for a caller that knows newChild does not hold this
    // container (a node a repair moves up among its own ancestors): the
    // climb to the root that proves it is saved.
    Node* _insertFromOutside(Node* newChild, Node* refChild);
    // The one insertion _insertFromOutside vouches for, on this thread.
    static inline thread_local const Node* t_outsideChild = nullptr;
    static inline thread_local const Node* t_outsideParent = nullptr;
    // Makes owner the owner document of the subtrees under roots (and of
    // what their nodes keep beside their children), rebinding every node to
    // owner's declarations when asked.  roots is used up.
    static void _adoptSubtrees(std::vector<Node*>& roots, Document* owner, bool rebind);

    dom::OwnerNodeList _children;

    // Library internals used by the reader.
    // Hands every child, in order, to the childless container to, without
    // announcing or marking anything: the children keep their places in the
    // page, only their parent is another copy of the same node.
    void _handChildrenTo(ContainerNode* to);

    friend class HTMLParser;
    friend class XMLParser;
    friend struct pagedom::NodeAccess;
};

#endif
