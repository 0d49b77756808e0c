// Formatting whole pages: formatSource followed by getSource, in bytes per
// second, on the bundled example pages, on generated pages of about 1 MB
// and 10 MB (their throughput should be about the same: formatting is
// linear), and on pages nested N levels deep with text at each level
// ("<div>x" repeated), whose time must grow as N does.  Each iteration
// formats a freshly read page; reading and releasing it are not timed.
// Built with PAGEDOM_BENCH_LIBXML2, libxml2's indenting HTML serializer
// runs on the same pages as a point of comparison.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "BenchRegistration.h"

namespace {

const std::string& page(const std::string& name)
{
    return benchpages::namedPage(name);
}

void setBytes(benchmark::State& state, const std::string& text)
{
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
    state.counters["bytes"] = static_cast<double>(text.size());
}

// Formats text read afresh in every iteration; only formatting and writing
// the formatted page are timed.
void formatRepeatedly(benchmark::State& state, const std::string& text)
{
    benchpages::warmUp();
    for (auto _ : state) {
        state.PauseTiming();
        Document* doc = benchpages::parsePagedom(text);
        state.ResumeTiming();
        doc->formatSource();
        std::string source = doc->getSource();
        benchmark::DoNotOptimize(source.data());
        state.PauseTiming();
        doc->releaseRef();
        state.ResumeTiming();
    }
    setBytes(state, text);
}

void pagedomFormat(benchmark::State& state, const std::string& name)
{
    formatRepeatedly(state, page(name));
}

#ifdef PAGEDOM_BENCH_LIBXML2
// Serializes the tree as libxml2 writes HTML with its indentation on.
void libxml2Format(benchmark::State& state, const std::string& name)
{
    const std::string& text = page(name);
    xmlInitParser();
    for (auto _ : state) {
        state.PauseTiming();
        htmlDocPtr doc = benchpages::parseLibxml2(text);
        state.ResumeTiming();
        xmlChar* out = nullptr;
        int size = 0;
        htmlDocDumpMemoryFormat(doc, &out, &size, 1);
        benchmark::DoNotOptimize(out);
        xmlFree(out);
        state.PauseTiming();
        xmlFreeDoc(doc);
        state.ResumeTiming();
    }
    setBytes(state, text);
}
#endif

// A page nested state.range(0) levels deep with a text at each level.
void BM_FormatDeep(benchmark::State& state)
{
    std::string text;
    for (int64_t i = 0; i < state.range(0); ++i)
        text += "<div>x";
    formatRepeatedly(state, text);
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_FormatDeep)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

struct Registration {
    Registration()
    {
        benchpages::registerPerPage("format/pagedom/", pagedomFormat);
#ifdef PAGEDOM_BENCH_LIBXML2
        benchpages::registerPerPage("format/libxml2/", libxml2Format);
#endif
    }
};

const Registration registration;

} // namespace
