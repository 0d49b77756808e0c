// Where the installed corrector is kept.
#include "tree/NodeCorrector.h"

#include <atomic>

namespace pagedom {

namespace {

std::atomic<NodeCorrector*> s_corrector{nullptr};

} // namespace

NodeCorrector* NodeCorrector::installed()
{
    return s_corrector.load(std::memory_order_acquire);
}

void NodeCorrector::install(NodeCorrector* corrector)
{
    s_corrector.store(corrector, std::memory_order_release);
}

} // namespace pagedom
