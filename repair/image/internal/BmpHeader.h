// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>

namespace repair {

inline uint32_t BmpLe32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
inline uint16_t BmpLe16(const uint8_t* p)
{
    return uint16_t(p[0] | p[1] << 8);
}
inline void BmpPut32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(v >> (8 * i));
}

// The headers of a bitmap and what follows from them: where its pixels are, how long a row is, and what
// the file's own size and offset fields say.
struct BmpHeader {
    static constexpr size_t kFileHeader = 14;
    static constexpr size_t kMaxHeaders = 14 + 124 + 16 + 256 * 4; // every header and the largest palette

    uint32_t DeclaredFileSize = 0;
    uint32_t DeclaredOffset = 0;
    uint32_t InfoSize = 0;
    int64_t Width = 0;
    int64_t Height = 0; // negative: rows stored top first
    uint16_t BitsPerPixel = 0;
    uint32_t Compression = 0;
    uint32_t DeclaredImageSize = 0;
    uint32_t PaletteEntries = 0;
    uint64_t MinimumOffset = 0; // the end of the headers, masks and palette
    uint64_t Offset = 0; // where the pixels are taken to begin
    uint64_t Stride = 0; // bytes of a row, padding included
    uint64_t Rows = 0;

    // Reads the headers from the first bytes of a file (`count` of them); false with `why` when they are
    // not a bitmap's, use a compression that is not repaired here, or claim more than can be handled.
    bool Parse(const uint8_t* head, size_t count, uint64_t fileSize, std::string& why);
    uint64_t ImageBytes() const { return Stride * Rows; }
};

} // namespace repair
