// SPDX-License-Identifier: MIT
#include "ImageTestSupport.h"
#include "PngRepairer.h"

#include <png.h>

#include <cstring>
#include <zlib.h>

using namespace repair;
using namespace repairtest;
using namespace imagetest;

namespace {

// The image's pixels as 8-bit RGBA rows, decoded by the format's own library; empty when it refuses.
std::vector<Bytes> Rows(const std::string& path)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    std::vector<Bytes> rows;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return rows;
    image.format = PNG_FORMAT_RGBA;
    Bytes pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
        png_image_free(&image);
        return rows;
    }
    const size_t stride = PNG_IMAGE_ROW_STRIDE(image);
    for (size_t y = 0; y < image.height; ++y)
        rows.emplace_back(
            pixels.begin() + std::ptrdiff_t(y * stride), pixels.begin() + std::ptrdiff_t((y + 1) * stride));
    return rows;
}

size_t SameRows(const std::vector<Bytes>& a, const std::vector<Bytes>& b)
{
    size_t same = 0;
    for (size_t y = 0; y < std::min(a.size(), b.size()); ++y)
        same += a[y] == b[y];
    return same;
}

// A transfer that gives only the LFs without a CR one.
const Damage kLoneLfTransfer = [](const Bytes& b) {
    Bytes out;
    for (size_t i = 0; i < b.size(); ++i) {
        if (b[i] == '\n' && (i == 0 || b[i - 1] != '\r'))
            out.push_back('\r');
        out.push_back(b[i]);
    }
    return out;
};

struct Case {
    const char* fixture;
    const char* damage;
    Damage apply;
    Verdict verdict;
    size_t rows; // rows expected identical to the original's, at least
};

// photo.png: 160 x 120, its data in two chunks: the first chunk's data at 41 to 32809, the second
// chunk's header at 32813.
const Case kCases[] = {
    { "photo", "intact", kAsIs, Verdict::Intact, 0 },
    { "palette", "intact", kAsIs, Verdict::Intact, 0 },
    { "rgba-interlaced", "intact", kAsIs, Verdict::Intact, 0 },
    { "photo", "cut at 80 %", Cut(0.8), Verdict::Partial, 90 },
    { "palette", "cut at 80 %", Cut(0.8), Verdict::Partial, 40 },
    { "rgba-interlaced", "cut at 80 %", Cut(0.8), Verdict::Partial, 0 },
    { "photo", "end lost", EndLost(100), Verdict::Partial, 115 },
    { "photo", "one damaged byte, put right", Flip({ 5000 }), Verdict::Repaired, 120 },
    { "palette", "one damaged byte, put right", Flip({ 500 }), Verdict::Repaired, 60 },
    { "photo", "damaged checksum", Flip({ 32810 }), Verdict::Repaired, 120 },
    { "photo", "damaged length", Flip({ 32815 }), Verdict::Repaired, 120 },
    { "photo", "damaged length, past the end", Flip({ 32814 }), Verdict::Repaired, 120 },
    { "photo", "damaged type", Flip({ 32818 }), Verdict::Repaired, 120 },
    { "photo", "two damaged bytes in a chunk", Flip({ 20000, 30000 }), Verdict::Partial, 60 },
    { "photo", "zeroed sector", Zero(16384, 4096), Verdict::Partial, 50 },
    { "photo", "garbage inserted", Insert(10000, 1024), Verdict::Repaired, 120 },
    { "photo", "garbage between chunks", Insert(32813, 300), Verdict::Repaired, 120 },
    { "photo", "text-mode transfer", kTextTransfer, Verdict::Repaired, 120 },
    { "rgba-interlaced", "text-mode transfer", kTextTransfer, Verdict::Repaired, 64 },
    { "photo", "text-mode transfer of lone LFs", kLoneLfTransfer, Verdict::Repaired, 120 },
    { "photo", "signature zeroed", Zero(0, 8), Verdict::Repaired, 120 },
    { "photo", "head lost", HeadLost(100), Verdict::Unrecoverable, 0 },
};

TEST(PngRepair, EveryKindOfDamage)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(c.fixture) + ", " + c.damage);
        const std::string fixture = std::string(QUILLON_FIXTURES "/image/") + c.fixture + ".png";
        const std::vector<Bytes> original = Rows(fixture);
        ASSERT_FALSE(original.empty());
        TempDir dir;
        const std::string output = dir.Path("fixed.png");
        const Outcome o = RepairBytes(
            dir, "damaged.png", c.apply(ReadFile(fixture)), std::make_unique<PngRepairer>(), output);
        EXPECT_EQ(o.Report.Outcome, c.verdict) << (o.Report.Messages.empty() ? "" : o.Report.Messages.back());
        EXPECT_EQ(o.Report.Format, "png");
        if (!o.Written)
            continue;
        EXPECT_TRUE(Accepted("pngcheck -q '" + output + "'"));
        EXPECT_TRUE(Accepted("identify -regard-warnings '" + output + "'"));
        const std::vector<Bytes> fixed = Rows(output);
        ASSERT_EQ(fixed.size(), original.size()) << "the image lost its size";
        const size_t same = SameRows(original, fixed);
        EXPECT_GE(same, c.rows);
        // Rows the report counts as recovered are the original's (for an interlaced image, pass rows).
        if (c.fixture != std::string("rgba-interlaced")) {
            EXPECT_GE(same, o.Report.PartsRecovered);
        }
        EXPECT_EQ(o.Report.PartsRecovered == o.Report.PartsTotal, c.verdict == Verdict::Repaired);
    }
}

// Lost rows take the transparent entry of the palette, and transparent black where there is alpha.
TEST(PngRepair, LostRowsAreTransparent)
{
    for (const char* name : { "palette", "rgba-interlaced" }) {
        SCOPED_TRACE(name);
        const std::string fixture = std::string(QUILLON_FIXTURES "/image/") + name + ".png";
        TempDir dir;
        const std::string output = dir.Path("fixed.png");
        RepairBytes(dir, "damaged.png", Cut(0.5)(ReadFile(fixture)), std::make_unique<PngRepairer>(), output);
        const std::vector<Bytes> fixed = Rows(output);
        ASSERT_FALSE(fixed.empty());
        const Bytes& last = fixed.back();
        for (size_t x = 3; x < last.size(); x += 4)
            ASSERT_EQ(last[x], 0) << "pixel " << x / 4 << " is not transparent";
    }
}

Bytes Chunk(const char* type, const Bytes& data)
{
    Bytes out;
    auto put32 = [&](uint32_t v) {
        for (int shift = 24; shift >= 0; shift -= 8)
            out.push_back(uint8_t(v >> shift));
    };
    put32(uint32_t(data.size()));
    for (int i = 0; i < 4; ++i)
        out.push_back(uint8_t(type[i]));
    out.insert(out.end(), data.begin(), data.end());
    put32(uint32_t(crc32(0, out.data() + 4, uInt(4 + data.size()))));
    return out;
}

Bytes Image(uint32_t width, uint32_t height, const Bytes& raw)
{
    Bytes header = { uint8_t(width >> 24), uint8_t(width >> 16), uint8_t(width >> 8), uint8_t(width),
        uint8_t(height >> 24), uint8_t(height >> 16), uint8_t(height >> 8), uint8_t(height), 8, 2, 0, 0, 0 };
    Bytes compressed(compressBound(uLong(raw.size())));
    uLongf n = compressed.size();
    compress(compressed.data(), &n, raw.data(), uLong(raw.size()));
    compressed.resize(n);
    Bytes file = { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n' };
    for (const Bytes& c : { Chunk("IHDR", header), Chunk("IDAT", compressed) })
        file.insert(file.end(), c.begin(), c.end());
    return file;
}

// Claims no file could back: refused before anything is allocated for them, or filled quickly.
TEST(PngRepair, HostileClaims)
{
    struct Hostile {
        const char* what;
        uint32_t width, height;
        size_t rawRows;
        Verdict verdict;
        const char* message;
    };
    const Hostile kHostile[] = {
        { "100000 x 100000 pixels", 100000, 100000, 1, Verdict::Unrecoverable, "pixels" },
        { "a stream larger than the image", 16, 4, 400, Verdict::Repaired, "more than the image" },
        { "8000 x 8000 pixels from three rows", 8000, 8000, 3, Verdict::Partial, "recovered" },
    };
    for (const Hostile& h : kHostile) {
        SCOPED_TRACE(h.what);
        const Bytes raw(h.rawRows * (uint64_t(h.width) * 3 + 1), 0);
        TempDir dir;
        const Outcome o = RepairBytes(dir, "claim.png", Image(h.width, h.height, raw),
            std::make_unique<PngRepairer>(), dir.Path("fixed.png"));
        EXPECT_EQ(o.Report.Outcome, h.verdict);
        const auto& m = o.Report.Messages;
        EXPECT_TRUE(std::any_of(m.begin(), m.end(),
            [&](const std::string& s) { return s.find(h.message) != std::string::npos; }));
        if (o.Written && h.width * h.height < 1000000) {
            EXPECT_EQ(Rows(dir.Path("fixed.png")).size(), h.height);
        }
    }
}

} // namespace
