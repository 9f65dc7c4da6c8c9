// SPDX-License-Identifier: MIT
#pragma once

#include "ByteReader.h"
#include "Errors.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace repair {

class Progress;

// What the walk of a GIF file found: its frames and the plan of the fixed file.
struct GifFindings {
    bool Damaged = false;
    bool TooLarge = false; // a frame claims more pixels than any real one holds
    uint32_t Width = 0, Height = 0;
    uint64_t Frames = 0, WholeFrames = 0, FramesWritten = 0;
    uint64_t Rows = 0, RowsKept = 0;
    std::vector<std::string> Lost, Messages;
};

// Walks a GIF file's blocks: the header, every extension and frame, the trailer. A frame whose data
// decodes whole is copied as it stands; a damaged one keeps every pixel that decodes and is coded anew,
// the rest filled with its transparent colour (or the background), so that it keeps its size. Damage
// between blocks is skipped to the next block that holds together.
class GifWalk {
public:
    GifWalk(ByteReader& source, Progress& progress);

    GifFindings Run();
    // Writes the fixed file, in pieces of at most 64 KB, to `write(bytes, count)`.
    template <class Write> void Emit(Write&& write);

    // Frames above this many pixels are refused: nothing real is that large, and a fill would take long.
    static constexpr uint64_t kMaxFramePixels = uint64_t(1) << 28;

private:
    struct Piece {
        uint64_t Offset = 0, Length = 0; // copied
        std::vector<uint8_t> Bytes; // ours
        // A frame coded anew: its data from Offset (the first sub-block), `Kept` pixels of it, then `Fill`.
        bool Recode = false;
        int MinCodeSize = 0;
        uint64_t Kept = 0, Pixels = 0;
        uint8_t Fill = 0;
    };

    int ByteAt(uint64_t offset);
    bool Read(uint64_t offset, uint8_t* out, size_t n);
    // The end of the sub-block chain from `at`; false when it runs past the file's end.
    bool ChainEnd(uint64_t at, uint64_t& end);
    bool PlausibleBlock(uint64_t at);
    bool Resync(uint64_t from, uint64_t& at);
    bool Frame(uint64_t at, uint64_t& next);
    void Copy(uint64_t offset, uint64_t length);
    void RecodeFrame(const Piece& piece, const std::function<void(const uint8_t*, size_t)>& write);

    ByteReader& m_source;
    Progress& m_progress;
    std::vector<uint8_t> m_cache;
    uint64_t m_cacheStart = 0;
    size_t m_cacheLength = 0;
    std::vector<Piece> m_pieces;
    GifFindings m_found;
    uint8_t m_background = 0;
    unsigned m_globalColours = 0;
    int m_transparent = -1; // from the graphic control extension before the next frame
};

template <class Write> void GifWalk::Emit(Write&& write)
{
    std::vector<uint8_t> buffer(64 * 1024);
    for (const Piece& p : m_pieces) {
        if (p.Recode) {
            RecodeFrame(p, write);
        } else if (!p.Bytes.empty()) {
            write(p.Bytes.data(), p.Bytes.size());
        } else {
            for (uint64_t done = 0; done < p.Length;) {
                const size_t n = size_t(std::min<uint64_t>(buffer.size(), p.Length - done));
                if (!Read(p.Offset + done, buffer.data(), n))
                    throw ReadError("the source became shorter while it was read");
                write(buffer.data(), n);
                done += n;
            }
        }
    }
}

} // namespace repair
