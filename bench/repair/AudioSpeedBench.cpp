// SPDX-License-Identifier: MIT
// Repair of a WAV file cut short (about 1 GB of samples there, more promised by its header: sizes made
// true, every sample copied) beside `ffmpeg -c copy -f null` on the same file (every sample read and
// passed through), at 100 MB and 1 GB. Each run is a child process: wall and processor time from wait4,
// peak resident memory from /usr/bin/time. Prints the ratios and our peak at the end.
//   bench/repair/audio_speed_bench   (QUILLON_BENCH_DIR: where the files go)
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

Run Spawn(const std::vector<std::string>& command)
{
    const std::string peakFile = (fs::temp_directory_path() / "quillon-audio-bench-peak").string();
    std::vector<std::string> argv = command;
    argv.insert(argv.begin(), { "/usr/bin/time", "-f", "%M", "-o", peakFile });
    std::vector<char*> args;
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
    // /usr/bin/time puts a line about a non-zero exit status before the figure: the figure is the last line.
    std::ifstream peak(peakFile);
    for (std::string line; std::getline(peak, line);)
        if (!line.empty() && line.find_first_not_of("0123456789") == std::string::npos)
            run.PeakKb = std::stol(line);
    run.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

fs::path Folder()
{
    const char* dir = std::getenv("QUILLON_BENCH_DIR");
    fs::path folder = fs::path(dir ? dir : fs::temp_directory_path().string()) / "quillon-audio-bench";
    fs::create_directories(folder);
    return folder;
}

void Put32(unsigned char* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<unsigned char>(v >> (8 * i));
}

// 16-bit stereo at 48 kHz: a header that promises a quarter more samples than follow it, as a recording
// cut off by a full disk or a crash leaves it. The samples are a slow sweep, so nothing is silent.
fs::path Prepare(uint64_t megabytes)
{
    const fs::path path = Folder() / ("cut-" + std::to_string(megabytes) + ".wav");
    if (fs::exists(path))
        return path;
    const uint64_t data = (megabytes << 20) / 4 * 4;
    unsigned char head[44] = {};
    std::memcpy(head, "RIFF", 4);
    Put32(head + 4, uint32_t(36 + data + data / 4));
    std::memcpy(head + 8, "WAVEfmt ", 8);
    Put32(head + 16, 16);
    head[20] = 1;
    head[22] = 2;
    Put32(head + 24, 48000);
    Put32(head + 28, 48000 * 4);
    head[32] = 4;
    head[34] = 16;
    std::memcpy(head + 36, "data", 4);
    Put32(head + 40, uint32_t(data + data / 4));
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(head), 44);
    std::vector<char> block(1 << 20);
    uint32_t phase = 0;
    for (uint64_t done = 0; done < data; done += block.size()) {
        for (size_t i = 0; i + 4 <= block.size(); i += 4, phase += 7) {
            const auto v = static_cast<int16_t>((phase % 20000) - 10000);
            std::memcpy(&block[i], &v, 2);
            std::memcpy(&block[i + 2], &v, 2);
        }
        out.write(block.data(), std::streamsize(std::min<uint64_t>(block.size(), data - done)));
    }
    return path;
}

std::map<std::string, Run> g_best;

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
    const fs::path source = Prepare(uint64_t(state.range(0)));
    const fs::path output = Folder() / "fixed.wav";
    for (auto _ : state) {
        fs::remove(output);
        const Run run = Spawn({ QUILLON_REPAIR, "--output", output.string(), source.string() });
        if (run.Status != 1)
            state.SkipWithError("quillon-repair did not repair the cut file (partial, exit 1)");
        Record(state, "ours/" + std::to_string(state.range(0)), run);
    }
    fs::remove(output);
}

void FfmpegCopy(benchmark::State& state)
{
    const fs::path source = Prepare(uint64_t(state.range(0)));
    for (auto _ : state) {
        const Run run = Spawn(
            { "ffmpeg", "-nostdin", "-v", "error", "-i", source.string(), "-c", "copy", "-f", "null", "-" });
        if (run.Status != 0)
            state.SkipWithError("ffmpeg failed");
        Record(state, "ffmpeg/" + std::to_string(state.range(0)), run);
    }
}

// The same copy written to a file (not synced), for scale: the repair writes and syncs its fixed file.
void FfmpegToFile(benchmark::State& state)
{
    const fs::path source = Prepare(uint64_t(state.range(0)));
    const fs::path output = Folder() / "ffmpeg-copy.wav";
    for (auto _ : state) {
        fs::remove(output);
        const Run run = Spawn(
            { "ffmpeg", "-nostdin", "-v", "error", "-i", source.string(), "-c", "copy", output.string() });
        if (run.Status != 0)
            state.SkipWithError("ffmpeg failed");
        Record(state, "ffmpeg-file/" + std::to_string(state.range(0)), run);
    }
    fs::remove(output);
}

BENCHMARK(Ours)->Arg(100)->Arg(1024)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(FfmpegCopy)->Arg(100)->Arg(1024)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(FfmpegToFile)->Arg(100)->Arg(1024)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    std::printf(
        "\nrepair of the cut WAV / ffmpeg -c copy -f null of it (fastest runs; peak target <= 64 MB)\n");
    for (const int mb : { 100, 1024 }) {
        const Run& ours = g_best["ours/" + std::to_string(mb)];
        const Run& peer = g_best["ffmpeg/" + std::to_string(mb)];
        if (ours.Wall <= 0 || peer.Wall <= 0)
            continue;
        std::printf("%5d MB: wall %.2f s / %.2f s = %.2f, cpu %.2f s / %.2f s = %.2f, peak %.1f MB (ffmpeg "
                    "%.1f MB)\n",
            mb, ours.Wall, peer.Wall, ours.Wall / peer.Wall, ours.Cpu, peer.Cpu,
            peer.Cpu > 0 ? ours.Cpu / peer.Cpu : 0.0, ours.PeakKb / 1024.0, peer.PeakKb / 1024.0);
    }
    benchmark::Shutdown();
    return 0;
}
