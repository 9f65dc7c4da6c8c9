// SPDX-License-Identifier: MIT
#include "GifLzwDecoder.h"
#include "GifLzwEncoder.h"
#include "GifRepairer.h"
#include "Progress.h"
#include "RepairFile.h"
#include "RepairTestFiles.h"

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <functional>
#include <random>

using namespace repair;
using namespace repairtest;

namespace {

using Damage = std::function<Bytes(Bytes)>;

// Every frame's rows of palette indexes, as the system's GIF library reads them; empty when it cannot.
std::vector<Bytes> FrameRows(const std::string& path)
{
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
    std::vector<Bytes> rows;
    if (!gif)
        return rows;
    if (DGifSlurp(gif) == GIF_OK) {
        for (int i = 0; i < gif->ImageCount; ++i) {
            const SavedImage& image = gif->SavedImages[i];
            const size_t w = size_t(image.ImageDesc.Width), h = size_t(image.ImageDesc.Height);
            for (size_t y = 0; y < h; ++y)
                rows.emplace_back(image.RasterBits + y * w, image.RasterBits + (y + 1) * w);
        }
    }
    DGifCloseFile(gif, &error);
    return rows;
}

size_t SameRows(const std::vector<Bytes>& a, const std::vector<Bytes>& b)
{
    size_t same = 0;
    for (size_t y = 0; y < std::min(a.size(), b.size()); ++y)
        same += a[y] == b[y];
    return same;
}

const Damage kAsIs = [](Bytes b) { return b; };
const Damage kCut80 = [](Bytes b) { return Bytes(b.begin(), b.begin() + long(b.size() * 4 / 5)); };
const Damage kTrailerLost = [](Bytes b) { return Bytes(b.begin(), b.end() - 1); };
const Damage kZeroed = [](Bytes b) {
    std::fill(b.begin() + long(b.size() / 2), b.begin() + long(b.size() / 2 + 512), 0);
    return b;
};
const Damage kGarbage = [](Bytes b) {
    Bytes junk(300);
    for (size_t i = 0; i < junk.size(); ++i)
        junk[i] = uint8_t(i * 31 + 7);
    b.insert(b.begin() + long(b.size() / 2), junk.begin(), junk.end());
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
const Damage kHeadLost = [](Bytes b) { return Bytes(b.begin() + 100, b.end()); };

struct Case {
    const char* fixture;
    const char* damage;
    Damage apply;
    Verdict verdict;
    size_t rows; // rows expected identical to the original's, frame after frame
};

const Case kCases[] = {
    { "animation", "intact", kAsIs, Verdict::Intact, 540 },
    { "interlaced", "intact", kAsIs, Verdict::Intact, 128 },
    { "animation", "cut at 80 %", kCut80, Verdict::Partial, 432 },
    { "interlaced", "cut at 80 %", kCut80, Verdict::Partial, 101 },
    { "animation", "trailer lost", kTrailerLost, Verdict::Repaired, 540 },
    { "animation", "zeroed in the middle", kZeroed, Verdict::Partial, 265 },
    // The frames after the garbage come back whole.
    { "animation", "garbage inserted", kGarbage, Verdict::Partial, 535 },
    { "animation", "head lost", kHeadLost, Verdict::Unrecoverable, 0 },
    { "interlaced", "text-mode transfer", kTextTransfer, Verdict::Repaired, 128 },
};

TEST(GifRepair, EveryKindOfDamage)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(c.fixture) + ", " + c.damage);
        const std::string fixture = std::string(QUILLON_FIXTURES "/image/") + c.fixture + ".gif";
        const std::vector<Bytes> truth = FrameRows(fixture);
        ASSERT_FALSE(truth.empty());
        TempDir dir;
        const std::string source = dir.Path("damaged.gif");
        const std::string output = dir.Path("fixed.gif");
        WriteFile(source, c.apply(ReadFile(fixture)));
        const Snapshot before = Snap(source);

        std::vector<std::unique_ptr<Repairer>> families;
        families.push_back(std::make_unique<GifRepairer>());
        Progress progress;
        const Report report = RepairFile(families, source, output, progress);

        EXPECT_EQ(report.Outcome, c.verdict) << (report.Messages.empty() ? "" : report.Messages[0]);
        EXPECT_EQ(Snap(source), before) << "the source changed";
        const bool written = c.verdict == Verdict::Repaired || c.verdict == Verdict::Partial;
        EXPECT_EQ(List(dir.Path()).size(), written ? 2u : 1u) << "a file was left, or none written";
        if (!written)
            continue;
        const std::vector<Bytes> fixed = FrameRows(output);
        ASSERT_FALSE(fixed.empty()) << "the fixed file does not decode";
        EXPECT_GE(SameRows(truth, fixed), c.rows);
    }
}

// Pixels coded by our encoder decode to themselves, through table resets and code widths up to 12 bits.
TEST(GifLzw, RoundTrip)
{
    std::mt19937 random(3);
    for (const int minCodeSize : { 2, 4, 8 }) {
        Bytes pixels(200000);
        for (size_t i = 0; i < pixels.size(); ++i)
            pixels[i] = uint8_t((i / 7 % 3 == 0 ? random() : i / 50) % (1u << minCodeSize));
        GifLzwEncoder encoder(minCodeSize);
        encoder.Put(pixels.data(), pixels.size());
        encoder.Repeat(1, 5000);
        encoder.Finish();
        const Bytes blocks = encoder.Take();
        GifLzwDecoder decoder(minCodeSize);
        Bytes back;
        size_t at = 0;
        while (at < blocks.size() && blocks[at] != 0) {
            const size_t n = blocks[at];
            ASSERT_LE(at + 1 + n, blocks.size());
            ASSERT_TRUE(decoder.Feed(
                &blocks[at + 1], n, [&](const uint8_t* p, size_t k) { back.insert(back.end(), p, p + k); }));
            at += 1 + n;
        }
        EXPECT_EQ(at + 1, blocks.size()) << "the data ends with an empty sub-block";
        EXPECT_TRUE(decoder.Ended());
        pixels.insert(pixels.end(), 5000, 1);
        EXPECT_EQ(back, pixels) << "min code size " << minCodeSize;
    }
}

} // namespace

namespace {

// A frame that claims 65535 x 65535 pixels is refused before anything is decoded or filled.
TEST(GifRepair, HugeFrameRefused)
{
    Bytes b = ReadFile(QUILLON_FIXTURES "/image/animation.gif");
    const size_t table = size_t(3) << ((b[10] & 7) + 1);
    size_t at = 13 + table;
    while (b[at] == 0x21) { // extensions: label, then sub-blocks to an empty one
        at += 2;
        while (b[at])
            at += 1 + b[at];
        ++at;
    }
    ASSERT_EQ(b[at], 0x2C);
    std::fill(b.begin() + long(at + 5), b.begin() + long(at + 9), 0xFF);
    TempDir dir;
    WriteFile(dir.Path("huge.gif"), b);
    std::vector<std::unique_ptr<Repairer>> families;
    families.push_back(std::make_unique<GifRepairer>());
    Progress progress;
    const Report report = RepairFile(families, dir.Path("huge.gif"), dir.Path("fixed.gif"), progress);
    EXPECT_EQ(report.Outcome, Verdict::Unrecoverable);
    EXPECT_FALSE(Exists(dir.Path("fixed.gif")));
    ASSERT_FALSE(report.Messages.empty());
    EXPECT_NE(report.Messages[0].find("65535 x 65535"), std::string::npos) << report.Messages[0];
}

} // namespace
