// SPDX-License-Identifier: MIT
#include "InfoFrame.h"

#include "LittleEndian.h"

#include <cstring>

namespace repair {

namespace {

constexpr size_t kLameTagLength = 36;

} // namespace

std::optional<InfoFrame> InfoFrame::Find(const Mp3Header& h, const uint8_t* frame)
{
    if (h.Layer != 3)
        return std::nullopt;
    InfoFrame info;
    info.m_frame.assign(frame, frame + h.Length);
    // Encoders place the tag straight after the side information, some counting the CRC before it and
    // some not.
    for (const size_t at : { size_t(4 + h.SideInfoSize()), size_t(6 + h.SideInfoSize()) }) {
        if (at + 8 > h.Length)
            continue;
        if (std::memcmp(frame + at, "Xing", 4) != 0 && std::memcmp(frame + at, "Info", 4) != 0)
            continue;
        info.m_at = at;
        info.m_flags = Be32(frame + at + 4);
        size_t field = at + 8;
        const auto take = [&](uint32_t flag, size_t size) -> std::optional<size_t> {
            if (!(info.m_flags & flag))
                return std::nullopt;
            const size_t here = field;
            field += size;
            return here;
        };
        const auto framesAt = take(1, 4);
        const auto bytesAt = take(2, 4);
        const auto tocAt = take(4, 100);
        take(8, 4);
        if (field > h.Length)
            return std::nullopt;
        if (framesAt)
            info.m_frames = Be32(frame + *framesAt);
        if (bytesAt)
            info.m_bytes = Be32(frame + *bytesAt);
        info.m_tocAt = tocAt.value_or(0);
        if (field + kLameTagLength <= h.Length && frame[field] >= 0x20 && frame[field] < 0x7F)
            info.m_lameAt = field;
        return info;
    }
    if (h.Length >= 36 + 26 && std::memcmp(frame + 36, "VBRI", 4) == 0) {
        info.m_kind = Kind::Vbri;
        info.m_at = 36;
        info.m_bytes = Be32(frame + 36 + 10);
        info.m_frames = Be32(frame + 36 + 14);
        return info;
    }
    return std::nullopt;
}

bool InfoFrame::Sound() const
{
    if (m_kind == Kind::Vbri)
        return true;
    if (m_flags > 15)
        return false;
    if (m_tocAt)
        for (size_t i = 1; i < 100; ++i)
            if (m_frame[m_tocAt + i] < m_frame[m_tocAt + i - 1])
                return false;
    if (m_lameAt) {
        const size_t crcAt = m_lameAt + kLameTagLength - 2;
        const uint16_t stored = uint16_t(m_frame[crcAt] << 8 | m_frame[crcAt + 1]);
        // Only the encoder's tag whose text says so carries the CRC; others leave it as they please.
        if (std::memcmp(m_frame.data() + m_lameAt, "LAME", 4) == 0 && stored != TagCrc(m_frame.data(), crcAt))
            return false;
    }
    return true;
}

bool InfoFrame::Truthful(uint64_t frames, uint64_t bytes) const
{
    // The counts are of the frames after this one and of the bytes from this frame on.
    return (!m_frames || *m_frames == frames) && (!m_bytes || *m_bytes == bytes);
}

std::vector<uint8_t> InfoFrame::Rewritten(uint64_t frames, uint64_t bytes,
    const std::array<uint64_t, 100>& percentOffsets, uint16_t musicCrc, bool endLost) const
{
    std::vector<uint8_t> frame = m_frame;
    size_t field = m_at + 8;
    if (m_flags & 1) {
        PutBe32(frame.data() + field, uint32_t(frames));
        field += 4;
    }
    if (m_flags & 2) {
        PutBe32(frame.data() + field, uint32_t(bytes));
        field += 4;
    }
    if (m_tocAt && bytes) {
        for (size_t i = 0; i < 100; ++i) {
            const uint64_t scaled = percentOffsets[i] * 256 / bytes;
            frame[m_tocAt + i] = uint8_t(scaled > 255 ? 255 : scaled);
            if (i > 0 && frame[m_tocAt + i] < frame[m_tocAt + i - 1])
                frame[m_tocAt + i] = frame[m_tocAt + i - 1];
        }
    }
    if (m_lameAt && std::memcmp(m_frame.data() + m_lameAt, "LAME", 4) == 0) {
        uint8_t* tag = frame.data() + m_lameAt;
        if (endLost) {
            tag[22] &= 0xF0;
            tag[23] = 0;
        }
        PutBe32(tag + 28, uint32_t(bytes));
        tag[32] = uint8_t(musicCrc >> 8);
        tag[33] = uint8_t(musicCrc);
        const uint16_t crc = TagCrc(frame.data(), m_lameAt + kLameTagLength - 2);
        tag[34] = uint8_t(crc >> 8);
        tag[35] = uint8_t(crc);
    }
    return frame;
}

} // namespace repair
