// SPDX-License-Identifier: MIT
#include "AviRepairer.h"
#include "AviSilence.h"
#include "Progress.h"
#include "RepairFile.h"
#include "RepairTestFiles.h"
#include "VideoTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>

using namespace repair;
using namespace repairtest;
using namespace videotest;

namespace {

using Damage = std::function<Bytes(Bytes)>;

size_t Find(const Bytes& b, const char* tag, size_t from = 0)
{
    const auto at = std::search(b.begin() + long(from), b.end(), tag, tag + 4);
    return size_t(at - b.begin());
}

void Put32(Bytes& b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + size_t(i)] = uint8_t(v >> (8 * i));
}

uint32_t Get32(const Bytes& b, size_t at)
{
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}

const Damage kAsIs = [](Bytes b) { return b; };
const Damage kCut = [](Bytes b) { return Bytes(b.begin(), b.begin() + long(b.size() * 8 / 10)); };
const Damage kEndLost = [](Bytes b) { return Bytes(b.begin(), b.end() - 100); };
const Damage kZeroed = [](Bytes b) {
    std::fill(b.begin() + long(b.size() / 2), b.begin() + long(b.size() / 2 + 4096), 0);
    return b;
};
const Damage kHeadZeroed = [](Bytes b) {
    std::fill(b.begin(), b.begin() + 4096, 0);
    return b;
};
const Damage kFlipped = [](Bytes b) {
    for (size_t at : { size_t(20000), b.size() / 2, b.size() * 3 / 4 })
        b[at] ^= 0x55;
    return b;
};
const Damage kGarbage = [](Bytes b) {
    Bytes garbage(1024);
    for (size_t i = 0; i < garbage.size(); ++i)
        garbage[i] = uint8_t(i * 31 + 7);
    b.insert(b.begin() + 40000, garbage.begin(), garbage.end());
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
const Damage kIndexLost = [](Bytes b) { return Bytes(b.begin(), b.begin() + long(Find(b, "idx1"))); };
const Damage kZeroedIndexLost = [](Bytes b) { return kZeroed(kIndexLost(b)); };
const Damage kIndexWrong = [](Bytes b) {
    const size_t index = Find(b, "idx1");
    for (size_t e = index + 8; e + 16 <= b.size(); e += 16)
        Put32(b, e + 8, Get32(b, e + 8) + 2);
    return b;
};
// A recording never closed: the sizes its writer meant to fill in at the end.
const Damage kSizesUnwritten = [](Bytes b) {
    Put32(b, 4, 0);
    Put32(b, Find(b, "movi") - 4, 0);
    return b;
};
const Damage kCountsWrong = [](Bytes b) {
    Put32(b, Find(b, "avih") + 8 + 16, 7);
    for (size_t at = Find(b, "strh"); at < b.size(); at = Find(b, "strh", at + 4))
        Put32(b, at + 8 + 32, 3);
    return b;
};

// Sizes and counts no real file holds.
const Damage kLengthAbsurd = [](Bytes b) {
    Put32(b, Find(b, "strh") + 8 + 32, 0xFFFFFFFF);
    return b;
};
const Damage kChunkSizeAbsurd = [](Bytes b) {
    Put32(b, Find(b, "movi") + 8, 0xFFFFFFF0);
    return b;
};
const Damage kIndexOutside = [](Bytes b) {
    const size_t index = Find(b, "idx1");
    for (size_t e = index + 8; e + 16 <= b.size(); e += 16)
        Put32(b, e + 8, Get32(b, e + 8) + 0x40000000);
    return b;
};
const Damage kHeaderListSizeAbsurd = [](Bytes b) {
    Put32(b, Find(b, "hdrl") - 4, 0xFFFFFF00);
    return b;
};

struct Case {
    const char* fixture;
    const char* damage;
    Damage apply;
    Verdict verdict;
    int keptPercent; // of the original's pictures and sound blocks, each at its own time
    // Without an index the time a gap held is judged, not known: the blocks are kept, maybe moved.
    bool timed = true;
};

const Case kCases[] = {
    { "mpeg4-mp3", "intact", kAsIs, Verdict::Intact, 0 },
    { "mpeg4-pcm", "intact", kAsIs, Verdict::Intact, 0 },
    { "mpeg4-mp3", "index lost", kIndexLost, Verdict::Repaired, 100 },
    { "mpeg4-mp3", "index wrong", kIndexWrong, Verdict::Repaired, 100 },
    { "mpeg4-pcm", "sizes unwritten", kSizesUnwritten, Verdict::Repaired, 100 },
    { "mpeg4-mp3", "counts wrong", kCountsWrong, Verdict::Repaired, 100 },
    { "mpeg4-mp3", "end lost", kEndLost, Verdict::Repaired, 100 },
    { "mpeg4-mp3", "cut at 80 %", kCut, Verdict::Partial, 75 },
    { "mpeg4-pcm", "cut at 80 %", kCut, Verdict::Partial, 75 },
    { "mpeg4-mp3", "zeroed 4 KB", kZeroed, Verdict::Partial, 85 },
    { "mpeg4-pcm", "zeroed 4 KB", kZeroed, Verdict::Partial, 80 },
    { "mpeg4-mp3", "zeroed 4 KB, index lost", kZeroedIndexLost, Verdict::Partial, 80, false },
    { "mpeg4-pcm", "zeroed 4 KB, index lost", kZeroedIndexLost, Verdict::Partial, 80, false },
    { "mpeg4-mp3", "flipped bytes", kFlipped, Verdict::Partial, 70 },
    { "mpeg4-mp3", "garbage inserted", kGarbage, Verdict::Partial, 85 },
    { "mpeg4-mp3", "text-mode transfer", kTextTransfer, Verdict::Repaired, 100 },
    { "mpeg4-pcm", "cut at 80 %, in the sound", [](Bytes b) { return Bytes(b.begin(), b.begin() + 100001); },
        Verdict::Partial, 75 },
    { "mpeg4-mp3", "stream length absurd", kLengthAbsurd, Verdict::Repaired, 100 },
    { "mpeg4-mp3", "first chunk size absurd", kChunkSizeAbsurd, Verdict::Partial, 90 },
    { "mpeg4-mp3", "index points outside", kIndexOutside, Verdict::Repaired, 100 },
    { "mpeg4-pcm", "header list size absurd", kHeaderListSizeAbsurd, Verdict::Repaired, 100 },
    { "mpeg4-mp3", "head zeroed", kHeadZeroed, Verdict::Partial, 95 },
    { "mpeg4-pcm", "head lost", [](Bytes b) { return Bytes(b.begin() + 4096, b.end()); }, Verdict::Partial,
        95 },
    { "mpeg4-mp3", "only garbage", [](Bytes b) { return Bytes(b.size(), 0x5A); }, Verdict::Unrecoverable, 0 },
};

TEST(AviRepair, EveryKindOfDamage)
{
    std::map<std::string, Decoded> originals;
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(c.fixture) + ", " + c.damage);
        const std::string fixture = std::string(QUILLON_FIXTURES "/video/") + c.fixture + ".avi";
        if (!originals.count(fixture))
            originals[fixture] = Decode(fixture);
        const Decoded& original = originals[fixture];
        ASSERT_GT(original.items.size(), 50u);
        ASSERT_EQ(original.errors, "");
        TempDir dir;
        const std::string source = dir.Path("damaged.avi");
        const std::string output = dir.Path("fixed.avi");
        WriteFile(source, c.apply(ReadFile(fixture)));
        const Snapshot before = Snap(source);

        std::vector<std::unique_ptr<Repairer>> families;
        families.push_back(std::make_unique<AviRepairer>());
        Progress progress;
        const Report report = RepairFile(families, source, output, progress);

        EXPECT_EQ(report.Outcome, c.verdict) << (report.Messages.empty() ? "" : report.Messages[0]);
        EXPECT_EQ(report.Family, "video");
        EXPECT_EQ(Snap(source), before) << "the source changed";
        const bool written = c.verdict == Verdict::Repaired || c.verdict == Verdict::Partial;
        EXPECT_EQ(List(dir.Path()).size(), written ? 2u : 1u) << "a file was left, or none written";
        if (!written)
            continue;
        if (c.verdict == Verdict::Repaired) {
            EXPECT_EQ(report.PartsRecovered, report.PartsTotal);
        }
        EXPECT_EQ(report.Lost.empty(), c.verdict == Verdict::Repaired);
        const Decoded fixed = Decode(output);
        EXPECT_EQ(fixed.errors, "") << "the fixed file does not decode cleanly";
        const size_t kept = Kept(original.items, fixed.items, c.timed);
        EXPECT_GE(kept * 100, original.items.size() * size_t(c.keptPercent))
            << kept << " of " << original.items.size() << " kept";
        // Nothing is invented: every picture decoded is one of the original's.
        EXPECT_LE(fixed.items.size() - kept, original.items.size() - kept);
    }
}

TEST(AviRepair, RepairedFileIsIntact)
{
    TempDir dir;
    const std::string source = dir.Path("damaged.avi");
    WriteFile(source, kZeroed(ReadFile(QUILLON_FIXTURES "/video/mpeg4-mp3.avi")));
    std::vector<std::unique_ptr<Repairer>> families;
    families.push_back(std::make_unique<AviRepairer>());
    Progress progress;
    ASSERT_EQ(RepairFile(families, source, dir.Path("fixed.avi"), progress).Outcome, Verdict::Partial);
    const Report again = RepairFile(families, dir.Path("fixed.avi"), dir.Path("again.avi"), progress);
    EXPECT_EQ(again.Outcome, Verdict::Intact) << (again.Messages.empty() ? "" : again.Messages[0]);
}

TEST(AviSilence, MpegFrameSizes)
{
    struct Row {
        uint8_t header[4];
        uint32_t size;
    };
    const Row rows[] = {
        { { 0xFF, 0xFB, 0x90, 0x44 }, 417 }, // MPEG-1 layer III, 128 kbit/s, 44.1 kHz
        { { 0xFF, 0xFB, 0x92, 0x44 }, 418 }, // the same, padded
        { { 0xFF, 0xF3, 0x40, 0xC4 }, 104 }, // MPEG-2 layer III, 32 kbit/s, 22.05 kHz
        { { 0xFF, 0xFD, 0xA4, 0x04 }, 576 }, // MPEG-1 layer II, 192 kbit/s, 48 kHz
        { { 0xFF, 0xFB, 0xF0, 0x44 }, 0 }, // a forbidden bit rate
        { { 0x00, 0x00, 0x00, 0x00 }, 0 },
    };
    for (const Row& r : rows)
        EXPECT_EQ(AviSilence::MpegFrameSize(r.header), r.size) << std::hex << int(r.header[2]);
}

} // namespace
