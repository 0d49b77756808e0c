// The node allocator's pools: one per thread, handed on when a thread ends.
#include "node/NodeAllocator.h"

#include <mutex>
#include <new>
#include <vector>

namespace pagedom {

#if defined(__SANITIZE_ADDRESS__)
#define PAGEDOM_PLAIN_NODE_MEMORY 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PAGEDOM_PLAIN_NODE_MEMORY 1
#endif
#endif

#ifndef PAGEDOM_PLAIN_NODE_MEMORY

namespace {

constexpr std::size_t GRAIN = 8;
constexpr std::size_t CLASSES = NodeAllocator::MAX_POOLED_SIZE / GRAIN;
constexpr std::size_t BLOCK_SIZE = 16 * 1024;

struct FreeCell {
    FreeCell* next;
};

// What a pool owns: its free lists, the unused end of its newest block for
// each class, and every block it carved.
struct PoolState {
    FreeCell* free[CLASSES] = {};
    char* bump[CLASSES] = {};
    char* bumpEnd[CLASSES] = {};
    std::vector<void*> blocks;

    void takeOver(PoolState& other)
    {
        for (std::size_t c = 0; c < CLASSES; ++c) {
            while (FreeCell* cell = other.free[c]) {
                other.free[c] = cell->next;
                cell->next = free[c];
                free[c] = cell;
            }
            // The rest of the other's current block becomes free cells.
            const std::size_t size = (c + 1) * GRAIN;
            for (char* p = other.bump[c]; p && p + size <= other.bumpEnd[c]; p += size) {
                FreeCell* cell = reinterpret_cast<FreeCell*>(p);
                cell->next = free[c];
                free[c] = cell;
            }
            other.bump[c] = other.bumpEnd[c] = nullptr;
        }
        blocks.insert(blocks.end(), other.blocks.begin(), other.blocks.end());
        other.blocks.clear();
    }
};

// The state left behind by ended threads, and its lock; never destroyed, so
// that nodes released while static objects are destroyed still find them.
std::mutex& orphanLock()
{
    static std::mutex* lock = new std::mutex();
    return *lock;
}

PoolState& orphans()
{
    static PoolState* state = new PoolState();
    return *state;
}

// A cell of class cls from the free list or the newest block, or null when
// a new block is needed.
inline void* takeReady(PoolState& state, std::size_t cls)
{
    if (FreeCell* cell = state.free[cls]) {
        state.free[cls] = cell->next;
        return cell;
    }
    char* cell = state.bump[cls];
    const std::size_t size = (cls + 1) * GRAIN;
    if (!cell || cell + size > state.bumpEnd[cls])
        return nullptr;
    state.bump[cls] = cell + size;
    return cell;
}

void* take(PoolState& state, std::size_t cls)
{
    if (void* cell = takeReady(state, cls))
        return cell;
    char* block = static_cast<char*>(::operator new(BLOCK_SIZE));
    state.blocks.push_back(block);
    state.bump[cls] = block + (cls + 1) * GRAIN;
    state.bumpEnd[cls] = block + BLOCK_SIZE;
    return block;
}

void give(PoolState& state, void* memory, std::size_t cls)
{
    FreeCell* cell = static_cast<FreeCell*>(memory);
    cell->next = state.free[cls];
    state.free[cls] = cell;
}

// The calling thread's pool.  The pointer is plain thread-local data; the
// reaper, made with the pool, hands the pool's state to the orphans when the
// thread ends.  After that the thread (static destructors on the main thread,
// say) works on the orphans under their lock.
thread_local PoolState* t_state = nullptr;
thread_local bool t_ended = false;

struct Reaper {
    ~Reaper()
    {
        std::lock_guard<std::mutex> guard(orphanLock());
        orphans().takeOver(*t_state);
        delete t_state;
        t_state = nullptr;
        t_ended = true;
    }
};

// The first use of the pool on a thread (or a use after the thread's end),
// kept out of threadState so that the path every allocation takes saves no
// registers for it.
[[gnu::noinline]] PoolState* firstThreadState()
{
    if (t_ended)
        return nullptr;
    thread_local Reaper reaper;
    (void)reaper;
    t_state = new PoolState();
    std::lock_guard<std::mutex> guard(orphanLock());
    t_state->takeOver(orphans());
    return t_state;
}

PoolState* threadState()
{
    if (PoolState* state = t_state)
        return state;
    return firstThreadState();
}

std::size_t classOf(std::size_t size)
{
    return size == 0 ? 0 : (size - 1) / GRAIN;
}

// Every other allocation: a size past the classes, a new block to carve,
// the first on a thread, or one after the thread's pool was handed on.
[[gnu::noinline]] void* allocateSlowly(std::size_t size)
{
    if (size > NodeAllocator::MAX_POOLED_SIZE)
        return ::operator new(size);
    if (PoolState* state = threadState())
        return take(*state, classOf(size));
    std::lock_guard<std::mutex> guard(orphanLock());
    return take(orphans(), classOf(size));
}

} // namespace

void* NodeAllocator::allocate(std::size_t size)
{
    // The usual case, a free cell or room left in the newest block of the
    // thread's pool, saves no registers for the others.
    PoolState* state = t_state;
    if (size <= MAX_POOLED_SIZE && state) {
        if (void* cell = takeReady(*state, classOf(size)))
            return cell;
    }
    return allocateSlowly(size);
}

void NodeAllocator::release(void* memory, std::size_t size)
{
    if (!memory)
        return;
    if (size > MAX_POOLED_SIZE) {
        ::operator delete(memory);
        return;
    }
    if (PoolState* state = threadState()) {
        give(*state, memory, classOf(size));
        return;
    }
    std::lock_guard<std::mutex> guard(orphanLock());
    give(orphans(), memory, classOf(size));
}

#else

void* NodeAllocator::allocate(std::size_t size)
{
    return ::operator new(size);
}

void NodeAllocator::release(void* memory, std::size_t)
{
    ::operator delete(memory);
}

#endif

} // namespace pagedom
