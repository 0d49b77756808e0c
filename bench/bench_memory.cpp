// Memory a parsed page costs, as a multiple of the page's size: the heap the
// live tree holds, the peak heap while parsing, and the growth of the
// resident set, each measured around parsing one page with the document
// kept alive.  Every allocation of the program is counted (operator new for
// pagedom, xmlMemSetup for the libxml2 peer when built with
// PAGEDOM_BENCH_LIBXML2), so the peak includes temporary buffers the
// parser frees before it returns.
//
// Counters: heap_x (live heap after parsing, usable bytes), peak_x (highest
// heap during parsing), arena_x (malloc's own in-use figure, with chunk
// overhead), rss_x (resident-set growth); all divided by the page size.
#include <benchmark/benchmark.h>

#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "BenchPages.h"

namespace {

std::size_t g_live = 0;
std::size_t g_peak = 0;

void* countedAlloc(std::size_t size)
{
    void* p = std::malloc(size ? size : 1);
    if (p) {
        g_live += malloc_usable_size(p);
        if (g_live > g_peak)
            g_peak = g_live;
    }
    return p;
}

void countedFree(void* p)
{
    if (!p)
        return;
    g_live -= malloc_usable_size(p);
    std::free(p);
}

} // namespace

void* operator new(std::size_t size)
{
    if (void* p = countedAlloc(size))
        return p;
    throw std::bad_alloc();
}

void* operator new[](std::size_t size)
{
    if (void* p = countedAlloc(size))
        return p;
    throw std::bad_alloc();
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return countedAlloc(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return countedAlloc(size); }
void operator delete(void* p) noexcept { countedFree(p); }
void operator delete[](void* p) noexcept { countedFree(p); }
void operator delete(void* p, std::size_t) noexcept { countedFree(p); }
void operator delete[](void* p, std::size_t) noexcept { countedFree(p); }

namespace {

#ifdef PAGEDOM_BENCH_LIBXML2
void* xmlCountedMalloc(size_t size) { return countedAlloc(size); }

void* xmlCountedRealloc(void* p, size_t size)
{
    std::size_t old = p ? malloc_usable_size(p) : 0;
    void* q = std::realloc(p, size ? size : 1);
    if (!q)
        return nullptr;
    g_live = g_live - old + malloc_usable_size(q);
    if (g_live > g_peak)
        g_peak = g_live;
    return q;
}

char* xmlCountedStrdup(const char* s)
{
    std::size_t n = std::strlen(s) + 1;
    char* copy = static_cast<char*>(countedAlloc(n));
    if (copy)
        std::memcpy(copy, s, n);
    return copy;
}

// Installed before anything in libxml2 allocates.
const int xmlCounting = xmlMemSetup(countedFree, xmlCountedMalloc, xmlCountedRealloc,
                                    xmlCountedStrdup);
#endif

std::size_t residentBytes()
{
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return static_cast<std::size_t>(resident) * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

std::size_t arenaBytes()
{
    struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

struct Before {
    std::size_t live, arena, resident;
};

Before measureBefore()
{
    malloc_trim(0);
    Before before{g_live, arenaBytes(), residentBytes()};
    g_peak = g_live;
    return before;
}

void report(benchmark::State& state, const Before& before, std::size_t pageSize)
{
    const double size = static_cast<double>(pageSize);
    state.counters["page_MB"] = size / 1e6;
    state.counters["heap_x"] = static_cast<double>(g_live - before.live) / size;
    state.counters["peak_x"] = static_cast<double>(g_peak - before.live) / size;
    state.counters["arena_x"] = (static_cast<double>(arenaBytes()) - static_cast<double>(before.arena)) / size;
    state.counters["rss_x"] = (static_cast<double>(residentBytes()) - static_cast<double>(before.resident)) / size;
}

const std::string& generated(std::size_t megabytes)
{
    static std::string one = benchpages::generatePage(1u << 20);
    static std::string ten = benchpages::generatePage(10u << 20);
    return megabytes == 1 ? one : ten;
}

void pagedomMemory(benchmark::State& state)
{
    const std::string& text = generated(static_cast<std::size_t>(state.range(0)));
    benchpages::warmUp();
    for (auto _ : state) {
        Before before = measureBefore();
        Document* doc = benchpages::parsePagedom(text);
        state.PauseTiming();
        report(state, before, text.size());
        doc->releaseRef();
        state.ResumeTiming();
    }
}
BENCHMARK(pagedomMemory)->Name("memory/pagedom/generated-MB")->Arg(1)->Arg(10)->Iterations(1)
    ->Unit(benchmark::kMillisecond);

#ifdef PAGEDOM_BENCH_LIBXML2
void libxml2Memory(benchmark::State& state)
{
    const std::string& text = generated(static_cast<std::size_t>(state.range(0)));
    xmlInitParser();
    for (auto _ : state) {
        Before before = measureBefore();
        htmlDocPtr doc = benchpages::parseLibxml2(text);
        state.PauseTiming();
        report(state, before, text.size());
        xmlFreeDoc(doc);
        state.ResumeTiming();
    }
    (void)xmlCounting;
}
BENCHMARK(libxml2Memory)->Name("memory/libxml2/generated-MB")->Arg(1)->Arg(10)->Iterations(1)
    ->Unit(benchmark::kMillisecond);
#endif

} // namespace
