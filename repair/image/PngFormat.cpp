// SPDX-License-Identifier: MIT
#include "PngFormat.h"

#include <algorithm>

namespace repair {

std::string ChunkName(uint32_t type)
{
    std::string name;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const char c = char(type >> shift);
        name.push_back(c >= 0x20 && c < 0x7f ? c : '?');
    }
    return name;
}

bool LooksLikeChunkType(uint32_t type)
{
    for (int shift = 24; shift >= 0; shift -= 8) {
        const uint8_t c = uint8_t(type >> shift);
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')))
            return false;
    }
    return true;
}

bool KnownChunkType(uint32_t type)
{
    static constexpr uint32_t kKnown[]
        = { kIhdr, kPlte, kIdat, kIend, kTrns, kBkgd, ChunkType("gAMA"), ChunkType("cHRM"), ChunkType("sRGB"),
              ChunkType("iCCP"), ChunkType("tEXt"), ChunkType("zTXt"), ChunkType("iTXt"), ChunkType("pHYs"),
              ChunkType("tIME"), ChunkType("sBIT"), ChunkType("hIST"), ChunkType("sPLT"), ChunkType("eXIf"),
              ChunkType("oFFs"), ChunkType("vpAg"), ChunkType("acTL"), ChunkType("fcTL"), ChunkType("fdAT") };
    return std::find(std::begin(kKnown), std::end(kKnown), type) != std::end(kKnown);
}

bool PngHeader::Parse(const uint8_t* data, std::string& why)
{
    Width = Be32(data);
    Height = Be32(data + 4);
    Depth = data[8];
    ColourType = data[9];
    Interlace = data[12];
    bool depthOk = false;
    switch (ColourType) {
    case 0:
        depthOk = Depth == 1 || Depth == 2 || Depth == 4 || Depth == 8 || Depth == 16;
        break;
    case 3:
        depthOk = Depth == 1 || Depth == 2 || Depth == 4 || Depth == 8;
        break;
    case 2:
    case 4:
    case 6:
        depthOk = Depth == 8 || Depth == 16;
        break;
    default:
        break;
    }
    if (Width == 0 || Height == 0 || Width > kMaxChunkLength || Height > kMaxChunkLength || !depthOk
        || data[10] != 0 || data[11] != 0 || Interlace > 1) {
        why = "the image header holds values no image has";
        return false;
    }
    if (uint64_t(Width) * Height > kMaxPixels || RowBytes(Width) > kMaxRowBytes) {
        why = "the image claims " + std::to_string(Width) + " x " + std::to_string(Height)
            + " pixels, more than can be repaired safely";
        return false;
    }
    return true;
}

unsigned PngHeader::Channels() const
{
    switch (ColourType) {
    case 2:
        return 3;
    case 4:
        return 2;
    case 6:
        return 4;
    default:
        return 1;
    }
}

std::vector<PngRowRun> RowRuns(const PngHeader& header)
{
    std::vector<PngRowRun> runs;
    if (!header.Interlace) {
        runs.push_back({ header.RowBytes(header.Width), header.Height });
        return runs;
    }
    static constexpr uint32_t kStartX[7] = { 0, 4, 0, 2, 0, 1, 0 };
    static constexpr uint32_t kStartY[7] = { 0, 0, 4, 0, 2, 0, 1 };
    static constexpr uint32_t kStepX[7] = { 8, 8, 4, 4, 2, 2, 1 };
    static constexpr uint32_t kStepY[7] = { 8, 8, 8, 4, 4, 2, 2 };
    for (int pass = 0; pass < 7; ++pass) {
        const uint64_t w = header.Width > kStartX[pass]
            ? (uint64_t(header.Width) - kStartX[pass] + kStepX[pass] - 1) / kStepX[pass]
            : 0;
        const uint64_t h = header.Height > kStartY[pass]
            ? (uint64_t(header.Height) - kStartY[pass] + kStepY[pass] - 1) / kStepY[pass]
            : 0;
        if (w && h)
            runs.push_back({ header.RowBytes(uint32_t(w)), h });
    }
    return runs;
}

PngRowCursor::PngRowCursor(std::vector<PngRowRun> runs)
    : m_runs(std::move(runs))
{
    for (const PngRowRun& run : m_runs) {
        m_runStart.push_back(m_total);
        m_rowsBefore.push_back(m_totalRows);
        m_total += run.RowBytes * run.Rows;
        m_totalRows += run.Rows;
    }
}

uint64_t PngRowCursor::RowsWithin(uint64_t bytes) const
{
    if (bytes >= m_total)
        return m_totalRows;
    const size_t run
        = size_t(std::upper_bound(m_runStart.begin(), m_runStart.end(), bytes) - m_runStart.begin()) - 1;
    return m_rowsBefore[run] + (bytes - m_runStart[run]) / m_runs[run].RowBytes;
}

void PngRowCursor::RowAt(uint64_t position, uint64_t& start, uint64_t& length) const
{
    const size_t run
        = size_t(std::upper_bound(m_runStart.begin(), m_runStart.end(), position) - m_runStart.begin()) - 1;
    length = m_runs[run].RowBytes;
    start = m_runStart[run] + (position - m_runStart[run]) / length * length;
}

} // namespace repair
