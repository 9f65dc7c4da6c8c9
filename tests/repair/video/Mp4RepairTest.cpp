// SPDX-License-Identifier: MIT
#include "Mp4Repairer.h"
#include "Progress.h"
#include "RepairFile.h"
#include "RepairTestFiles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <map>

using namespace repair;
using namespace repairtest;

namespace {

using Damage = std::function<Bytes(Bytes)>;

std::string Shell(const std::string& command)
{
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            out.append(buffer, n);
        ::pclose(pipe);
    }
    return out;
}

// The checksums of the decoded frames of one kind ("0" video, "1" audio), in order.
std::vector<std::string> Frames(const std::string& path, char stream)
{
    std::vector<std::string> sums;
    const std::string text = Shell("ffmpeg -v quiet -i '" + path + "' -f framemd5 - 2>/dev/null");
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = text.substr(at, end - at);
        at = end + 1;
        if (line.empty() || line[0] != stream || line[1] != ',')
            continue;
        sums.push_back(line.substr(line.rfind(',') + 1));
    }
    return sums;
}

// How many of `original` come back in `fixed`, in order.
size_t FoundInOrder(const std::vector<std::string>& original, const std::vector<std::string>& fixed)
{
    size_t found = 0, j = 0;
    for (const std::string& sum : original) {
        size_t k = j;
        while (k < fixed.size() && fixed[k] != sum)
            ++k;
        if (k < fixed.size()) {
            ++found;
            j = k + 1;
        }
    }
    return found;
}

Damage CutAt(double fraction)
{
    return [fraction](Bytes b) {
        b.resize(size_t(double(b.size()) * fraction));
        return b;
    };
}
const Damage kAsIs = [](Bytes b) { return b; };
const Damage kEndLost = [](Bytes b) { return Bytes(b.begin(), b.end() - 100); };
const Damage kZeroedMiddle = [](Bytes b) {
    std::fill(b.begin() + long(b.size() / 2), b.begin() + long(b.size() / 2) + 4096, 0);
    return b;
};
const Damage kFlipped = [](Bytes b) {
    for (size_t at : { b.size() * 3 / 10, b.size() * 6 / 10 })
        b[at] ^= 0x55;
    return b;
};
const Damage kGarbageInserted = [](Bytes b) {
    Bytes garbage(1024);
    for (size_t i = 0; i < garbage.size(); ++i)
        garbage[i] = uint8_t(i * 73 + 5);
    b.insert(b.begin() + long(b.size() * 7 / 20), garbage.begin(), garbage.end());
    return b;
};
const Damage kTextTransfer = [](const Bytes& b) {
    Bytes out;
    for (uint8_t c : b) {
        if (c == '\n')
            out.push_back('\r');
        out.push_back(c);
    }
    return out;
};
const Damage kHeadLost = [](Bytes b) { return Bytes(b.begin() + 4096, b.end()); };
const Damage kGarbageAtEnd = [](Bytes b) {
    for (int i = 0; i < 300; ++i)
        b.push_back(uint8_t(i * 37 + 11));
    return b;
};

struct Case {
    const char* fixture;
    const char* damage;
    Damage apply;
    Verdict verdict;
    double frames; // the share of the original's video frames that must come back whole
    double sound; // the same for the decoded audio
    bool structureOnly = false; // as for a file too large to decode
};

const Case kCases[] = {
    { "front.mp4", "intact", kAsIs, Verdict::Intact, 0, 0 },
    { "end.mp4", "intact", kAsIs, Verdict::Intact, 0, 0 },
    { "movie.mov", "intact", kAsIs, Verdict::Intact, 0, 0 },
    { "front.mp4", "cut at 80 %", CutAt(0.8), Verdict::Partial, 0.7, 0.7 },
    { "end.mp4", "cut at 80 %", CutAt(0.8), Verdict::Unrecoverable, 0, 0 },
    { "movie.mov", "cut at 80 %", CutAt(0.8), Verdict::Unrecoverable, 0, 0 },
    { "front.mp4", "zeroed 4 KB in the middle", kZeroedMiddle, Verdict::Partial, 0.8, 0.9 },
    { "end.mp4", "zeroed 4 KB in the middle", kZeroedMiddle, Verdict::Partial, 0.8, 0.9 },
    { "movie.mov", "zeroed 4 KB in the middle", kZeroedMiddle, Verdict::Partial, 0.8, 0.9 },
    { "front.mp4", "zeroed 4 KB, structure only", kZeroedMiddle, Verdict::Partial, 0.8, 0.9, true },
    { "end.mp4", "zeroed 4 KB, structure only", kZeroedMiddle, Verdict::Partial, 0.8, 0.9, true },
    { "end.mp4", "flipped bytes", kFlipped, Verdict::Partial, 0.6, 0.9 },
    { "front.mp4", "garbage inserted", kGarbageInserted, Verdict::Partial, 0.8, 0.9 },
    { "end.mp4", "garbage inserted", kGarbageInserted, Verdict::Partial, 0.9, 0.9 },
    { "movie.mov", "garbage inserted", kGarbageInserted, Verdict::Partial, 0.9, 0.9 },
    { "front.mp4", "text-mode transfer", kTextTransfer, Verdict::Repaired, 1, 1 },
    { "end.mp4", "text-mode transfer", kTextTransfer, Verdict::Repaired, 1, 1 },
    { "movie.mov", "text-mode transfer", kTextTransfer, Verdict::Repaired, 1, 1 },
    { "end.mp4", "head lost", kHeadLost, Verdict::Partial, 0.8, 0.9 },
    { "movie.mov", "head lost", kHeadLost, Verdict::Partial, 0.8, 0.9 },
    { "front.mp4", "head lost", kHeadLost, Verdict::Unrecoverable, 0, 0 },
    { "end.mp4", "end lost", kEndLost, Verdict::Partial, 0.99, 0 },
    { "front.mp4", "garbage after the end", kGarbageAtEnd, Verdict::Repaired, 1, 1 },
};

TEST(Mp4Repair, EveryKindOfDamage)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(c.fixture) + ", " + c.damage);
        const std::string fixture = std::string(QUILLON_FIXTURES "/video/") + c.fixture;
        static std::map<std::string, std::pair<std::vector<std::string>, std::vector<std::string>>> originals;
        if (!originals.count(fixture))
            originals[fixture] = { Frames(fixture, '0'), Frames(fixture, '1') };
        const auto& [video, audio] = originals[fixture];
        ASSERT_GT(video.size(), 100u);
        ASSERT_GT(audio.size(), 100u);
        TempDir dir;
        const std::string extension = std::string(c.fixture).substr(std::string(c.fixture).rfind('.'));
        const std::string source = dir.Path("damaged" + extension);
        const std::string output = dir.Path("fixed" + extension);
        WriteFile(source, c.apply(ReadFile(fixture)));
        const Snapshot before = Snap(source);

        std::vector<std::unique_ptr<Repairer>> families;
        families.push_back(std::make_unique<Mp4Repairer>(c.structureOnly ? 0 : uint64_t(1) << 30));
        Progress progress;
        const Report report = RepairFile(families, source, output, progress);

        EXPECT_EQ(report.Outcome, c.verdict) << (report.Messages.empty() ? "" : report.Messages.back());
        EXPECT_EQ(report.Family, "video");
        EXPECT_EQ(report.Format, extension.substr(1));
        EXPECT_EQ(Snap(source), before) << "the source changed";
        const bool written = c.verdict == Verdict::Repaired || c.verdict == Verdict::Partial;
        EXPECT_EQ(List(dir.Path()).size(), written ? 2u : 1u) << "a file was left, or none written";
        if (!written || !Exists(output))
            continue;
        EXPECT_EQ(Shell("ffmpeg -v error -i '" + output + "' -f null - 2>&1"), "")
            << "does not decode cleanly";
        EXPECT_GE(double(FoundInOrder(video, Frames(output, '0'))), c.frames * double(video.size()));
        if (c.sound > 0) {
            EXPECT_GE(double(FoundInOrder(audio, Frames(output, '1'))), c.sound * double(audio.size()));
        }
        EXPECT_EQ(report.PartsRecovered == report.PartsTotal && report.Lost.empty(),
            c.verdict == Verdict::Repaired);
    }
}

} // namespace
