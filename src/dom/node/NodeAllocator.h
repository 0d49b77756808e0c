// The memory of nodes: per-thread free lists of a few size classes, carved
// out of large blocks.
#ifndef PAGEDOM_NODE_NODEALLOCATOR_H
#define PAGEDOM_NODE_NODEALLOCATOR_H

#include <cstddef>

namespace pagedom {

// The memory of nodes.  A page of a few hundred kilobytes has tens of
// thousands of nodes, made while reading and released together; taking them
// from per-size free lists carved out of large blocks makes both cheap, and
// saves the per-allocation overhead of the general heap.
//
// Each thread keeps its own free lists; memory freed on one thread is reused
// by that thread.  Blocks are never given back to the system: when a thread
// ends, its blocks and free lists pass to the next thread that starts to
// allocate nodes, so memory is neither lost nor kept twice.  Sizes above the
// largest class, and every size in builds with the address sanitizer (so
// that it sees each node as its own allocation), go to the global operator
// new and delete.
class NodeAllocator {
public:
    static void* allocate(std::size_t size);
    static void release(void* memory, std::size_t size);

    // The largest size served from the free lists.
    static constexpr std::size_t MAX_POOLED_SIZE = 256;
};

} // namespace pagedom

#endif
