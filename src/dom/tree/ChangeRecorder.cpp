// Where the installed maker of change records is kept.
#include "tree/ChangeRecorder.h"

#include <atomic>

namespace pagedom {

namespace {

std::atomic<ChangeRecorder::Maker> s_maker{nullptr};

} // namespace

ChangeRecorder* ChangeRecorder::create(Document& document)
{
    Maker maker = s_maker.load(std::memory_order_acquire);
    return maker ? maker(document) : nullptr;
}

void ChangeRecorder::install(Maker maker)
{
    s_maker.store(maker, std::memory_order_release);
}

} // namespace pagedom
