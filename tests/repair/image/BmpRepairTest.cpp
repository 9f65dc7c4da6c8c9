// SPDX-License-Identifier: MIT
#include "BmpRepairer.h"
#include "ImageTestSupport.h"

#include <cstdio>

using namespace repair;
using namespace repairtest;
using namespace imagetest;

namespace {

// The image's pixels as RGBA rows from the top, decoded by ImageMagick; empty when it refuses.
std::vector<Bytes> Rows(const std::string& path, size_t width)
{
    const std::string raw = path + ".rgba";
    std::vector<Bytes> rows;
    if (!Accepted("convert -regard-warnings '" + path + "' -depth 8 'rgba:" + raw + "'"))
        return rows;
    const Bytes pixels = ReadFile(raw);
    std::remove(raw.c_str());
    for (size_t at = 0; at + width * 4 <= pixels.size(); at += width * 4)
        rows.emplace_back(
            pixels.begin() + std::ptrdiff_t(at), pixels.begin() + std::ptrdiff_t(at + width * 4));
    return rows;
}

struct Case {
    const char* fixture;
    const char* damage;
    Damage apply;
    Verdict verdict;
    size_t rows; // rows expected identical to the original's, at least
};

// rgb24.bmp: 70 x 50, 24 bits, rows of 212 bytes from 54; palette8.bmp: 70 x 50, rows of 72 bytes from
// 1078. Both store the bottom row first.
const Case kCases[] = {
    { "rgb24", "intact", kAsIs, Verdict::Intact, 50 },
    { "palette8", "intact", kAsIs, Verdict::Intact, 50 },
    { "rgb24", "cut at 80 %", Cut(0.8), Verdict::Partial, 39 },
    { "palette8", "cut at 80 %", Cut(0.8), Verdict::Partial, 36 },
    { "rgb24", "cut inside a row", EndLost(5000), Verdict::Partial, 26 },
    { "rgb24", "garbage inserted", Insert(4000, 300), Verdict::Repaired, 50 },
    { "rgb24", "text-mode transfer", kTextTransfer, Verdict::Repaired, 50 },
    { "palette8", "text-mode transfer", kTextTransfer, Verdict::Repaired, 50 },
    { "rgb24", "signature zeroed", Zero(0, 2), Verdict::Repaired, 50 },
    { "rgb24", "offset damaged", Flip({ 11 }), Verdict::Repaired, 50 },
    { "rgb24", "zeroed sector", Zero(4096, 4096), Verdict::Partial, 30 },
    { "rgb24", "head lost", HeadLost(30), Verdict::Unrecoverable, 0 },
};

TEST(BmpRepair, EveryKindOfDamage)
{
    constexpr size_t kWidth = 70;
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(c.fixture) + ", " + c.damage);
        const std::string fixture = std::string(QUILLON_FIXTURES "/image/") + c.fixture + ".bmp";
        const std::vector<Bytes> original = Rows(fixture, kWidth);
        ASSERT_EQ(original.size(), 50u);
        TempDir dir;
        const std::string output = dir.Path("fixed.bmp");
        const Outcome o = RepairBytes(
            dir, "damaged.bmp", c.apply(ReadFile(fixture)), std::make_unique<BmpRepairer>(), output);
        EXPECT_EQ(o.Report.Outcome, c.verdict) << (o.Report.Messages.empty() ? "" : o.Report.Messages.back());
        EXPECT_EQ(o.Report.Format, "bmp");
        if (!o.Written)
            continue;
        const std::vector<Bytes> fixed = Rows(output, kWidth);
        ASSERT_EQ(fixed.size(), original.size()) << "the image lost its size, or its reader refused it";
        size_t same = 0;
        for (size_t y = 0; y < fixed.size(); ++y)
            same += fixed[y] == original[y];
        // Rows kept are the stored ones: the bottom ones first.
        EXPECT_EQ(fixed.back(), original.back());
        EXPECT_GE(same, c.rows);
        EXPECT_GE(same, o.Report.PartsRecovered);
        EXPECT_EQ(o.Report.PartsRecovered == o.Report.PartsTotal, c.verdict == Verdict::Repaired);
    }
}

// A header that claims more than any file backs is refused before anything is allocated for it, and one
// that claims far more than the file holds before gigabytes of fill are written.
TEST(BmpRepair, HostileClaims)
{
    struct Claim {
        uint32_t width, height;
        const char* message;
    };
    for (const Claim& c :
        { Claim { 100000, 100000, "more than can be repaired" }, Claim { 16000, 16000, "only" } }) {
        SCOPED_TRACE(c.width);
        Bytes file = ReadFile(QUILLON_FIXTURES "/image/rgb24.bmp");
        for (int i = 0; i < 4; ++i) {
            file[18 + size_t(i)] = uint8_t(c.width >> (8 * i));
            file[22 + size_t(i)] = uint8_t(c.height >> (8 * i));
        }
        TempDir dir;
        const Outcome o
            = RepairBytes(dir, "claim.bmp", file, std::make_unique<BmpRepairer>(), dir.Path("fixed.bmp"));
        EXPECT_EQ(o.Report.Outcome, Verdict::Unrecoverable);
        ASSERT_FALSE(o.Report.Messages.empty());
        EXPECT_NE(o.Report.Messages.back().find(c.message), std::string::npos) << o.Report.Messages.back();
    }
}

} // namespace
