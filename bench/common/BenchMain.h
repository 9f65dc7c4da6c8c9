// SPDX-License-Identifier: MIT
#pragma once

#include <memory>
#include <string>

// Every benchmark binary shares one main: it selects the offscreen platform (unless another one is
// set), creates the application, registers the design fonts, makes the binary's suite, runs the
// benchmarks with the console output while keeping each run's time, lets the suite print its ratios
// and destroys it while the application still exists.
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
