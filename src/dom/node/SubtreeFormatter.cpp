// Where the installed subtree formatter is kept.
#include "node/SubtreeFormatter.h"

#include <atomic>

namespace pagedom {

namespace {

std::atomic<SubtreeFormatter*> s_installed{nullptr};

} // namespace

SubtreeFormatter* SubtreeFormatter::installed()
{
    return s_installed.load(std::memory_order_acquire);
}

void SubtreeFormatter::install(SubtreeFormatter* formatter)
{
    s_installed.store(formatter, std::memory_order_release);
}

} // namespace pagedom
