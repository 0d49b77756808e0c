// Where the installed page readers are kept.
#include "tree/PageReader.h"

#include <atomic>

namespace pagedom {

namespace {

std::atomic<PageReader*> s_installed[2] = {{nullptr}, {nullptr}};

} // namespace

PageReader* PageReader::installed(Kind kind)
{
    return kind <= XML_PAGE ? s_installed[kind].load(std::memory_order_acquire) : nullptr;
}

void PageReader::install(Kind kind, PageReader* reader)
{
    if (kind <= XML_PAGE)
        s_installed[kind].store(reader, std::memory_order_release);
}

} // namespace pagedom
