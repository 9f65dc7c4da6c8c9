// SPDX-License-Identifier: MIT
// Repair of an AVI file of about 950 MB whose index is lost (every chunk walked, the pictures' key frames
// found, the file written anew with a fresh index) beside `ffmpeg -c copy -f null` reading the same file
// packet by packet. Each run is a child process: wall time and processor time come from wait4, peak
// resident memory from /usr/bin/time (a child's own peak as wait4 reports it starts at the size of the
// process that forked it). Prints the ratio at the end.
//   bench/repair/avi_speed_bench   (QUILLON_BENCH_DIR: where the files go; about 2 GB are needed)
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
    const std::string peakFile = (fs::temp_directory_path() / "quillon-avi-bench-peak").string();
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
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
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
    fs::path folder = fs::path(dir ? dir : fs::temp_directory_path().string()) / "quillon-avi-bench";
    fs::create_directories(folder);
    return folder;
}

// A minute of pictures and sound, looped by copying to about 950 MB (one RIFF), then cut where its
// index begins.
fs::path Prepare()
{
    const fs::path folder = Folder();
    const fs::path lost = folder / "index-lost.avi";
    if (fs::exists(lost))
        return lost;
    const fs::path minute = folder / "minute.avi";
    const fs::path looped = folder / "looped.avi";
    Spawn({ "ffmpeg", "-y", "-f", "lavfi", "-i", "testsrc2=size=640x480:duration=60", "-f", "lavfi", "-i",
        "sine=duration=60", "-c:v", "mpeg4", "-b:v", "12M", "-g", "50", "-c:a", "libmp3lame",
        minute.string() });
    Spawn({ "ffmpeg", "-y", "-stream_loop", "27", "-i", minute.string(), "-c", "copy", looped.string() });
    fs::remove(minute);
    // The index is the file's last chunk; the position of its id is found from the end.
    std::ifstream in(looped, std::ios::binary);
    const uint64_t size = fs::file_size(looped);
    const uint64_t tail = std::min<uint64_t>(size, 64ull << 20);
    std::vector<char> end(tail);
    in.seekg(std::streamoff(size - tail));
    in.read(end.data(), std::streamsize(tail));
    uint64_t cut = size;
    for (uint64_t i = tail - 4; i > 0; --i) {
        if (end[i] == 'i' && end[i + 1] == 'd' && end[i + 2] == 'x' && end[i + 3] == '1') {
            cut = size - tail + i;
            break;
        }
    }
    fs::rename(looped, lost);
    fs::resize_file(lost, cut);
    return lost;
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
    const fs::path source = Prepare();
    const fs::path output = Folder() / "fixed.avi";
    for (auto _ : state) {
        fs::remove(output);
        const Run run = Spawn({ QUILLON_REPAIR, "--output", output.string(), source.string() }, true);
        if (run.Status != 0)
            state.SkipWithError("quillon-repair did not rebuild the index");
        Record(state, "ours", run);
    }
    fs::remove(output);
}

void FfmpegCopy(benchmark::State& state)
{
    const fs::path source = Prepare();
    for (auto _ : state) {
        const Run run
            = Spawn({ "ffmpeg", "-nostdin", "-i", source.string(), "-c", "copy", "-f", "null", "-" }, true);
        if (run.Status != 0)
            state.SkipWithError("ffmpeg failed");
        Record(state, "ffmpeg", run);
    }
}

BENCHMARK(Ours)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(FfmpegCopy)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    const Run& ours = g_best["ours"];
    const Run& peer = g_best["ffmpeg"];
    if (ours.Wall > 0 && peer.Wall > 0) {
        const double mb = double(fs::file_size(Prepare())) / (1 << 20);
        std::printf(
            "\nindex rebuilt / ffmpeg -c copy -f null on %.0f MB (fastest runs; target <= 1.2, peak <= 64 "
            "MB)\nwall %.2f s / %.2f s = %.2f, cpu %.2f s / %.2f s = %.2f, peak %.1f MB (ffmpeg %.1f MB)\n",
            mb, ours.Wall, peer.Wall, ours.Wall / peer.Wall, ours.Cpu, peer.Cpu,
            peer.Cpu > 0 ? ours.Cpu / peer.Cpu : 0.0, ours.PeakKb / 1024.0, peer.PeakKb / 1024.0);
    }
    benchmark::Shutdown();
    return 0;
}
