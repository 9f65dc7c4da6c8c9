// SPDX-License-Identifier: MIT
#include "PngIdatStream.h"
#include "AtomicSink.h"
#include "PngChunkWriter.h"
#include "PngFormat.h"
#include "Progress.h"
#include "RepairTestFiles.h"

#include <gtest/gtest.h>

#include <random>
#include <zlib.h>

using namespace repair;
using namespace repairtest;

namespace {

constexpr uint32_t kWidth = 37, kHeight = 23;
constexpr size_t kRow = kWidth * 3 + 1;

// Rows of random filtered bytes (any bytes are valid filtered data), compressed in many small blocks
// that end at odd bits, so that every way of copying up to a block boundary is exercised.
struct Stream {
    Bytes Raw, Compressed;
};

Stream MakeStream()
{
    Stream s;
    std::mt19937 random(5);
    for (uint32_t y = 0; y < kHeight; ++y) {
        s.Raw.push_back(uint8_t(y % 5));
        for (size_t x = 1; x < kRow; ++x)
            s.Raw.push_back(uint8_t(x % 7 == 0 ? random() : x * y));
    }
    z_stream z {};
    deflateInit(&z, 6);
    s.Compressed.resize(compressBound(uLong(s.Raw.size())) + 1024);
    z.next_out = s.Compressed.data();
    z.avail_out = uInt(s.Compressed.size());
    for (uint32_t y = 0; y < kHeight; ++y) {
        z.next_in = &s.Raw[y * kRow];
        z.avail_in = uInt(kRow);
        deflate(&z, y % 3 == 2 ? Z_BLOCK : Z_NO_FLUSH);
    }
    deflate(&z, Z_FINISH);
    s.Compressed.resize(z.total_out);
    deflateEnd(&z);
    return s;
}

// The image data of a PNG file written by the writer, decompressed.
Bytes Decoded(const std::string& path)
{
    const Bytes file = ReadFile(path);
    Bytes data;
    for (size_t at = 8; at + 12 <= file.size();) {
        const uint32_t length = Be32(&file[at]);
        if (Be32(&file[at + 4]) == kIdat)
            data.insert(data.end(), file.begin() + std::ptrdiff_t(at + 8),
                file.begin() + std::ptrdiff_t(at + 8 + length));
        at += 12 + length;
    }
    Bytes raw(kRow * kHeight + 1);
    uLongf n = raw.size();
    if (uncompress(raw.data(), &n, data.data(), uLong(data.size())) != Z_OK)
        return {};
    raw.resize(n);
    return raw;
}

// What zlib itself decodes from the first `count` compressed bytes.
size_t Decodable(const Bytes& compressed, size_t count)
{
    z_stream z {};
    inflateInit(&z);
    Bytes out(kRow * kHeight + 64);
    z.next_in = const_cast<uint8_t*>(compressed.data());
    z.avail_in = uInt(count);
    z.next_out = out.data();
    z.avail_out = uInt(out.size());
    inflate(&z, Z_SYNC_FLUSH);
    const size_t n = z.total_out;
    inflateEnd(&z);
    return n;
}

// Cut anywhere, the stream written anew decodes to every byte decoded before the cut, the cut row
// completed with zeros, and fill rows after it; whole, it is copied byte for byte.
TEST(PngIdatStream, KeepsEveryDecodedByteWhereverTheCut)
{
    const Stream s = MakeStream();
    PngHeader header;
    header.Width = kWidth;
    header.Height = kHeight;
    header.Depth = 8;
    header.ColourType = 2;
    for (size_t cut = 0; cut <= s.Compressed.size(); cut += cut < 24 ? 1 : 29) {
        SCOPED_TRACE(cut);
        TempDir dir;
        const std::string path = dir.Path("out.png");
        Progress progress;
        PngStreamResult result;
        {
            AtomicSink sink(path);
            PngChunkWriter writer(sink);
            writer.Signature();
            PngIdatStream stream(header, { 0, 0, 0 }, progress);
            size_t fed = 0;
            result = stream.Run(
                [&](uint8_t* buffer, size_t count) {
                    const size_t n = std::min(count, cut - fed);
                    std::copy(s.Compressed.begin() + std::ptrdiff_t(fed),
                        s.Compressed.begin() + std::ptrdiff_t(fed + n), buffer);
                    fed += n;
                    return n;
                },
                cut, &writer);
            writer.Chunk(kIend, nullptr, 0);
            sink.Commit();
        }
        const size_t decodable = std::min(Decodable(s.Compressed, cut), s.Raw.size());
        EXPECT_EQ(result.RowsRecovered, decodable / kRow);
        EXPECT_EQ(result.Complete, cut == s.Compressed.size());
        Bytes expected(s.Raw.begin(), s.Raw.begin() + std::ptrdiff_t(decodable));
        expected.resize(s.Raw.size(), 0);
        ASSERT_EQ(Decoded(path), expected);
        if (result.Complete) {
            const Bytes file = ReadFile(path);
            EXPECT_NE(
                std::search(file.begin(), file.end(), s.Compressed.begin(), s.Compressed.end()), file.end())
                << "a whole stream is copied as it stands";
        }
    }
}

// The rows of an interlaced image's passes: seven runs, the empty ones left out.
TEST(PngIdatStream, InterlacedRowRuns)
{
    struct Row {
        uint32_t width, height;
        std::vector<std::pair<uint64_t, uint64_t>> runs; // bytes per row (filter byte included), rows
    };
    const Row kRows[] = {
        { 1, 1, { { 2, 1 } } },
        { 3, 2, { { 2, 1 }, { 2, 1 }, { 2, 1 }, { 4, 1 } } },
        { 8, 8, { { 2, 1 }, { 2, 1 }, { 3, 1 }, { 3, 2 }, { 5, 2 }, { 5, 4 }, { 9, 4 } } },
    };
    for (const Row& r : kRows) {
        SCOPED_TRACE(std::to_string(r.width) + " x " + std::to_string(r.height));
        PngHeader h;
        h.Width = r.width;
        h.Height = r.height;
        h.Depth = 8;
        h.ColourType = 0;
        h.Interlace = 1;
        std::vector<std::pair<uint64_t, uint64_t>> runs;
        for (const PngRowRun& run : RowRuns(h))
            runs.emplace_back(run.RowBytes, run.Rows);
        EXPECT_EQ(runs, r.runs);
    }
}

} // namespace
