// SPDX-License-Identifier: MIT
#include "Mp4HeadView.h"

#include <algorithm>
#include <cstring>

namespace repair {

Mp4HeadView::Mp4HeadView(ByteReader& source, uint64_t lost, uint64_t mediaSize)
    : m_source(source)
    , m_lost(lost)
{
    // A 64-bit size, so that any length fits.
    const uint8_t header[16] = { 0, 0, 0, 1, 'm', 'd', 'a', 't', uint8_t(mediaSize >> 56),
        uint8_t(mediaSize >> 48), uint8_t(mediaSize >> 40), uint8_t(mediaSize >> 32),
        uint8_t(mediaSize >> 24), uint8_t(mediaSize >> 16), uint8_t(mediaSize >> 8), uint8_t(mediaSize) };
    std::memcpy(m_header, header, sizeof header);
}

size_t Mp4HeadView::ReadAt(uint64_t offset, void* buffer, size_t count)
{
    auto* out = static_cast<uint8_t*>(buffer);
    size_t done = 0;
    while (done < count && offset < m_lost) {
        const size_t n = size_t(std::min<uint64_t>(count - done, m_lost - offset));
        for (size_t i = 0; i < n; ++i)
            out[done + i] = offset + i < sizeof m_header ? m_header[offset + i] : 0;
        done += n;
        offset += n;
    }
    if (done < count)
        done += m_source.ReadAt(offset - m_lost, out + done, count - done);
    return done;
}

} // namespace repair
