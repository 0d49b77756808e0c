// Where the installed document-type source is kept.
#include "doctype/DocumentTypeSource.h"

#include <atomic>

namespace pagedom {

namespace {

std::atomic<DocumentTypeSource*> s_installed{nullptr};

} // namespace

DocumentTypeSource* DocumentTypeSource::installed()
{
    return s_installed.load(std::memory_order_acquire);
}

void DocumentTypeSource::install(DocumentTypeSource* source)
{
    s_installed.store(source, std::memory_order_release);
}

} // namespace pagedom
