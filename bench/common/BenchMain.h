// SPDX-License-Identifier: MIT
#pragma once

#include <benchmark/benchmark.h>
#include <memory>
#include <string>

// Every benchmark binary shares one main: it selects the offscreen platform (unless another one is
// set), creates the application, registers the design fonts, makes the binary's suite, runs the
// benchmarks with the console output while keeping each run's time, lets the suite print its ratios
// and destroys it while the application still exists. Unless the command line says otherwise, each
// benchmark runs five times and the ratios compare medians.
class TBenchSuite {
public:
    virtual ~TBenchSuite() = default;
    // Prints the ratios once every benchmark has run.
    virtual void Report() = 0;
};

// Defined once by each benchmark binary, called when the application exists; null stops the program
// with exit code 1 (after saying why).
std::unique_ptr<TBenchSuite> MakeBenchSuite();

// Seconds per iteration of a benchmark that ran (its median under --benchmark_repetitions); 0 when
// it did not run.
double BenchSeconds(const std::string& name);
// The same in CPU seconds of this process: steadier than the clock on a shared machine.
double BenchCpuSeconds(const std::string& name);
// BenchSeconds(ours) / BenchSeconds(base); 0 when either did not run.
double BenchRatio(const std::string& ours, const std::string& base);
// The same in CPU seconds.
double BenchCpuRatio(const std::string& ours, const std::string& base);
// One line: what is compared, the ratio in wall and in CPU time, and what follows (the target).
void PrintRatio(const char* what, const std::string& ours, const std::string& base, const char* tail = "");

// Applied to every benchmark (BENCHMARK(f)->Apply(BenchDefaults)): with QUILLON_BENCH_ITERATIONS=N in
// the environment each runs exactly N iterations once, so that bench/instructions.sh can take the
// difference of two counts as the cost of the iterations between them.
void BenchDefaults(benchmark::internal::Benchmark* b);
