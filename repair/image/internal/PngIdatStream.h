// SPDX-License-Identifier: MIT
#pragma once

#include "PngFormat.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>
#include <zlib.h>

namespace repair {

class PngChunkWriter;
class Progress;

// What decoding the image data gave.
struct PngStreamResult {
    uint64_t RowsRecovered = 0; // rows of the stream decoded whole from data the checksums vouch for
    uint64_t RowsKept = 0; // and those decoded whole from damaged data after them
    uint64_t RowsTotal = 0;
    bool Complete = false; // every row, the stream's end and its checksum found, nothing more
    std::string Problem; // why decoding stopped early
};

// Decodes the compressed image data as it comes (never the whole image in memory) and checks it row by
// row. Given a writer, writes the data anew: the compressed bytes exactly as they stand up to the last
// whole block before the damage, then the rows decoded after it and fill rows for the rest, compressed
// again, so that every pixel decoded is kept and the image keeps its size.
class PngIdatStream {
public:
    // `fill` holds one pixel of the colour for rows lost (a byte for depths under 8, repeated).
    PngIdatStream(const PngHeader& header, std::vector<uint8_t> fill, Progress& progress);
    ~PngIdatStream();
    PngIdatStream(const PngIdatStream&) = delete;
    PngIdatStream& operator=(const PngIdatStream&) = delete;

    // `next` copies the following compressed bytes into the buffer and returns how many; 0 at the end of
    // what is known. The first `proven` of them are known right; the rest are used while they decode.
    using Input = std::function<size_t(uint8_t*, size_t)>;
    PngStreamResult Run(const Input& next, uint64_t proven, PngChunkWriter* out);

private:
    void Accept(const uint8_t* raw, size_t count);
    void Boundary(uint64_t bit);
    void StartReencoding();
    void Deflate(const uint8_t* raw, size_t count, int flush = Z_NO_FLUSH);
    void FillRest();

    PngHeader m_header;
    PngRowCursor m_cursor;
    std::vector<uint8_t> m_fill;
    Progress& m_progress;
    PngChunkWriter* m_out = nullptr;
    enum class Mode { Check, Copy, Reencode } m_mode = Mode::Check;
    uint64_t m_produced = 0;
    uint64_t m_provenProduced = 0;
    std::vector<uint8_t> m_held; // compressed bytes from the byte of the last block boundary on
    uint64_t m_heldStart = 0;
    uint64_t m_boundaryBit = 0;
    bool m_boundarySeen = false;
    std::vector<uint8_t> m_pendingRaw; // decoded since the last block boundary
    uLong m_adler = 1;
    z_stream m_deflate {};
    bool m_deflating = false;
    std::vector<uint8_t> m_deflated;
    std::vector<uint8_t>* m_capture = nullptr; // compressed bytes go here instead of out when set
};

} // namespace repair
