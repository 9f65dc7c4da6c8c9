// SPDX-License-Identifier: MIT
#include "FlvWalk.h"

#include "AviWindow.h"
#include "Progress.h"

#include <algorithm>

namespace repair {

namespace {

constexpr uint32_t kMaxTag = 16u << 20;

uint32_t Be24(const uint8_t* p)
{
    return uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
}

uint32_t Be32(const uint8_t* p)
{
    return uint32_t(p[0]) << 24 | Be24(p + 1);
}

} // namespace

FlvWalk::FlvWalk(ByteReader& source, Progress& progress)
    : m_source(source)
    , m_progress(progress)
    , m_window(source, 64 << 10)
    , m_size(source.Size())
{
}

bool FlvWalk::Plausible(uint64_t at, bool strict, FlvTag& tag)
{
    uint8_t h[11];
    if (at + 11 > m_size || m_source.ReadAt(at, h, 11) != 11)
        return false;
    const uint8_t type = h[0] & 0x1F;
    if ((type != 8 && type != 9 && type != 18) || (h[0] & 0xC0) || Be24(h + 8) != 0)
        return false;
    tag.At = at;
    tag.Type = type;
    tag.Size = Be24(h + 1);
    tag.Time = Be24(h + 4) | uint32_t(h[7]) << 24;
    tag.Flags = 0;
    if (tag.Size > kMaxTag)
        return false;
    if (!strict)
        return true;
    uint8_t t[4];
    return at + 15 + tag.Size <= m_size && m_source.ReadAt(at + 11 + tag.Size, t, 4) == 4
        && Be32(t) == tag.Size + 11;
}

uint64_t FlvWalk::Resync(uint64_t from)
{
    FlvTag tag;
    for (uint64_t at = from; at + 11 <= m_size; ++at) {
        if ((at & 0xFFFFF) == 0)
            m_progress.Check();
        const uint8_t* p = m_window.At(at, 11);
        // Cheap tests first: a tag type and a zero stream id.
        if (!p || ((p[0] & 0x1F) != 8 && (p[0] & 0x1F) != 9 && (p[0] & 0x1F) != 18) || p[8] || p[9] || p[10])
            continue;
        if (Plausible(at, true, tag))
            return at;
    }
    return m_size;
}

bool FlvWalk::Run()
{
    uint8_t h[9];
    uint64_t pos = 0;
    if (m_source.ReadAt(0, h, 9) == 9 && h[0] == 'F' && h[1] == 'L' && h[2] == 'V') {
        const uint32_t headerSize = Be32(h + 5);
        pos = (headerSize >= 9 && headerSize < 1024 ? headerSize : 9) + 4;
    } else {
        // The file header is lost: the tags begin at the first one whose trailing size agrees.
        pos = Resync(0);
        if (pos == m_size)
            return false;
        m_headerLost = true;
        m_structureRight = false;
        m_findings.push_back("the file header is lost");
    }
    bool afterGap = false;
    uint64_t reported = 0;
    while (pos + 11 <= m_size) {
        if (pos - reported >= (1 << 20)) {
            m_progress.Advance(pos - reported);
            reported = pos;
        }
        FlvTag tag;
        const bool header = Plausible(pos, false, tag);
        const bool whole = header && pos + 15 + tag.Size <= m_size;
        bool sizeAgrees = false;
        if (whole) {
            FlvTag unused;
            sizeAgrees = Plausible(pos, true, unused);
        }
        FlvTag next;
        // A wrong trailing size is forgiven when the next tag is where the size says.
        if (whole
            && (sizeAgrees || pos + 15 + tag.Size == m_size || Plausible(pos + 15 + tag.Size, true, next))) {
            if (!sizeAgrees)
                m_structureRight = false;
            if (afterGap)
                tag.Flags |= FlvTag::AfterGap;
            afterGap = false;
            m_tags.push_back(tag);
            pos += 15 + tag.Size;
            continue;
        }
        const uint64_t to = Resync(pos + 1);
        ++m_gaps;
        m_structureRight = false;
        m_cutShort = to == m_size;
        m_findings.push_back(m_cutShort
                ? "damaged or cut short at byte " + std::to_string(pos)
                : "damaged bytes " + std::to_string(pos) + "-" + std::to_string(to - 1));
        afterGap = true;
        pos = to;
    }
    if (pos < m_size) {
        // Too few bytes for a tag header: a tag the end of the file cut short.
        m_structureRight = false;
        m_cutShort = true;
        m_findings.push_back("cut short at byte " + std::to_string(pos));
    }
    m_progress.Advance(m_size > reported ? m_size - reported : 0);
    return true;
}

} // namespace repair
