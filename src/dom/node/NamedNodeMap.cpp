// Name-keyed node maps: lookups, changes, positional access and the cache of
// recent answers the readers use.
#include "node/NamedNodeMap.h"

#include <atomic>
#include <cstdint>

#include "node/Node.h"
#include "base/StringUtil.h"

NamedNodeMap::NamedNodeMap(Node* owner) : _owner(owner) {}

NamedNodeMap::NamedNodeMap(const NamedNodeMap& other) : _map(other._map), _owner(other._owner) {}

NamedNodeMap& NamedNodeMap::operator=(const NamedNodeMap& other)
{
    if (this != &other) {
        _map = other._map;
        _owner = other._owner;
        _touch();
    }
    return *this;
}

NamedNodeMap::~NamedNodeMap() = default;

unsigned long NamedNodeMap::_nextGeneration()
{
    static std::atomic<unsigned long> counter{0};
    return ++counter;
}

namespace {

struct CachedAnswer {
    const NamedNodeMap* map = nullptr;
    unsigned long generation = 0;
    std::string name;
    Node* node = nullptr;
};

// The number of cached answers per thread (a power of two).
constexpr std::size_t ANSWER_SLOTS = 256;

// 64-bit FNV-1a.
constexpr std::uint64_t FNV_OFFSET_BASIS = 1469598103934665603ull;
constexpr std::uint64_t FNV_PRIME = 1099511628211ull;
// The name's hash and the map's address are mixed by multiplying with the
// golden ratio's fraction; the slot is taken from the product's top bits,
// which every bit of both reaches.
constexpr std::uint64_t GOLDEN = 0x9E3779B97F4A7C15ull;
constexpr unsigned SLOT_SHIFT = 56;
static_assert(ANSWER_SLOTS == std::size_t(1) << (64 - SLOT_SHIFT), "the top bits pick one of the slots");

std::size_t slotOf(std::uint64_t nameHash, const NamedNodeMap* map)
{
    return static_cast<std::size_t>(((nameHash ^ reinterpret_cast<std::uintptr_t>(map) * GOLDEN) * GOLDEN) >> SLOT_SHIFT);
}

} // namespace

Node* NamedNodeMap::_findCached(const std::string& name) const
{
    // FNV-1a over the name's bytes, mixed with the map's address.
    std::uint64_t h = FNV_OFFSET_BASIS;
    for (char c : name) {
        h ^= static_cast<unsigned char>(c);
        h *= FNV_PRIME;
    }
    thread_local CachedAnswer answers[ANSWER_SLOTS];
    CachedAnswer& slot = answers[slotOf(h, this)];
    if (slot.map == this && slot.generation == _generation && slot.name == name)
        return slot.node;
    Node* node = getNamedItem(name);
    slot.map = this;
    slot.generation = _generation;
    slot.name = name;
    slot.node = node;
    return node;
}

namespace {

// An answer for a shared name: plain data, so that the per-thread table
// needs no construction on first use.
struct SharedAnswer {
    const NamedNodeMap* map;
    unsigned long generation;
    const std::string* name;
    Node* node;
};

} // namespace

Node* NamedNodeMap::_findCachedShared(const std::string& sharedName) const
{
    thread_local SharedAnswer answers[ANSWER_SLOTS];
    SharedAnswer& slot = answers[slotOf(reinterpret_cast<std::uintptr_t>(&sharedName), this)];
    if (slot.map == this && slot.generation == _generation && slot.name == &sharedName)
        return slot.node;
    Node* node = getNamedItem(sharedName);
    slot = SharedAnswer{this, _generation, &sharedName, node};
    return node;
}

std::string NamedNodeMap::key(const std::string& name) const
{
    return pagedom::str::lower(name);
}

std::string StrictNamedNodeMap::key(const std::string& name) const
{
    return name;
}

namespace {

// The position item() last reached on this thread, so that a walk by
// increasing index is linear overall.  It is kept per thread, not in the
// map, so that maps shared between threads (a document type's) stay
// read-only while they are read; it is used only for the map and the
// generation it was taken from.
struct Position {
    const NamedNodeMap* map = nullptr;
    unsigned long generation = 0;
    std::map<std::string, Node*>::const_iterator it;
    unsigned long index = 0;
};

thread_local Position t_position;

} // namespace

Node* NamedNodeMap::item(unsigned long index) const
{
    if (index >= _map.size())
        return nullptr;
    Position& position = t_position;
    if (position.map != this || position.generation != _generation || index < position.index) {
        position.map = this;
        position.generation = _generation;
        position.it = _map.begin();
        position.index = 0;
    }
    while (position.index < index) {
        ++position.it;
        ++position.index;
    }
    return position.it->second;
}

Node* NamedNodeMap::getNamedItem(const std::string& name) const
{
    if (name.empty())
        return nullptr;
    auto it = _map.find(key(name));
    return it == _map.end() ? nullptr : it->second;
}

Node* NamedNodeMap::setNamedItem(Node* node)
{
    if (!node)
        return nullptr;
    std::string name = node->getNodeName();
    if (name.empty())
        return nullptr;
    auto result = _map.emplace(key(name), node);
    if (result.second) {
        _touch();
        return nullptr;
    }
    Node* old = result.first->second;
    if (old == node)
        return nullptr;
    result.first->second = node;
    _touch();
    return old;
}

Node* NamedNodeMap::removeNamedItem(const std::string& name)
{
    if (name.empty())
        return nullptr;
    auto it = _map.find(key(name));
    if (it == _map.end())
        return nullptr;
    Node* old = it->second;
    _map.erase(it);
    _touch();
    return old;
}

Node* NamedNodeMap::addNamedItem(Node* node)
{
    if (!node)
        return nullptr;
    std::string name = node->getNodeName();
    if (name.empty())
        return nullptr;
    if (!_map.emplace(key(name), node).second)
        return nullptr;
    _touch();
    return node;
}

Node* NamedNodeMap::removeNode(const Node* node)
{
    if (!node)
        return nullptr;
    // The usual case: the node sits under its own name's key.
    std::string name = const_cast<Node*>(node)->getNodeName();
    if (!name.empty()) {
        auto it = _map.find(key(name));
        if (it != _map.end() && it->second == node) {
            _map.erase(it);
            _touch();
            return const_cast<Node*>(node);
        }
    }
    for (auto it = _map.begin(); it != _map.end(); ++it) {
        if (it->second == node) {
            _map.erase(it);
            _touch();
            return const_cast<Node*>(node);
        }
    }
    return nullptr;
}

Node* NamedNodeMap::removeAt(unsigned long index)
{
    if (index >= _map.size())
        return nullptr;
    auto it = _map.begin();
    std::advance(it, static_cast<long>(index));
    Node* old = it->second;
    _map.erase(it);
    _touch();
    return old;
}
