// SPDX-License-Identifier: MIT
#pragma once

#include "Mp3Header.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace repair {

// The frame at the head of a stream that describes it instead of holding sound: the Xing/Info header
// (frame and byte counts, a seek table, maybe the encoder's own tag with its delay and two CRCs), or
// the VBRI header.
class InfoFrame {
public:
    enum class Kind { Xing, Vbri };

    // nullopt when the frame holds neither header.
    static std::optional<InfoFrame> Find(const Mp3Header& h, const uint8_t* frame);

    Kind Type() const { return m_kind; }
    // The header's own fields agree with each other (and the encoder tag's CRC with the frame).
    bool Sound() const;
    // It tells the truth about a stream of `frames` frames in `bytes` bytes, this frame included.
    bool Truthful(uint64_t frames, uint64_t bytes) const;
    bool HasSeekTable() const { return m_kind == Kind::Xing && (m_flags & 4); }
    // The frame rewritten for a stream of `frames` frames in `bytes` bytes: counts, the seek table from
    // `percentOffsets` (the offset from this frame's start of the frame at each hundredth of the
    // frames) and the encoder tag's music length and CRCs. When the stream's end was lost, so was the
    // padding the encoder added there: it is no longer trimmed from what is now the last frame.
    std::vector<uint8_t> Rewritten(uint64_t frames, uint64_t bytes,
        const std::array<uint64_t, 100>& percentOffsets, uint16_t musicCrc, bool endLost) const;

private:
    Kind m_kind = Kind::Xing;
    std::vector<uint8_t> m_frame;
    size_t m_at = 0; // where the header's tag starts in the frame
    uint32_t m_flags = 0;
    std::optional<uint32_t> m_frames, m_bytes;
    size_t m_tocAt = 0;
    size_t m_lameAt = 0; // 0: no encoder tag
};

} // namespace repair
