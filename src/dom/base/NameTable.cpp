// The process-wide table of shared names, with a per-thread cache of recent
// answers in front of its lock.
#include "base/NameTable.h"

#include <cstdint>
#include <mutex>
#include <unordered_set>

namespace pagedom {

namespace {

// The table and its lock are never destroyed, so that nodes released during
// the destruction of static objects still find their names.
struct Shared {
    std::mutex lock;
    std::unordered_set<std::string> names;
};

Shared& shared()
{
    static Shared* table = new Shared();
    return *table;
}

// Each thread remembers recent answers, so that the usual lookup takes no
// lock: a slot chosen by the name's hash holds a shared copy, which is the
// answer when it equals the name.
constexpr std::size_t RECENT_SLOTS = 512;

// 32-bit FNV-1a, its high bits folded into the low ones that pick the slot.
constexpr std::uint32_t FNV_OFFSET_BASIS = 2166136261u;
constexpr std::uint32_t FNV_PRIME = 16777619u;
constexpr unsigned FOLD_SHIFT = 15;

std::size_t slotOf(const std::string& name)
{
    std::uint32_t h = FNV_OFFSET_BASIS;
    for (char c : name) {
        h ^= static_cast<unsigned char>(c);
        h *= FNV_PRIME;
    }
    return (h ^ (h >> FOLD_SHIFT)) & (RECENT_SLOTS - 1);
}

} // namespace

const std::string* NameTable::empty()
{
    static const std::string* name = new std::string();
    return name;
}

const std::string* NameTable::intern(const std::string& name)
{
    if (name.empty())
        return empty();
    thread_local const std::string* recent[RECENT_SLOTS] = {};
    const std::string*& slot = recent[slotOf(name)];
    if (slot && *slot == name)
        return slot;
    Shared& table = shared();
    std::lock_guard<std::mutex> guard(table.lock);
    auto found = table.names.find(name);
    if (found == table.names.end()) {
        if (table.names.size() >= CAPACITY)
            return nullptr;
        found = table.names.insert(name).first;
    }
    slot = &*found;
    return slot;
}

} // namespace pagedom
