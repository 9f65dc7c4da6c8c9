// SPDX-License-Identifier: MIT
#include "JpegCheck.h"
#include "JpegPixels.h"
#include "JpegRepairer.h"
#include "Progress.h"
#include "RepairFile.h"
#include "RepairTestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>

using namespace repair;
using namespace repairtest;

namespace {

using Damage = std::function<Bytes(Bytes)>;

struct Pixels {
    bool ok = false;
    long warnings = 0;
    unsigned width = 0, height = 0;
    std::vector<Bytes> rows;
};

Pixels Decode(const Bytes& file)
{
    TestJpegPixels p {};
    TestJpegDecode(file.data(), file.size(), &p);
    Pixels out { p.Ok != 0, p.Warnings, p.Width, p.Height, {} };
    const size_t stride = size_t(p.Width) * p.Components;
    for (unsigned y = 0; p.Rows && y < p.Height; ++y)
        out.rows.emplace_back(p.Rows + y * stride, p.Rows + (y + 1) * stride);
    TestJpegFree(&p);
    return out;
}

size_t SameRows(const Pixels& a, const Pixels& b)
{
    size_t same = 0;
    for (size_t y = 0; y < std::min(a.rows.size(), b.rows.size()); ++y)
        same += a.rows[y] == b.rows[y];
    return same;
}

// Where the entropy-coded data of the last scan begins: damage aimed there hits pixels, not headers.
size_t LastScanData(const Bytes& b)
{
    size_t at = 0;
    for (size_t i = 0; i + 3 < b.size(); ++i)
        if (b[i] == 0xFF && b[i + 1] == 0xDA)
            at = i + 2 + size_t(b[i + 2] << 8 | b[i + 3]);
    return at;
}

Bytes Zero(Bytes b, size_t at, size_t n)
{
    std::fill(b.begin() + long(at), b.begin() + long(at + n), 0);
    return b;
}

const Damage kAsIs = [](Bytes b) { return b; };
const Damage kCut80 = [](Bytes b) { return Bytes(b.begin(), b.begin() + long(b.size() * 4 / 5)); };
const Damage kEndMarkerLost = [](Bytes b) { return Bytes(b.begin(), b.end() - 2); };
const Damage kZeroedMiddle = [](Bytes b) { return Zero(b, b.size() / 2, 512); };
const Damage kZeroedTail = [](Bytes b) { return Zero(b, b.size() - 600, 600); };
const Damage kGarbage = [](Bytes b) {
    Bytes junk(300);
    for (size_t i = 0; i < junk.size(); ++i)
        junk[i] = uint8_t(i * 31 + 7);
    b.insert(b.begin() + long(b.size() / 2), junk.begin(), junk.end());
    return b;
};
const Damage kFlipped = [](Bytes b) {
    b[b.size() / 2] ^= 0xFF;
    return b;
};
const Damage kHeadLost = [](Bytes b) { return Bytes(b.begin() + 1024, b.end()); };
const Damage kHeadZeroed = [](Bytes b) { return Zero(b, 0, LastScanData(b)); };
// The image's own frame header zeroed as well: only the thumbnail's headers remain.
const Damage kHeadAndFrameZeroed = [](Bytes b) {
    size_t frame = 0;
    for (size_t i = 0; i + 1 < b.size(); ++i)
        if (b[i] == 0xFF && b[i + 1] == 0xC0)
            frame = i;
    return Zero(Zero(b, 0, 100), frame, 50);
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

struct Case {
    const char* fixture;
    const char* damage;
    Damage apply;
    Verdict verdict;
    size_t rows; // rows expected identical to the original's (of 128)
};

const Case kCases[] = {
    { "baseline", "intact", kAsIs, Verdict::Intact, 128 },
    { "progressive", "intact", kAsIs, Verdict::Intact, 128 },
    { "restart", "intact", kAsIs, Verdict::Intact, 128 },
    { "grey", "intact", kAsIs, Verdict::Intact, 128 },
    { "baseline", "cut at 80 %", kCut80, Verdict::Partial, 95 },
    { "progressive", "cut at 80 %", kCut80, Verdict::Partial, 16 },
    { "restart", "cut at 80 %", kCut80, Verdict::Partial, 95 },
    { "grey", "cut at 80 %", kCut80, Verdict::Partial, 96 },
    { "baseline", "end marker lost", kEndMarkerLost, Verdict::Repaired, 128 },
    { "restart", "end marker lost", kEndMarkerLost, Verdict::Repaired, 128 },
    { "progressive", "end marker lost", kEndMarkerLost, Verdict::Partial, 128 },
    { "baseline", "zeroed in the middle", kZeroedMiddle, Verdict::Partial, 47 },
    // Restart markers: the intervals after the damage come back.
    { "restart", "zeroed in the middle", kZeroedMiddle, Verdict::Partial, 94 },
    { "progressive", "zeroed in the middle", kZeroedMiddle, Verdict::Partial, 0 },
    { "restart", "zeroed tail", kZeroedTail, Verdict::Partial, 111 },
    { "baseline", "garbage inserted", kGarbage, Verdict::Partial, 47 },
    { "restart", "garbage inserted", kGarbage, Verdict::Partial, 110 },
    { "restart", "flipped byte", kFlipped, Verdict::Partial, 110 },
    { "baseline", "head lost", kHeadLost, Verdict::Unrecoverable, 0 },
    { "baseline", "head zeroed", kHeadZeroed, Verdict::Unrecoverable, 0 },
    { "baseline", "text-mode transfer", kTextTransfer, Verdict::Repaired, 128 },
    // A start lost inside the metadata: the image's own headers after it are found; a thumbnail's are not
    // taken for them.
    { "thumbnail", "intact", kAsIs, Verdict::Intact, 128 },
    { "thumbnail", "head zeroed", [](Bytes b) { return Zero(b, 0, 1024); }, Verdict::Partial, 128 },
    { "thumbnail", "head lost", [](Bytes b) { return Bytes(b.begin() + 1500, b.end()); }, Verdict::Partial,
        128 },
    { "thumbnail", "head and frame zeroed", kHeadAndFrameZeroed, Verdict::Unrecoverable, 0 },
};

TEST(JpegRepair, EveryKindOfDamage)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(c.fixture) + ", " + c.damage);
        const Bytes original = ReadFile(std::string(QUILLON_FIXTURES "/image/") + c.fixture + ".jpg");
        const Pixels truth = Decode(original);
        ASSERT_TRUE(truth.ok);
        TempDir dir;
        const std::string source = dir.Path("damaged.jpg");
        const std::string output = dir.Path("fixed.jpg");
        WriteFile(source, c.apply(original));
        const Snapshot before = Snap(source);

        std::vector<std::unique_ptr<Repairer>> families;
        families.push_back(std::make_unique<JpegRepairer>());
        Progress progress;
        const Report report = RepairFile(families, source, output, progress);

        EXPECT_EQ(report.Outcome, c.verdict) << (report.Messages.empty() ? "" : report.Messages[0]);
        EXPECT_EQ(Snap(source), before) << "the source changed";
        const bool written = c.verdict == Verdict::Repaired || c.verdict == Verdict::Partial;
        EXPECT_EQ(List(dir.Path()).size(), written ? 2u : 1u) << "a file was left, or none written";
        if (!written)
            continue;
        if (c.verdict == Verdict::Repaired) {
            EXPECT_EQ(report.PartsRecovered, report.PartsTotal);
        }
        const Pixels fixed = Decode(ReadFile(output));
        EXPECT_TRUE(fixed.ok);
        EXPECT_EQ(fixed.warnings, 0) << "the fixed file still draws a decoder warning";
        EXPECT_EQ(fixed.width, truth.width);
        EXPECT_EQ(fixed.height, truth.height);
        EXPECT_GE(SameRows(truth, fixed), c.rows);
    }
}

} // namespace

namespace {

// The baseline fixture with its frame claiming the largest image a JPEG can, over the data it has.
TEST(JpegRepair, HugeClaimOverLittleDataEndsWithAMessage)
{
    Bytes b = ReadFile(QUILLON_FIXTURES "/image/baseline.jpg");
    for (size_t i = 0; i + 8 < b.size(); ++i)
        if (b[i] == 0xFF && b[i + 1] == 0xC0) {
            std::fill(b.begin() + long(i + 5), b.begin() + long(i + 9), 0xFF);
            break;
        }
    TempDir dir;
    WriteFile(dir.Path("huge.jpg"), b);
    std::vector<std::unique_ptr<Repairer>> families;
    families.push_back(std::make_unique<JpegRepairer>());
    Progress progress;
    const Report report = RepairFile(families, dir.Path("huge.jpg"), dir.Path("fixed.jpg"), progress);
    EXPECT_EQ(report.Outcome, Verdict::Unrecoverable);
    EXPECT_FALSE(Exists(dir.Path("fixed.jpg")));
    ASSERT_FALSE(report.Messages.empty());
    EXPECT_NE(report.Messages[0].find("65535 x 65535"), std::string::npos) << report.Messages[0];
}

} // namespace
