// SPDX-License-Identifier: MIT
// Repair of an archive cut just before its central directory (every member inflated and checked, the
// archive written anew) beside `unzip -tq` on the sound archive (every member inflated and checked), at
// 1 MB, 100 MB and 1 GB. Each run is a child process: wall time and processor time come from wait4, peak
// resident memory from /usr/bin/time (a child's own peak as wait4 reports it starts at the size of the
// process that forked it). Prints the ratios and the growth with size at the end.
//   bench/repair/repair_speed_bench --benchmark_repetitions=3   (QUILLON_BENCH_DIR: where the archives go)
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;

namespace {

struct Run {
    double Wall = 0;
    double Cpu = 0;
    long PeakKb = 0;
    int Status = -1;
};

Run Spawn(const std::vector<std::string>& command, bool measurePeak = false)
{
    const std::string peakFile = (fs::temp_directory_path() / "quillon-repair-bench-peak").string();
    std::vector<std::string> argv = command;
    if (measurePeak)
        argv.insert(argv.begin(), { "/usr/bin/time", "-f", "%M", "-o", peakFile });
    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    Run run;
    if (posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ) != 0)
        return run;
    int status = 0;
    rusage usage {};
    wait4(pid, &status, 0, &usage);
    posix_spawn_file_actions_destroy(&actions);
    run.Wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.Cpu = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    run.PeakKb = usage.ru_maxrss;
    if (measurePeak) {
        std::ifstream peak(peakFile);
        peak >> run.PeakKb;
    }
    run.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

fs::path Folder()
{
    const char* dir = std::getenv("QUILLON_BENCH_DIR");
    fs::path folder = fs::path(dir ? dir : fs::temp_directory_path().string()) / "quillon-repair-bench";
    fs::create_directories(folder);
    return folder;
}

// Members of about 4 MB each: text that deflates about 3:1, with a random stretch in every fourth.
void WriteTree(const fs::path& tree, uint64_t bytes)
{
    fs::create_directories(tree);
    std::mt19937_64 random(42);
    static const char* words[] = { "repair ", "archive ", "member ", "sector ", "stream ", "record ",
        "value ", "table ", "the ", "of ", "and ", "header\n" };
    const uint64_t member = std::min<uint64_t>(bytes, 4 << 20);
    for (uint64_t done = 0, k = 0; done < bytes; done += member, ++k) {
        std::ofstream out(tree / ("m" + std::to_string(k) + ".txt"), std::ios::binary);
        std::string chunk;
        while (chunk.size() < member) {
            if (k % 4 == 3 && chunk.size() < member / 4)
                chunk.push_back(char(random()));
            else
                chunk += words[random() % 12];
        }
        chunk.resize(member);
        out << chunk;
    }
}

struct Archive {
    fs::path Sound;
    fs::path Cut;
};

Archive Prepare(uint64_t megabytes)
{
    const fs::path folder = Folder();
    Archive archive { folder / ("sound-" + std::to_string(megabytes) + ".zip"),
        folder / ("cut-" + std::to_string(megabytes) + ".zip") };
    if (fs::exists(archive.Cut))
        return archive;
    const fs::path tree = folder / ("tree-" + std::to_string(megabytes));
    WriteTree(tree, megabytes << 20);
    fs::remove(archive.Sound);
    Spawn({ "sh", "-c", "cd '" + tree.string() + "' && zip -q -r -1 '" + archive.Sound.string() + "' ." });
    fs::remove_all(tree);
    // Cut at the central directory: the offset in the end record.
    std::ifstream in(archive.Sound, std::ios::binary);
    in.seekg(-22, std::ios::end);
    unsigned char end[22] = {};
    in.read(reinterpret_cast<char*>(end), 22);
    const uint64_t directory = end[16] | end[17] << 8 | end[18] << 16 | uint64_t(end[19]) << 24;
    fs::copy_file(archive.Sound, archive.Cut, fs::copy_options::overwrite_existing);
    fs::resize_file(archive.Cut, directory);
    return archive;
}

std::map<std::string, Run> g_best; // fastest run per benchmark

void Record(benchmark::State& state, const std::string& name, const Run& run)
{
    state.SetIterationTime(run.Wall);
    state.counters["cpu_s"] = run.Cpu;
    state.counters["peak_MB"] = double(run.PeakKb) / 1024;
    Run& best = g_best[name];
    if (best.Status < 0 || run.Wall < best.Wall)
        best = run;
    best.PeakKb = std::max(best.PeakKb, run.PeakKb);
}

void Ours(benchmark::State& state)
{
    const Archive archive = Prepare(uint64_t(state.range(0)));
    const fs::path output = Folder() / "fixed.zip";
    for (auto _ : state) {
        fs::remove(output);
        const Run run = Spawn({ QUILLON_REPAIR, "--output", output.string(), archive.Cut.string() }, true);
        if (run.Status != 0)
            state.SkipWithError("quillon-repair did not repair the archive");
        Record(state, "ours/" + std::to_string(state.range(0)), run);
    }
    fs::remove(output);
}

void UnzipTest(benchmark::State& state)
{
    const Archive archive = Prepare(uint64_t(state.range(0)));
    for (auto _ : state) {
        const Run run = Spawn({ "unzip", "-tq", archive.Sound.string() }, true);
        if (run.Status != 0)
            state.SkipWithError("unzip -tq failed");
        Record(state, "unzip/" + std::to_string(state.range(0)), run);
    }
}

BENCHMARK(Ours)->Arg(1)->Arg(100)->Arg(1024)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(UnzipTest)
    ->Arg(1)
    ->Arg(100)
    ->Arg(1024)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    std::printf("\nrepair of the cut archive / unzip -tq of the sound one (fastest runs; target <= 1.3, peak "
                "<= 64 MB)\n");
    for (const int mb : { 1, 100, 1024 }) {
        const Run& ours = g_best["ours/" + std::to_string(mb)];
        const Run& unzip = g_best["unzip/" + std::to_string(mb)];
        if (ours.Wall <= 0 || unzip.Wall <= 0)
            continue;
        std::printf(
            "%5d MB: wall %.2f s / %.2f s = %.2f, cpu %.2f s / %.2f s = %.2f, peak %.1f MB (unzip %.1f MB), "
            "%.1f ms per MB\n",
            mb, ours.Wall, unzip.Wall, ours.Wall / unzip.Wall, ours.Cpu, unzip.Cpu,
            unzip.Cpu > 0 ? ours.Cpu / unzip.Cpu : 0.0, ours.PeakKb / 1024.0, unzip.PeakKb / 1024.0,
            1000 * ours.Wall / mb);
    }
    benchmark::Shutdown();
    return 0;
}
