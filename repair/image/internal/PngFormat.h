// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace repair {

inline uint32_t Be32(const uint8_t* p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}
inline void PutBe32(uint8_t* p, uint32_t v)
{
    p[0] = uint8_t(v >> 24);
    p[1] = uint8_t(v >> 16);
    p[2] = uint8_t(v >> 8);
    p[3] = uint8_t(v);
}
constexpr uint32_t ChunkType(const char (&name)[5])
{
    return uint32_t(uint8_t(name[0])) << 24 | uint32_t(uint8_t(name[1])) << 16
        | uint32_t(uint8_t(name[2])) << 8 | uint32_t(uint8_t(name[3]));
}
std::string ChunkName(uint32_t type);

constexpr uint8_t kPngSignature[8] = { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n' };
constexpr uint32_t kIhdr = ChunkType("IHDR");
constexpr uint32_t kPlte = ChunkType("PLTE");
constexpr uint32_t kIdat = ChunkType("IDAT");
constexpr uint32_t kIend = ChunkType("IEND");
constexpr uint32_t kTrns = ChunkType("tRNS");
constexpr uint32_t kBkgd = ChunkType("bKGD");
constexpr uint32_t kMaxChunkLength = 0x7fffffff;
// A row buffer is the only large allocation: bounded, and so is the work an image may claim.
constexpr uint64_t kMaxRowBytes = uint64_t(1) << 28;
constexpr uint64_t kMaxPixels = uint64_t(1) << 30;

// Four letters: what every chunk type is.
bool LooksLikeChunkType(uint32_t type);
// Types common enough that finding one after damage is a sign of a real chunk.
bool KnownChunkType(uint32_t type);

// The image header and what follows from it: the rows of the stream, pass by pass.
struct PngHeader {
    uint32_t Width = 0;
    uint32_t Height = 0;
    uint8_t Depth = 0;
    uint8_t ColourType = 0;
    uint8_t Interlace = 0;

    // Fills from the 13 bytes of the header chunk; false with `why` when the values are not an image's
    // or claim more than can be handled.
    bool Parse(const uint8_t* data, std::string& why);
    unsigned Channels() const;
    unsigned BitsPerPixel() const { return Channels() * Depth; }
    bool HasAlpha() const { return ColourType == 4 || ColourType == 6; }
    // Bytes of a row `width` pixels wide, its filter byte included.
    uint64_t RowBytes(uint32_t width) const { return (uint64_t(width) * BitsPerPixel() + 7) / 8 + 1; }
};

// One run of rows of equal length in the stream: the whole image, or one pass of seven.
struct PngRowRun {
    uint64_t RowBytes = 0; // filter byte included
    uint64_t Rows = 0;
};
// The stream's runs, empty passes left out.
std::vector<PngRowRun> RowRuns(const PngHeader& header);

// Where a position of the decoded stream falls: the run, the row in it, the byte in the row.
class PngRowCursor {
public:
    explicit PngRowCursor(std::vector<PngRowRun> runs);
    uint64_t TotalBytes() const { return m_total; }
    uint64_t TotalRows() const { return m_totalRows; }
    // Rows complete when `bytes` of the stream are known.
    uint64_t RowsWithin(uint64_t bytes) const;
    // Calls `visit(position)` for every row start in [from, to).
    template <class Visit> void RowStarts(uint64_t from, uint64_t to, Visit visit) const;
    // Start of the row holding `position`, and its length.
    void RowAt(uint64_t position, uint64_t& start, uint64_t& length) const;
    const std::vector<PngRowRun>& Runs() const { return m_runs; }

private:
    std::vector<PngRowRun> m_runs;
    std::vector<uint64_t> m_runStart; // stream position of each run
    std::vector<uint64_t> m_rowsBefore;
    uint64_t m_total = 0;
    uint64_t m_totalRows = 0;
};

template <class Visit> void PngRowCursor::RowStarts(uint64_t from, uint64_t to, Visit visit) const
{
    to = std::min(to, m_total);
    while (from < to) {
        uint64_t start = 0, length = 0;
        RowAt(from, start, length);
        if (start < from)
            start += length;
        if (start >= to)
            return;
        visit(start);
        from = start + 1;
    }
}

} // namespace repair
