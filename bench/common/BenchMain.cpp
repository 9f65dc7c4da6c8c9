// SPDX-License-Identifier: MIT
#include "BenchMain.h"

#include "Fonts.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstring>
#include <map>
#include <vector>

namespace {

std::map<std::string, double> g_seconds; // per iteration, by benchmark name
std::map<std::string, double> g_cpuSeconds;

// The console output, keeping each run's time per iteration for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& r : runs) {
            g_seconds[r.benchmark_name()]
                = r.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(r.time_unit);
            g_cpuSeconds[r.benchmark_name()]
                = r.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(r.time_unit);
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

double Lookup(const std::map<std::string, double>& seconds, const std::string& name)
{
    auto it = seconds.find(name + "_median");
    if (it == seconds.end())
        it = seconds.find(name);
    return it != seconds.end() ? it->second : 0.0;
}

} // namespace

double BenchSeconds(const std::string& name)
{
    return Lookup(g_seconds, name);
}

double BenchCpuSeconds(const std::string& name)
{
    return Lookup(g_cpuSeconds, name);
}

double BenchRatio(const std::string& ours, const std::string& base)
{
    const double a = BenchSeconds(ours);
    const double b = BenchSeconds(base);
    return a > 0 && b > 0 ? a / b : 0.0;
}

double BenchCpuRatio(const std::string& ours, const std::string& base)
{
    const double a = BenchCpuSeconds(ours);
    const double b = BenchCpuSeconds(base);
    return a > 0 && b > 0 ? a / b : 0.0;
}

void PrintRatio(const char* what, const std::string& ours, const std::string& base, const char* tail)
{
    std::printf("%s: %.2fx wall, %.2fx CPU%s%s\n", what, BenchRatio(ours, base), BenchCpuRatio(ours, base),
        *tail ? " " : "", tail);
}

void BenchDefaults(benchmark::internal::Benchmark* b)
{
    const int iterations = qEnvironmentVariableIntValue("QUILLON_BENCH_ITERATIONS");
    if (iterations > 0)
        b->Iterations(iterations)->Repetitions(1);
}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    RegisterDesignFonts();
    std::unique_ptr<TBenchSuite> suite = MakeBenchSuite();
    if (!suite)
        return 1;

    // Five repetitions by default: the ratios then compare medians, which one slow run on a shared
    // machine does not move.
    std::vector<char*> args(argv, argv + argc);
    bool repetitionsGiven = qEnvironmentVariableIntValue("QUILLON_BENCH_ITERATIONS") > 0;
    for (int i = 1; i < argc; ++i)
        repetitionsGiven = repetitionsGiven || std::strncmp(argv[i], "--benchmark_repetitions", 23) == 0;
    static char kRepetitions[] = "--benchmark_repetitions=5";
    static char kAggregates[] = "--benchmark_report_aggregates_only=true";
    if (!repetitionsGiven) {
        args.push_back(kRepetitions);
        args.push_back(kAggregates);
    }
    int count = int(args.size());
    args.push_back(nullptr);
    benchmark::Initialize(&count, args.data());
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    suite->Report();
    return 0;
}
