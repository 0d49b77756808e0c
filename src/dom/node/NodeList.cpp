// The shared list body, its growth, and the one-entry lists that keep their
// node without a body.
#include "node/NodeList.h"

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <new>

#include "node/Node.h"
#include "node/NodeAllocator.h"

namespace dom {

// The shared body.  The vector is managed by hand: its first two entries
// live in the body itself (most lists are short), and once full it grows
// to its size plus the larger of its size and 1.
//
// The free room of the vector is a gap kept where the last edit happened
// (a gap buffer): entries before the gap sit at their index, entries after
// it sit one gap further on.  Appending keeps the gap at the end, where it
// costs nothing; a run of insertions or removals at one place (building a
// list from the front, emptying it from the front, removing a run from the
// middle) moves the gap once and then edits beside it, one step each.
//
// The count of lists sharing the body is atomic: the lists a document type
// hands out (its declarations) are taken on every thread that reads the
// type.  The entries themselves change only in the tree that owns them, and
// reading them changes nothing in the body.
struct NodeList::Body {
    // Entries kept in the body itself.
    static constexpr std::uint32_t INLINE_ITEMS = 2;

    Node** items = inlineItems;
    std::uint32_t size = 0;
    std::uint32_t capacity = INLINE_ITEMS;
    // Where the gap starts: the index of the last edit.
    std::uint32_t gapStart = 0;
    std::atomic<std::uint32_t> lists{0};
    // Where the last search found its node: an editor asks for the places
    // of the same nodes again and again (the path down to the node being
    // typed into), and after an edit beside it the place is one off.
    // Atomic because the declaration lists of a shared document type are
    // searched on several threads.
    mutable std::atomic<std::uint32_t> lastFound{0};
    Node* inlineItems[INLINE_ITEMS];

    ~Body()
    {
        if (items != inlineItems)
            releaseItems(items, capacity);
    }

    // A vector of count entries.  Small vectors come from the node
    // allocator, like the bodies: no per-allocation overhead, and the cells
    // of a vector that grew serve the next list to grow.  Larger ones come
    // from the heap.
    static Node** allocateItems(std::uint32_t count)
    {
        const std::size_t bytes = std::size_t(count) * sizeof(Node*);
        if (bytes <= pagedom::NodeAllocator::MAX_POOLED_SIZE)
            return static_cast<Node**>(pagedom::NodeAllocator::allocate(bytes));
        Node** fresh = static_cast<Node**>(::operator new(bytes, std::nothrow));
        if (!fresh)
            std::abort();
        return fresh;
    }
    static void releaseItems(Node** vector, std::uint32_t count)
    {
        pagedom::NodeAllocator::release(vector, std::size_t(count) * sizeof(Node*));
    }

    // Bodies come from the node allocator, like the nodes they list.
    static void* operator new(std::size_t size) { return pagedom::NodeAllocator::allocate(size); }
    static void operator delete(void* memory, std::size_t size) { pagedom::NodeAllocator::release(memory, size); }

    std::uint32_t gapLength() const { return capacity - size; }

    // The entry at index (below size).
    Node* at(unsigned long index) const { return items[index < gapStart ? index : index + gapLength()]; }

    // Moves the gap so that it starts at index, carrying the entries in
    // between across it.
    void moveGap(unsigned long index)
    {
        const std::uint32_t gap = gapLength();
        if (index < gapStart) {
            if (gap)
                std::memmove(items + index + gap, items + index, (gapStart - index) * sizeof(Node*));
        } else if (index > gapStart) {
            if (gap)
                std::memmove(items + gapStart, items + gapStart + gap, (index - gapStart) * sizeof(Node*));
        }
        gapStart = static_cast<std::uint32_t>(index);
    }

    // A full vector grows with its gap at index.
    void grow(unsigned long index)
    {
        std::uint32_t more = size > 1 ? size : 1;
        if (more > std::numeric_limits<std::uint32_t>::max() - size)
            std::abort(); // four billion entries in one list
        std::uint32_t cap = size + more;
        Node** fresh = allocateItems(cap);
        // Full, the vector has no gap: every entry sits at its index.
        if (index)
            std::memcpy(fresh, items, index * sizeof(Node*));
        if (index < size)
            std::memcpy(fresh + index + more, items + index, (size - index) * sizeof(Node*));
        if (items != inlineItems)
            releaseItems(items, capacity);
        items = fresh;
        capacity = cap;
        gapStart = static_cast<std::uint32_t>(index);
    }

    void insertAt(unsigned long index, Node* node)
    {
        if (size == capacity)
            grow(index);
        else if (index != gapStart)
            moveGap(index);
        items[gapStart++] = node;
        ++size;
    }

    void eraseAt(unsigned long index)
    {
        // The entry just before the gap, or just after it, joins the gap.
        if (index + 1 == gapStart)
            --gapStart;
        else if (index != gapStart)
            moveGap(index);
        --size;
    }

    // Takes the count entries linked from first by their sibling links, into
    // a vector of exactly that size.
    void fillFromChain(Node* first, std::uint32_t count)
    {
        if (count > capacity) {
            items = allocateItems(count);
            capacity = count;
        }
        Node* node = first;
        for (std::uint32_t i = 0; i < count; ++i, node = node->getNextSibling())
            items[i] = node;
        size = gapStart = count;
    }

    // The first index holding node, searched from the front.
    unsigned long find(const Node* node) const
    {
        for (std::uint32_t i = 0; i < gapStart; ++i)
            if (items[i] == node)
                return i;
        const std::uint32_t gap = gapLength();
        for (std::uint32_t i = gapStart; i < size; ++i)
            if (items[i + gap] == node)
                return i;
        return OwnerNodeList::NOT_FOUND;
    }

    // An index holding node, looked for first beside the last edit and
    // where the last search found its node.
    // How far before and after the last edit or answer a lookup looks
    // before it scans the whole list.
    static constexpr unsigned long NEAR_BEFORE = 2;
    static constexpr unsigned long NEAR_AFTER = 8;

    unsigned long findNearEdit(const Node* node) const
    {
        if (gapStart < size && at(gapStart) == node)
            return gapStart;
        if (gapStart > 0 && at(gapStart - 1) == node)
            return gapStart - 1;
        // A walk that edits the children in order (a line break put before
        // each of a list's items, a repair splitting elements around what it
        // moves) asks a few places past its last edit or its last answer.
        const std::uint32_t last = lastFound.load(std::memory_order_relaxed);
        for (const unsigned long from : {static_cast<unsigned long>(gapStart), static_cast<unsigned long>(last)}) {
            const unsigned long begin = from > NEAR_BEFORE ? from - NEAR_BEFORE : 0;
            for (unsigned long near = begin; near < size && near <= from + NEAR_AFTER; ++near) {
                if (at(near) == node) {
                    lastFound.store(static_cast<std::uint32_t>(near), std::memory_order_relaxed);
                    return near;
                }
            }
        }
        const unsigned long found = find(node);
        if (found != OwnerNodeList::NOT_FOUND)
            lastFound.store(static_cast<std::uint32_t>(found), std::memory_order_relaxed);
        return found;
    }
};

// An owner list with a single entry and no view on it keeps that node in
// place of a body (most elements have one child or one attribute): _impl
// then holds the node's address with the lowest bit set.  A view is only
// ever made on a body, so the first view made of such a list, or a second
// entry, gives it one.
//
// When that single entry goes, the tag stays alone (a null node with the
// bit set): the list has had entries, so a view taken of it now gets a
// body like any other and follows the entries added later.  Only a list
// that never had an entry (or was cleared) has a null _impl.
//
// A child list that has only been appended to since it had a second entry
// keeps a chain instead: its two ends and its count, with _impl holding the
// chain's address with the second bit set.  The entries in between are the
// siblings linked from the first, so a reader appending thousands of
// children fills no vector, and a parsed page keeps none.  Anything but an
// append (a view, an index, an insertion elsewhere, a removal) first gives
// the list its body, read along the links: the container relinks its
// children only after that (see makeIndexed).  Chains come from the node
// allocator, like bodies.
void* NodeList::Chain::operator new(std::size_t size)
{
    return pagedom::NodeAllocator::allocate(size);
}

void NodeList::Chain::operator delete(void* memory, std::size_t size)
{
    pagedom::NodeAllocator::release(memory, size);
}

void NodeList::_makeBody() const
{
    NodeList* self = const_cast<NodeList*>(this);
    Body* body = new Body;
    body->lists.store(1, std::memory_order_relaxed);
    if (_isChain()) {
        Chain* chain = _chain();
        body->fillFromChain(chain->first, chain->count);
        delete chain;
    } else if (Node* node = _isSingle() ? _single() : nullptr) {
        body->insertAt(0, node);
    }
    self->_impl = body;
}

NodeList::NodeList() : _impl(nullptr) {}

NodeList::NodeList(const NodeList& other)
{
    if (other._isBodiless())
        other._makeBody();
    _impl = other._impl;
    _attachImpl();
}

NodeList& NodeList::operator=(const NodeList& other)
{
    if (other._isBodiless())
        other._makeBody();
    if (_impl == other._impl)
        return *this;
    _detachImpl();
    _impl = other._impl;
    _attachImpl();
    return *this;
}

OwnerNodeList::~OwnerNodeList() = default;

Node* NodeList::item(unsigned long index) const
{
    if (_isSingle())
        return index == 0 ? _single() : nullptr;
    if (_isChain()) {
        // The two ends are at hand; any other entry needs the body.
        const Chain* chain = _chain();
        if (index == 0)
            return chain->first;
        if (index + 1 == chain->count)
            return chain->last;
        if (index >= chain->count)
            return nullptr;
        _makeBody();
    }
    if (!_impl || index >= _impl->size)
        return nullptr;
    return _impl->at(index);
}

unsigned long NodeList::length() const
{
    if (_isSingle())
        return _single() ? 1 : 0;
    if (_isChain())
        return _chain()->count;
    return _impl ? _impl->size : 0;
}

void NodeList::_attachImpl()
{
    // A new list is made from one that already shares the body, which keeps
    // it alive meanwhile: the count needs no ordering.
    if (_impl)
        _impl->lists.fetch_add(1, std::memory_order_relaxed);
}

void NodeList::_detachImpl()
{
    if (_isSingle()) {
        _impl = nullptr;
        return;
    }
    if (_isChain()) {
        delete _chain();
        _impl = nullptr;
        return;
    }
    if (!_impl)
        return;
    // The last list sees a count of 1 and no other list left to copy from,
    // so it frees the body without a locked operation (the common case: a
    // container's own list).  Otherwise the release pairs with the acquire
    // of whichever list drops the count to 0.
    if (_impl->lists.load(std::memory_order_acquire) == 1 ||
        _impl->lists.fetch_sub(1, std::memory_order_acq_rel) == 1)
        delete _impl;
}

void OwnerNodeList::_ensureBody()
{
    if (!_impl || _isBodiless())
        _makeBody();
}

void OwnerNodeList::_appendLinkedElsewhere(Node* node)
{
    const std::uintptr_t word = reinterpret_cast<std::uintptr_t>(_impl);
    if (!_impl || word == SINGLE_TAG) {
        _impl = reinterpret_cast<Body*>(reinterpret_cast<std::uintptr_t>(node) | SINGLE_TAG);
    } else if (_isSingle()) {
        Chain* chain = new Chain{_single(), node, 2};
        _impl = reinterpret_cast<Body*>(reinterpret_cast<std::uintptr_t>(chain) | CHAIN_TAG);
    } else if (_isChain()) {
        std::abort(); // four billion entries in one list, as a body allows
    } else {
        _impl->insertAt(_impl->size, node);
    }
}

Node* OwnerNodeList::last() const
{
    if (_isSingle())
        return _single();
    if (_isChain())
        return _chain()->last;
    return _impl && _impl->size ? _impl->at(_impl->size - 1) : nullptr;
}

Node* OwnerNodeList::insertBefore(Node* node, const Node* refNode)
{
    if (!node)
        return nullptr;
    if (!refNode)
        return append(node);
    const unsigned long index = indexOf(refNode);
    if (index == NOT_FOUND)
        return nullptr;
    return insertAt(node, index);
}

Node* OwnerNodeList::append(Node* node)
{
    return insertAt(node, length());
}

Node* OwnerNodeList::insertAt(Node* node, unsigned long index)
{
    if (!node)
        return nullptr;
    if (!_impl || reinterpret_cast<std::uintptr_t>(_impl) == SINGLE_TAG) {
        _impl = reinterpret_cast<Body*>(reinterpret_cast<std::uintptr_t>(node) | SINGLE_TAG);
        return node;
    }
    _ensureBody();
    if (index > _impl->size)
        index = _impl->size;
    _impl->insertAt(index, node);
    return node;
}

Node* OwnerNodeList::remove(const Node* node)
{
    if (!node)
        return nullptr;
    unsigned long index = indexOf(node);
    return index == NOT_FOUND ? nullptr : removeAt(index);
}

Node* OwnerNodeList::removeAt(unsigned long index)
{
    makeIndexed();
    if (_isSingle()) {
        Node* found = _single();
        if (index != 0 || !found)
            return nullptr;
        _impl = reinterpret_cast<Body*>(SINGLE_TAG);
        return found;
    }
    if (!_impl || index >= _impl->size)
        return nullptr;
    Node* found = _impl->at(index);
    _impl->eraseAt(index);
    return found;
}

unsigned long OwnerNodeList::indexOf(const Node* node) const
{
    if (!node)
        return NOT_FOUND;
    if (_isChain())
        _makeBody();
    if (_isSingle())
        return _single() == node ? 0 : NOT_FOUND;
    if (!_impl)
        return NOT_FOUND;
    return _impl->find(node);
}

unsigned long OwnerNodeList::indexOfUnique(const Node* node) const
{
    if (!node)
        return NOT_FOUND;
    if (_isChain())
        _makeBody();
    if (_isSingle())
        return _single() == node ? 0 : NOT_FOUND;
    if (!_impl)
        return NOT_FOUND;
    return _impl->findNearEdit(node);
}

void OwnerNodeList::clear()
{
    _detachImpl();
    _impl = nullptr;
}

} // namespace dom
