// What `pagedom check` and `pagedom fix` do to a page, in bytes of page per
// second: read it and list its errors (check), read it, repair it and write
// it (fix).  The bundled example pages, generated pages of about 1 MB and
// 10 MB (throughput about the same: both are linear), and pages made of N
// errors of one kind — stray end tags, cells outside rows, list items
// outside lists, tables inside paragraphs — at N and 10N, whose time per
// error must stay flat.  Reading is timed: every repair needs a fresh tree.
#include <benchmark/benchmark.h>

#include <string>

#include "BenchRegistration.h"

namespace {

void check(benchmark::State& state, const std::string& text)
{
    benchpages::warmUp();
    std::size_t errors = 0;
    for (auto _ : state) {
        Document* doc = benchpages::parsePagedom(text);
        errors = doc->getErrorList().size();
        doc->releaseRef();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
    state.counters["errors"] = static_cast<double>(errors);
}

void fix(benchmark::State& state, const std::string& text)
{
    benchpages::warmUp();
    std::size_t written = 0;
    for (auto _ : state) {
        Document* doc = benchpages::parsePagedom(text);
        doc->correctError(nullptr);
        written = doc->getSource().size();
        doc->releaseRef();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
    state.counters["written"] = static_cast<double>(written);
}

void checkPage(benchmark::State& state, const std::string& name)
{
    check(state, benchpages::namedPage(name));
}

void fixPage(benchmark::State& state, const std::string& name)
{
    fix(state, benchpages::namedPage(name));
}

// A page of count copies of one broken piece, between open and close.
std::string repeated(const std::string& piece, int64_t count, const std::string& open = std::string(),
                     const std::string& close = std::string())
{
    std::string text = "<html><body>" + open;
    for (int64_t i = 0; i < count; ++i)
        text += piece;
    return text + close;
}

void BM_FixStrayEndTags(benchmark::State& state)
{
    fix(state, repeated("word</td>\r\n", state.range(0)));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_FixStrayEndTags)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

void BM_FixCellsOutsideRows(benchmark::State& state)
{
    fix(state, repeated("<td>c</td>\r\n", state.range(0), "<table>", "</table>"));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_FixCellsOutsideRows)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

void BM_FixItemsOutsideLists(benchmark::State& state)
{
    fix(state, repeated("<li>item\r\n", state.range(0)));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_FixItemsOutsideLists)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

void BM_FixTablesInParagraphs(benchmark::State& state)
{
    fix(state, repeated("<p><font color=red>a<table><tr><td>b</table>c</font></p>\r\n", state.range(0)));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_FixTablesInParagraphs)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

struct Registration {
    Registration()
    {
        benchpages::registerPerPage("check/", checkPage);
        benchpages::registerPerPage("fix/", fixPage);
    }
};

const Registration registration;

} // namespace
