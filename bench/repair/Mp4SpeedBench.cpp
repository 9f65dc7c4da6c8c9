// SPDX-License-Identifier: MIT
// Repair of a 1 GB MP4 movie (H.264 and AAC) with a zeroed 4 KB sector in the middle beside
// `ffmpeg -c copy -f null` reading the same file (every packet demuxed, nothing decoded). The movie is made
// once by ffmpeg: 40 s of its test picture at 8 Mbit/s, looped with stream copy to about 1 GB. Each run is
// a child process: wall and processor time from wait4, peak resident memory from /usr/bin/time.
//   bench/repair/mp4_speed_bench   (QUILLON_BENCH_DIR: where the movies go)
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
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
        // time(1) puts a line about a non-zero exit status before the figure.
        std::ifstream peak(peakFile);
        for (std::string word; peak >> word;)
            run.PeakKb = std::atol(word.c_str());
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

// The damaged movie: made once, kept for later runs.
fs::path Prepare()
{
    const fs::path folder = Folder();
    const fs::path damaged = folder / "damaged-1g.mp4";
    if (fs::exists(damaged))
        return damaged;
    const fs::path base = folder / "base.mp4";
    const fs::path big = folder / "big.mp4";
    Spawn({ "ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i", "testsrc2=size=640x360:rate=25:duration=40",
        "-f", "lavfi", "-i", "sine=frequency=523:beep_factor=3:duration=40", "-c:v", "libx264", "-preset",
        "ultrafast", "-b:v", "8M", "-g", "50", "-pix_fmt", "yuv420p", "-c:a", "aac", "-b:a", "128k",
        base.string() });
    const uint64_t baseSize = fs::exists(base) ? fs::file_size(base) : 0;
    const int loops = baseSize ? int((uint64_t(1) << 30) / baseSize) : 1;
    Spawn({ "ffmpeg", "-v", "error", "-y", "-stream_loop", std::to_string(loops - 1), "-i", base.string(),
        "-c", "copy", big.string() });
    fs::remove(base);
    if (!fs::exists(big))
        return damaged;
    const uint64_t middle = fs::file_size(big) / 2;
    {
        std::fstream out(big, std::ios::in | std::ios::out | std::ios::binary);
        out.seekp(std::streamoff(middle));
        const std::vector<char> zeros(4096, 0);
        out.write(zeros.data(), std::streamsize(zeros.size()));
    }
    fs::rename(big, damaged);
    return damaged;
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
    const fs::path damaged = Prepare();
    const fs::path output = Folder() / "fixed.mp4";
    for (auto _ : state) {
        fs::remove(output);
        const Run run = Spawn({ QUILLON_REPAIR, "--output", output.string(), damaged.string() }, true);
        if (run.Status != 1)
            state.SkipWithError("quillon-repair did not repair the movie");
        Record(state, "ours", run);
    }
    fs::remove(output);
}

void FfmpegCopy(benchmark::State& state)
{
    const fs::path damaged = Prepare();
    for (auto _ : state) {
        const Run run = Spawn(
            { "ffmpeg", "-v", "error", "-i", damaged.string(), "-map", "0", "-c", "copy", "-f", "null", "-" },
            true);
        if (run.Status != 0)
            state.SkipWithError("ffmpeg -c copy failed");
        Record(state, "ffmpeg", run);
    }
}

// For comparison, not the target: the same copy written to a file, as a repair has to.
void FfmpegCopyToFile(benchmark::State& state)
{
    const fs::path damaged = Prepare();
    const fs::path output = Folder() / "copied.mp4";
    for (auto _ : state) {
        fs::remove(output);
        const Run run = Spawn(
            { "ffmpeg", "-v", "error", "-i", damaged.string(), "-map", "0", "-c", "copy", output.string() },
            true);
        if (run.Status != 0)
            state.SkipWithError("ffmpeg -c copy failed");
        Record(state, "ffmpeg to a file", run);
    }
    fs::remove(output);
}

BENCHMARK(Ours)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(FfmpegCopy)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(FfmpegCopyToFile)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    const Run& ours = g_best["ours"];
    const Run& peer = g_best["ffmpeg"];
    std::printf(
        "\nrepair of the damaged 1 GB movie / ffmpeg -c copy -f null on it (fastest runs; target <= 1.2, "
        "peak <= 64 MB)\n");
    if (ours.Wall > 0 && peer.Wall > 0)
        std::printf(
            "wall %.2f s / %.2f s = %.2f, cpu %.2f s / %.2f s = %.2f, peak %.1f MB (ffmpeg %.1f MB)\n",
            ours.Wall, peer.Wall, ours.Wall / peer.Wall, ours.Cpu, peer.Cpu,
            peer.Cpu > 0 ? ours.Cpu / peer.Cpu : 0.0, ours.PeakKb / 1024.0, peer.PeakKb / 1024.0);
    benchmark::Shutdown();
    return 0;
}
