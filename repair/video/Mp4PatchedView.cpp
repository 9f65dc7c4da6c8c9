// SPDX-License-Identifier: MIT
#include "Mp4PatchedView.h"

#include <algorithm>
#include <cstring>

namespace repair {

Mp4PatchedView::Mp4PatchedView(
    ByteReader& source, uint64_t begin, uint64_t end, std::vector<uint8_t> replacement)
    : m_source(source)
    , m_begin(begin)
    , m_end(end)
    , m_patch(std::move(replacement))
{
    const uint64_t rest = end - begin > m_patch.size() ? end - begin - m_patch.size() : 0;
    // One free box fills the rest; its zeros are never held in memory.
    if (rest >= 16) {
        const uint8_t header[16] = { 0, 0, 0, 1, 'f', 'r', 'e', 'e', uint8_t(rest >> 56), uint8_t(rest >> 48),
            uint8_t(rest >> 40), uint8_t(rest >> 32), uint8_t(rest >> 24), uint8_t(rest >> 16),
            uint8_t(rest >> 8), uint8_t(rest) };
        m_patch.insert(m_patch.end(), header, header + 16);
        m_padding = rest - 16;
    } else if (rest >= 8) {
        const uint8_t header[8] = { 0, 0, 0, uint8_t(rest), 'f', 'r', 'e', 'e' };
        m_patch.insert(m_patch.end(), header, header + 8);
        m_padding = rest - 8;
    }
    m_size = begin + m_patch.size() + m_padding + (source.Size() - std::min(source.Size(), end));
}

size_t Mp4PatchedView::ReadAt(uint64_t offset, void* buffer, size_t count)
{
    auto* out = static_cast<uint8_t*>(buffer);
    const uint64_t patchEnd = m_begin + m_patch.size();
    const uint64_t padEnd = patchEnd + m_padding;
    size_t done = 0;
    while (done < count && offset < m_size) {
        size_t n;
        if (offset < m_begin) {
            n = m_source.ReadAt(
                offset, out + done, size_t(std::min<uint64_t>(count - done, m_begin - offset)));
        } else if (offset < patchEnd) {
            const uint64_t at = offset - m_begin;
            n = size_t(std::min<uint64_t>(count - done, m_patch.size() - at));
            std::memcpy(out + done, m_patch.data() + at, n);
        } else if (offset < padEnd) {
            n = size_t(std::min<uint64_t>(count - done, padEnd - offset));
            std::memset(out + done, 0, n);
        } else {
            n = m_source.ReadAt(offset - padEnd + m_end, out + done, count - done);
        }
        if (n == 0)
            break;
        done += n;
        offset += n;
    }
    return done;
}

} // namespace repair
