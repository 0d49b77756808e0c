// Where the installed tidying walk is kept.
#include "tree/NodeAdjuster.h"

#include <atomic>

namespace pagedom {

namespace {

std::atomic<NodeAdjuster*> s_adjuster{nullptr};

} // namespace

NodeAdjuster* NodeAdjuster::installed()
{
    return s_adjuster.load(std::memory_order_acquire);
}

void NodeAdjuster::install(NodeAdjuster* adjuster)
{
    s_adjuster.store(adjuster, std::memory_order_release);
}

} // namespace pagedom
