// SPDX-License-Identifier: MIT
// Repair of a large JPEG image with a restart marker every MCU row, cut short at 80 % (every MCU decoded
// and checked, the result checked again with the system's decoder and written), beside `jpegtran -copy all`
// on the same cut file and `djpeg` decoding the sound image once to nowhere. Each run is a child process:
// wall and processor time from wait4, peak resident memory from /usr/bin/time. Prints the ratios.
//   bench/repair/jpeg_speed_bench   (QUILLON_BENCH_DIR: where the images go; made once by cjpeg)
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
        // A command that exits non-zero gets a line saying so before the figure.
        std::ifstream peak(peakFile);
        std::string word, last;
        while (peak >> word)
            last = word;
        run.PeakKb = std::atol(last.c_str());
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

// A noisy picture of `side` x `side` pixels streamed row by row into cjpeg, which codes as it reads.
struct Image {
    fs::path Sound;
    fs::path Cut;
};

Image Prepare(int side)
{
    const fs::path folder = Folder();
    Image image { folder / ("sound-" + std::to_string(side) + ".jpg"),
        folder / ("cut-" + std::to_string(side) + ".jpg") };
    if (fs::exists(image.Cut))
        return image;
    const std::string command = "cjpeg -quality 90 -restart 1 > '" + image.Sound.string() + "'";
    FILE* pipe = popen(command.c_str(), "w");
    if (!pipe)
        return image;
    std::fprintf(pipe, "P6\n%d %d\n255\n", side, side);
    std::mt19937 random(7);
    std::vector<unsigned char> row(size_t(side) * 3);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const unsigned noise = random() % 32;
            row[size_t(x) * 3] = (unsigned char)((x / 8 + y / 16 + noise) & 255);
            row[size_t(x) * 3 + 1] = (unsigned char)((y / 8 + noise) & 255);
            row[size_t(x) * 3 + 2] = (unsigned char)(((x ^ y) / 32 + noise) & 255);
        }
        std::fwrite(row.data(), 1, row.size(), pipe);
    }
    pclose(pipe);
    fs::copy_file(image.Sound, image.Cut, fs::copy_options::overwrite_existing);
    fs::resize_file(image.Cut, fs::file_size(image.Sound) * 4 / 5);
    return image;
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

constexpr int kSide = 16000;

void Ours(benchmark::State& state)
{
    const Image image = Prepare(kSide);
    const fs::path output = Folder() / "fixed.jpg";
    for (auto _ : state) {
        fs::remove(output);
        const Run run = Spawn({ QUILLON_REPAIR, "--output", output.string(), image.Cut.string() }, true);
        if (run.Status != 1)
            state.SkipWithError("quillon-repair did not repair the image");
        Record(state, "ours", run);
    }
    fs::remove(output);
}

void Jpegtran(benchmark::State& state)
{
    const Image image = Prepare(kSide);
    const fs::path output = Folder() / "jpegtran.jpg";
    for (auto _ : state) {
        const Run run
            = Spawn({ "jpegtran", "-copy", "all", "-outfile", output.string(), image.Cut.string() }, true);
        Record(state, "jpegtran", run);
    }
    fs::remove(output);
}

void DecodeOnce(benchmark::State& state)
{
    const Image image = Prepare(kSide);
    for (auto _ : state) {
        const Run run = Spawn({ "djpeg", "-outfile", "/dev/null", image.Sound.string() }, true);
        if (run.Status != 0)
            state.SkipWithError("djpeg failed");
        Record(state, "djpeg", run);
    }
}

BENCHMARK(Ours)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(Jpegtran)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(DecodeOnce)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    const Run& ours = g_best["ours"];
    const Image image = Prepare(kSide);
    std::printf("\n%d x %d pixels, %.1f MB cut to %.1f MB (fastest runs; peak target <= 64 MB)\n", kSide,
        kSide, double(fs::file_size(image.Sound)) / 1e6, double(fs::file_size(image.Cut)) / 1e6);
    for (const char* peer : { "jpegtran", "djpeg" }) {
        const Run& other = g_best[peer];
        if (ours.Wall <= 0 || other.Wall <= 0)
            continue;
        std::printf(
            "ours / %s: wall %.2f s / %.2f s = %.2f, cpu %.2f s / %.2f s = %.2f, peak %.1f MB / %.1f MB\n",
            peer, ours.Wall, other.Wall, ours.Wall / other.Wall, ours.Cpu, other.Cpu,
            other.Cpu > 0 ? ours.Cpu / other.Cpu : 0.0, ours.PeakKb / 1024.0, other.PeakKb / 1024.0);
    }
    benchmark::Shutdown();
    return 0;
}
