#include "tree/NodeList.h"

#include <cstdlib>
#include <cstring>

namespace dom {

// The shared body.  The vector is managed by hand: its first two entries
// live in the body itself (most lists are short), and once full it grows
// to its size plus the larger of its size and 1.
struct NodeList::_Body {
    Node** items = inlineItems;
    unsigned long size = 0;
    unsigned long capacity = 2;
    unsigned long lists = 0;
    Node* inlineItems[2];

    ~_Body()
    {
        if (items != inlineItems)
            std::free(items);
    }

    void reserveOne()
    {
        if (size < capacity)
            return;
        unsigned long grow = size > 1 ? size : 1;
        unsigned long cap = size + grow;
        Node** fresh = static_cast<Node**>(std::malloc(cap * sizeof(Node*)));
        if (!fresh)
            std::abort();
        if (size)
            std::memcpy(fresh, items, size * sizeof(Node*));
        if (items != inlineItems)
            std::free(items);
        items = fresh;
        capacity = cap;
    }

    void insertAt(unsigned long index, Node* node)
    {
        reserveOne();
        if (index < size)
            std::memmove(items + index + 1, items + index, (size - index) * sizeof(Node*));
        items[index] = node;
        ++size;
    }

    void eraseAt(unsigned long index)
    {
        if (index + 1 < size)
            std::memmove(items + index, items + index + 1, (size - index - 1) * sizeof(Node*));
        --size;
    }

    unsigned long find(const Node* node) const
    {
        for (unsigned long i = 0; i < size; ++i)
            if (items[i] == node)
                return i;
        return 0xFFFFFFFFul;
    }
};

NodeList::NodeList() : _impl(nullptr) {}

NodeList::NodeList(const NodeList& other) : _impl(other._impl)
{
    _attachImpl();
}

NodeList& NodeList::operator=(const NodeList& other)
{
    if (_impl == other._impl)
        return *this;
    _detachImpl();
    _impl = other._impl;
    _attachImpl();
    return *this;
}

NodeList::~NodeList()
{
    _detachImpl();
}

Node* NodeList::item(unsigned long index) const
{
    if (!_impl || index >= _impl->size)
        return nullptr;
    return _impl->items[index];
}

unsigned long NodeList::length() const
{
    return _impl ? _impl->size : 0;
}

void NodeList::_attachImpl()
{
    if (_impl)
        ++_impl->lists;
}

void NodeList::_detachImpl()
{
    if (_impl && --_impl->lists == 0)
        delete _impl;
}

void OwnerNodeList::_ensureBody()
{
    if (!_impl) {
        _impl = new _Body;
        _impl->lists = 1;
    }
}

Node* OwnerNodeList::insertBefore(Node* node, const Node* refNode)
{
    if (!node)
        return nullptr;
    if (!refNode)
        return append(node);
    if (!_impl)
        return nullptr;
    unsigned long index = _impl->find(refNode);
    if (index == 0xFFFFFFFFul)
        return nullptr;
    _impl->insertAt(index, node);
    return node;
}

Node* OwnerNodeList::append(Node* node)
{
    if (!node)
        return nullptr;
    _ensureBody();
    _impl->insertAt(_impl->size, node);
    return node;
}

Node* OwnerNodeList::insertAt(Node* node, unsigned long index)
{
    if (!node)
        return nullptr;
    _ensureBody();
    if (index > _impl->size)
        index = _impl->size;
    _impl->insertAt(index, node);
    return node;
}

Node* OwnerNodeList::remove(const Node* node)
{
    if (!_impl || !node)
        return nullptr;
    unsigned long index = _impl->find(node);
    if (index == 0xFFFFFFFFul)
        return nullptr;
    Node* found = _impl->items[index];
    _impl->eraseAt(index);
    return found;
}

Node* OwnerNodeList::removeAt(unsigned long index)
{
    if (!_impl || index >= _impl->size)
        return nullptr;
    Node* found = _impl->items[index];
    _impl->eraseAt(index);
    return found;
}

unsigned long OwnerNodeList::indexOf(const Node* node) const
{
    if (!_impl || !node)
        return 0xFFFFFFFFul;
    return _impl->find(node);
}

void OwnerNodeList::clear()
{
    _detachImpl();
    _impl = nullptr;
}

} // namespace dom
