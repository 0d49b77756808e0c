// Listing a page's errors (getErrorList, as `pagedom check` does), in bytes
// of page per second: the bundled example pages, generated pages of about
// 1 MB and 10 MB (throughput about the same: listing is linear), and pages
// made of N errors of one kind — stray end tags, cells outside rows — at N
// and 10N, whose time per error must stay flat.  Reading the page is not
// timed.
#include <benchmark/benchmark.h>

#include <string>

#include "BenchRegistration.h"

namespace {

void listErrors(benchmark::State& state, const std::string& text)
{
    benchpages::warmUp();
    Document* doc = benchpages::parsePagedom(text);
    std::size_t count = 0;
    for (auto _ : state) {
        count = doc->getErrorList().size();
        benchmark::DoNotOptimize(count);
    }
    doc->releaseRef();
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
    state.counters["errors"] = static_cast<double>(count);
}

void errorsOfPage(benchmark::State& state, const std::string& name)
{
    listErrors(state, benchpages::namedPage(name));
}

// state.range(0) stray end tags between words.
void BM_ErrorsStrayEndTags(benchmark::State& state)
{
    std::string text = "<html><body>";
    for (int64_t i = 0; i < state.range(0); ++i)
        text += "word</td>\r\n";
    listErrors(state, text);
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ErrorsStrayEndTags)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond)->Complexity(benchmark::oN);

// state.range(0) cells straight inside a table, outside any row.
void BM_ErrorsCellsOutsideRows(benchmark::State& state)
{
    std::string text = "<html><body><table>";
    for (int64_t i = 0; i < state.range(0); ++i)
        text += "<td>c</td>\r\n";
    text += "</table>";
    listErrors(state, text);
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ErrorsCellsOutsideRows)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond)->Complexity(benchmark::oN);

struct Registration {
    Registration() { benchpages::registerPerPage("errors/", errorsOfPage); }
};

const Registration registration;

} // namespace
