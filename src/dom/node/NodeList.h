#ifndef PAGEDOM_NODE_NODELIST_H
#define PAGEDOM_NODE_NODELIST_H

class Node;

namespace dom {

// An ordered list of node pointers.  A NodeList is a small value: copies share
// one reference-counted body, so a list handed out by a container keeps
// reflecting the container's later insertions and removals.  Lists never hold
// references on the nodes they list.
class NodeList {
public:
    NodeList();
    NodeList(const NodeList& other);
    NodeList& operator=(const NodeList& other);
    ~NodeList();

    Node* item(unsigned long index) const;
    unsigned long length() const;

    bool operator==(const NodeList& other) const { return _impl == other._impl; }
    bool operator!=(const NodeList& other) const { return _impl != other._impl; }

protected:
    struct _Body;
    void _attachImpl();
    void _detachImpl();
    // A list with one entry may hold it in place of a body (see
    // OwnerNodeList); _makeBody gives it one.
    bool _isSingle() const;
    Node* _single() const;
    void _makeBody() const;

    _Body* _impl;

    friend class OwnerNodeList;
};

// The writable list used for children and attributes.  Its body is created on
// the first insertion; a list taken from it before that stays empty.
class OwnerNodeList : public NodeList {
public:
    OwnerNodeList() = default;

    // Inserts before the first occurrence of refNode (appends when refNode is
    // null).  Returns node, or null when node is null or refNode is absent.
    Node* insertBefore(Node* node, const Node* refNode);
    Node* append(Node* node);
    // Inserts at index (clamped to the length).
    Node* insertAt(Node* node, unsigned long index);
    // Removes the first occurrence; null when absent.
    Node* remove(const Node* node);
    Node* removeAt(unsigned long index);
    // Position of the first occurrence, or 0xFFFFFFFF.
    unsigned long indexOf(const Node* node) const;
    // Detaches from the body; lists that shared it keep the former entries.
    void clear();

private:
    void _ensureBody();
};

} // namespace dom

#endif
