// Memory a parsed page costs, as a multiple of the page's size: the heap the
// live tree holds, the peak heap while parsing, and the growth of the
// resident set, each measured around parsing one page with the document
// kept alive, in a child process of its own (so that no memory kept for
// reuse from an earlier measurement hides part of the cost).  Every allocation of the program is counted (operator new for
// pagedom, xmlMemSetup for the libxml2 peer when built with
// PAGEDOM_BENCH_LIBXML2), so the peak includes temporary buffers the
// parser frees before it returns.
//
// Counters: heap_x (live heap after parsing, usable bytes), peak_x (highest
// heap during parsing), arena_x (malloc's own in-use figure, with chunk
// overhead), rss_x (resident-set growth); all divided by the page size.
#include <benchmark/benchmark.h>

#include <malloc.h>
#include <sys/wait.h>
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

struct Figures {
    double heap, peak, arena, resident;
};

Figures measureAfter(const Before& before, std::size_t pageSize)
{
    const double size = static_cast<double>(pageSize);
    return Figures{static_cast<double>(g_live - before.live) / size,
                   static_cast<double>(g_peak - before.live) / size,
                   (static_cast<double>(arenaBytes()) - static_cast<double>(before.arena)) / size,
                   (static_cast<double>(residentBytes()) - static_cast<double>(before.resident)) / size};
}

void report(benchmark::State& state, const Figures& figures, std::size_t pageSize)
{
    state.counters["page_MB"] = static_cast<double>(pageSize) / 1e6;
    state.counters["heap_x"] = figures.heap;
    state.counters["peak_x"] = figures.peak;
    state.counters["arena_x"] = figures.arena;
    state.counters["rss_x"] = figures.resident;
}

// Measures one parse in a child process, so that it starts from the same
// state every time: memory a reader keeps for reuse after an earlier page
// (pagedom's node free lists, say) would otherwise hide part of the cost.
template <class Parse>
Figures measureInChild(Parse parse, std::size_t pageSize)
{
    int channel[2];
    Figures figures{-1, -1, -1, -1};
    if (pipe(channel) != 0)
        return figures;
    pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        Before before = measureBefore();
        parse();
        Figures measured = measureAfter(before, pageSize);
        ssize_t written = write(channel[1], &measured, sizeof measured);
        _exit(written == static_cast<ssize_t>(sizeof measured) ? 0 : 1);
    }
    close(channel[1]);
    if (child > 0) {
        if (read(channel[0], &figures, sizeof figures) != static_cast<ssize_t>(sizeof figures))
            figures = Figures{-1, -1, -1, -1};
        waitpid(child, nullptr, 0);
    }
    close(channel[0]);
    return figures;
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
        Figures figures = measureInChild([&text]() { benchpages::parsePagedom(text); }, text.size());
        report(state, figures, text.size());
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
        Figures figures = measureInChild([&text]() { benchpages::parseLibxml2(text); }, text.size());
        report(state, figures, text.size());
    }
    (void)xmlCounting;
}
BENCHMARK(libxml2Memory)->Name("memory/libxml2/generated-MB")->Arg(1)->Arg(10)->Iterations(1)
    ->Unit(benchmark::kMillisecond);
#endif

} // namespace
