// Registering one benchmark per page of the benchmark pages.
#ifndef PAGEDOM_BENCH_BENCHREGISTRATION_H
#define PAGEDOM_BENCH_BENCHREGISTRATION_H

#include <benchmark/benchmark.h>

#include <string>

#include "BenchPages.h"

namespace benchpages {

// Registers body(state, page name) once for every page pageNames() knows,
// titled prefix + page name, timed in microseconds.
using PageBody = void (*)(benchmark::State&, const std::string&);
inline void registerPerPage(const std::string& prefix, PageBody body)
{
    for (const std::string& name : pageNames()) {
        const std::string title = prefix + name;
        benchmark::RegisterBenchmark(title.c_str(), [body, name](benchmark::State& state) { body(state, name); })
            ->Unit(benchmark::kMicrosecond);
    }
}

} // namespace benchpages

#endif
