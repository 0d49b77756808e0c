// Reading and writing whole pages: parse, write-back of an unchanged
// document (the page it kept), the same tree written node by node
// (write-tree, what an edited page costs), and parse + write-back in a row,
// in bytes per second, on the bundled example pages and
// on generated pages of about 1 MB and 10 MB (their throughput should be
// about the same: reading is linear).  Built with PAGEDOM_BENCH_LIBXML2, the
// same pages also go through libxml2's lenient HTML parser and serializer
// as a point of comparison; that peer never touches the library.
//
// Parse timings include releasing the tree, as a host that loads and closes
// pages pays for both (the libxml2 peer likewise includes xmlFreeDoc).
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "BenchPages.h"

namespace {

const std::string& page(const std::string& name)
{
    return benchpages::namedPage(name);
}

void setBytes(benchmark::State& state, const std::string& text)
{
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations())
                            * static_cast<int64_t>(text.size()));
    state.counters["bytes"] = static_cast<double>(text.size());
}

void pagedomParse(benchmark::State& state, const std::string& name)
{
    const std::string& text = page(name);
    benchpages::warmUp();
    for (auto _ : state) {
        Document* doc = benchpages::parsePagedom(text);
        benchmark::DoNotOptimize(doc->getFirstChild());
        doc->releaseRef();
    }
    setBytes(state, text);
}

// Writes a parsed page over and over with write.
template <class Write>
void writeRepeatedly(benchmark::State& state, const std::string& name, Write write)
{
    const std::string& text = page(name);
    benchpages::warmUp();
    Document* doc = benchpages::parsePagedom(text);
    if (write(doc) != text) {
        state.SkipWithError("the page does not write back identically");
        doc->releaseRef();
        return;
    }
    for (auto _ : state) {
        std::string source = write(doc);
        benchmark::DoNotOptimize(source.data());
    }
    doc->releaseRef();
    setBytes(state, text);
}

void pagedomWrite(benchmark::State& state, const std::string& name)
{
    writeRepeatedly(state, name, [](const Document* doc) { return doc->getSource(); });
}

// The same tree written node by node, as after an edit anywhere in it (an
// unchanged document hands back the page it kept; getChildSource walks).
void pagedomWriteTree(benchmark::State& state, const std::string& name)
{
    writeRepeatedly(state, name, [](const Document* doc) { return doc->getChildSource(); });
}

void pagedomParseWrite(benchmark::State& state, const std::string& name)
{
    const std::string& text = page(name);
    benchpages::warmUp();
    for (auto _ : state) {
        Document* doc = benchpages::parsePagedom(text);
        std::string source = doc->getSource();
        benchmark::DoNotOptimize(source.data());
        doc->releaseRef();
    }
    setBytes(state, text);
}

#ifdef PAGEDOM_BENCH_LIBXML2
void libxml2Parse(benchmark::State& state, const std::string& name)
{
    const std::string& text = page(name);
    xmlInitParser();
    for (auto _ : state) {
        htmlDocPtr doc = benchpages::parseLibxml2(text);
        benchmark::DoNotOptimize(doc);
        xmlFreeDoc(doc);
    }
    setBytes(state, text);
}

// Serializes the tree as libxml2 writes HTML, unformatted.
void libxml2Dump(htmlDocPtr doc)
{
    xmlChar* out = nullptr;
    int size = 0;
    htmlDocDumpMemoryFormat(doc, &out, &size, 0);
    benchmark::DoNotOptimize(out);
    xmlFree(out);
}

void libxml2Write(benchmark::State& state, const std::string& name)
{
    const std::string& text = page(name);
    xmlInitParser();
    htmlDocPtr doc = benchpages::parseLibxml2(text);
    for (auto _ : state)
        libxml2Dump(doc);
    xmlFreeDoc(doc);
    setBytes(state, text);
}

void libxml2ParseWrite(benchmark::State& state, const std::string& name)
{
    const std::string& text = page(name);
    xmlInitParser();
    for (auto _ : state) {
        htmlDocPtr doc = benchpages::parseLibxml2(text);
        libxml2Dump(doc);
        xmlFreeDoc(doc);
    }
    setBytes(state, text);
}
#endif

using Body = void (*)(benchmark::State&, const std::string&);

struct Registration {
    Registration()
    {
        const std::vector<std::string> names = benchpages::pageNames();

        struct Entry {
            const char* kind;
            const char* library;
            Body body;
        };
        const Entry entries[] = {
            {"parse", "pagedom", pagedomParse},
            {"write", "pagedom", pagedomWrite},
            {"write-tree", "pagedom", pagedomWriteTree},
            {"parse+write", "pagedom", pagedomParseWrite},
#ifdef PAGEDOM_BENCH_LIBXML2
            {"parse", "libxml2", libxml2Parse},
            {"write", "libxml2", libxml2Write},
            {"parse+write", "libxml2", libxml2ParseWrite},
#endif
        };
        for (const std::string& name : names) {
            for (const Entry& entry : entries) {
                std::string title = std::string(entry.kind) + "/" + entry.library + "/" + name;
                Body body = entry.body;
                benchmark::RegisterBenchmark(title.c_str(),
                                             [body, name](benchmark::State& state) {
                                                 body(state, name);
                                             })
                    ->Unit(benchmark::kMicrosecond);
            }
        }
    }
};

const Registration registration;

} // namespace
