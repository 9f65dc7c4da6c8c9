// SPDX-License-Identifier: MIT
#pragma once

#include "ByteWindow.h"
#include "Mp3Header.h"

#include <array>
#include <cstdint>
#include <optional>

namespace repair {

// A frame the walk keeps.
struct Mp3Frame {
    uint64_t Offset = 0;
    Mp3Header Header;
    bool Info = false; // the stream's info frame (Xing/Info/VBRI): no sound in it
    bool Silenced = false; // its main data lay in frames that were lost: to be written silent
    uint32_t Present = 0; // a last frame cut after its sound: the bytes there (the rest written as zeros)
    // A silent frame to write before this one, in place of the lost frames before it, carrying the
    // `Carry` bytes before this frame in the source: the main data it borrows from them.
    uint32_t Carry = 0;
    bool QuietFirst = false; // only its second granule's data is there: the first to be written silent
    std::array<uint8_t, 4> CarrierHeader {};
};

// What one walk found besides the frames it kept.
struct Mp3Findings {
    uint64_t Frames = 0; // sound frames kept, silenced ones included
    uint64_t Bytes = 0; // bytes of the frames kept, the info frame's included
    uint64_t GarbageBytes = 0; // bytes that were no frame of the stream
    uint64_t PaddingBytes = 0; // zeros before the first frame: padding, not damage
    bool LeadingGarbage = false; // other bytes before the first frame: the tail of one that was lost
    uint64_t CrcFailed = 0;
    uint64_t Implausible = 0; // side information no encoder writes
    uint64_t CutShort = 0;
    bool Completed
        = false; // the last frame was cut after its sound and completed // a frame the end of the file cut
    uint64_t Silenced = 0;
    uint64_t HalfSilenced = 0; // frames whose first granule is silent (counted in Frames)
    uint64_t Carriers = 0; // silent frames put in place of lost ones (counted in Frames)
    bool EndLost = false; // something was dropped after the last frame kept
    uint64_t Dropped() const { return CrcFailed + Implausible + CutShort; }
    bool Clean() const { return GarbageBytes == 0 && Dropped() == 0 && Silenced == 0; }
};

// Walks the frames of one MPEG audio stream between `start` and `end`: a frame counts only when it agrees
// with the stream and the next frame (or the end) follows where its length says; garbage between frames
// is skipped, frames that fail their CRC or hold impossible side information are dropped, and a frame whose
// bit reservoir was lost with them is marked to be silenced. The walk is deterministic: a second walk
// over the same bytes keeps the same frames.
class Mp3Walk {
public:
    Mp3Walk(ByteWindow& window, uint64_t start, uint64_t end, const Mp3Header& stream);

    // The first header from `start` that begins a run of frames of one stream; nullopt when there is none.
    static std::optional<Mp3Header> FindStream(ByteWindow& window, uint64_t start, uint64_t end);

    bool Next(Mp3Frame& frame);
    uint64_t Position() const { return m_pos; }
    const Mp3Findings& Findings() const { return m_findings; }

private:
    bool Chained(uint64_t at, const Mp3Header& h);
    bool Completable(const Mp3Header& h, const uint8_t* bytes, uint64_t present);
    uint32_t IntactTail(uint64_t end, uint32_t limit);
    void Garbage(uint64_t count);

    ByteWindow& m_window;
    uint64_t m_pos;
    uint64_t m_end;
    Mp3Header m_stream;
    Mp3Findings m_findings;
    uint64_t m_reservoir = 0; // main data bytes of the frames kept since the last loss
    bool m_started = false; // a frame was kept (the info frame counts)
    uint64_t m_decoderHas = 0; // main data bytes a decoder holds before the next frame, right or wrong
    uint64_t m_lastEnd; // the end of the last frame kept
};

} // namespace repair
