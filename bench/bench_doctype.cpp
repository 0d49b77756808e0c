// The cost a host pays on its first page: building the HTML document type
// from the compiled-in DTD text, and the table-built types.
#include <benchmark/benchmark.h>

#include "dom.h"
#include "doctype/BuiltinDocumentTypes.h"

namespace {

void BM_BuildHTMLDocumentType(benchmark::State& state)
{
    for (auto _ : state) {
        DocumentType* type = pagedom::BuiltinDocumentTypes::create("html");
        benchmark::DoNotOptimize(type);
        type->releaseRef();
    }
}
BENCHMARK(BM_BuildHTMLDocumentType)->Unit(benchmark::kMillisecond);

void BM_BuildTableTypes(benchmark::State& state)
{
    for (auto _ : state) {
        for (const char* name : {"xml", "vxml", "jsp091", "jsp10", "qrtx"}) {
            DocumentType* type = pagedom::BuiltinDocumentTypes::create(name);
            benchmark::DoNotOptimize(type);
            type->releaseRef();
        }
    }
}
BENCHMARK(BM_BuildTableTypes)->Unit(benchmark::kMillisecond);

} // namespace
