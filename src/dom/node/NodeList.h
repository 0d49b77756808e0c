// Ordered lists of nodes: the shared, reference-counted list a node hands
// out, and the writable kind that holds children and attributes.
#ifndef PAGEDOM_NODE_NODELIST_H
#define PAGEDOM_NODE_NODELIST_H

#include <cstddef>
#include <cstdint>

class Node;

namespace dom {

// An ordered list of node pointers.  A NodeList is a small value: copies share
// one reference-counted body, so a list handed out by a container keeps
// reflecting the container's later insertions and removals.  Lists never hold
// references on the nodes they list.
class NodeList {
public:
    // An empty list.
    NodeList();
    // A list sharing other's entries.
    NodeList(const NodeList& other);
    // Shares other's entries, leaving the entries this list shared.
    NodeList& operator=(const NodeList& other);
    // Leaves the shared entries; the last list to leave frees them.
    ~NodeList()
    {
        if (_impl)
            _detachImpl();
    }

    // The node at index, or null when index is not below the length.
    Node* item(unsigned long index) const;
    // The number of entries.
    unsigned long length() const;

    // Whether both lists share the same entries (two empty lists without
    // entries ever are equal).
    bool operator==(const NodeList& other) const { return _impl == other._impl; }
    // Whether the lists share different entries.
    bool operator!=(const NodeList& other) const { return _impl != other._impl; }

protected:
    // The shared entries and the count of lists sharing them.
    struct Body;

    // Counts this list among those sharing its body.
    void _attachImpl();
    // Stops counting this list; frees the body when it was the last.  The
    // pointer is left as it is.
    void _detachImpl();
    // A list with one entry may hold it in place of a body, and a child
    // list only ever appended to may hold a chain (see OwnerNodeList);
    // _makeBody gives either one.
    static constexpr std::uintptr_t SINGLE_TAG = 1;
    static constexpr std::uintptr_t CHAIN_TAG = 2;
    // A chain: the two ends and the count of a child list whose entries are
    // linked to each other by their sibling links (see appendLinked).
    struct Chain {
        Node* first;
        Node* last;
        std::uint32_t count;

        static void* operator new(std::size_t size);
        static void operator delete(void* memory, std::size_t size);
    };
    bool _isSingle() const { return (reinterpret_cast<std::uintptr_t>(_impl) & SINGLE_TAG) != 0; }
    Node* _single() const { return reinterpret_cast<Node*>(reinterpret_cast<std::uintptr_t>(_impl) & ~SINGLE_TAG); }
    bool _isChain() const { return (reinterpret_cast<std::uintptr_t>(_impl) & CHAIN_TAG) != 0; }
    Chain* _chain() const { return reinterpret_cast<Chain*>(reinterpret_cast<std::uintptr_t>(_impl) & ~CHAIN_TAG); }
    // Whether the list keeps its entries without a body.
    bool _isBodiless() const { return (reinterpret_cast<std::uintptr_t>(_impl) & (SINGLE_TAG | CHAIN_TAG)) != 0; }
    void _makeBody() const;

    Body* _impl;
};

// The writable list used for children and attributes.  Its body is created on
// the first insertion; a list taken from it before that stays empty, while a
// list taken at any later time shares the body, even when the owner list
// holds no entry at that moment.
class OwnerNodeList : public NodeList {
public:
    // The result of indexOf for an absent node.
    static constexpr unsigned long NOT_FOUND = 0xFFFFFFFFul;

    // An empty list without a body.
    OwnerNodeList() = default;
    // Leaves the shared entries (see NodeList).  Defined out of line: an
    // element keeps its attribute list in a union, and clang calls this
    // destructor from the element's constructors without emitting it.
    ~OwnerNodeList();

    // Inserts before the first occurrence of refNode (appends when refNode is
    // null).  Returns node, or null when node is null or refNode is absent.
    Node* insertBefore(Node* node, const Node* refNode);
    // Appends node; returns it, or null when node is null.
    Node* append(Node* node);
    // Inserts node at index (clamped to the length); returns it, or null
    // when node is null.
    Node* insertAt(Node* node, unsigned long index);
    // Removes the first occurrence of node; returns it, or null when absent.
    Node* remove(const Node* node);
    // Removes the entry at index; returns it, or null when out of range.
    Node* removeAt(unsigned long index);
    // The position of the first occurrence of node, or NOT_FOUND.
    unsigned long indexOf(const Node* node) const;
    // The position of node in a list that holds it at most once (a child
    // list), or NOT_FOUND: looked for first beside the last insertion or
    // removal, so that finding the neighbour of the last edit costs one step.
    unsigned long indexOfUnique(const Node* node) const;
    // The first entry, or null; found without giving the list a body.
    Node* first() const
    {
        if (_isSingle())
            return _single();
        if (_isChain())
            return _chain()->first;
        return _impl ? item(0) : nullptr;
    }
    // Appends node to a child list, node having just been linked after the
    // last entry by its sibling links.  Until anything but such appends
    // happens to it, the list keeps only its ends and its count, and the
    // entries in between are found by those links.
    void appendLinked(Node* node)
    {
        // A reader appends thousands of children to chains: that case first.
        if (_isChain() && _chain()->count < CHAIN_LIMIT) {
            Chain* chain = _chain();
            chain->last = node;
            ++chain->count;
        } else {
            _appendLinkedElsewhere(node);
        }
    }
    // The last entry, or null; found without giving the list a body.
    Node* last() const;
    // Gives a list kept as a chain its body, read along the sibling links:
    // the caller is about to relink entries.
    void makeIndexed()
    {
        if (_isChain())
            _makeBody();
    }
    // Detaches from the body; lists that shared it keep the former entries.
    void clear();

private:
    void _ensureBody();
    // appendLinked to a list that is not a chain, or a chain at its limit.
    void _appendLinkedElsewhere(Node* node);
    // The most entries a list holds, as a body's count allows.
    static constexpr std::uint32_t CHAIN_LIMIT = 0xFFFFFFFFu;
};

} // namespace dom

#endif
