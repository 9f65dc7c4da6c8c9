// SPDX-License-Identifier: MIT
#include "Mp4CutView.h"

#include <algorithm>

namespace repair {

Mp4CutView::Mp4CutView(ByteReader& source, uint64_t at, uint64_t length)
    : m_source(source)
    , m_at(std::min(at, source.Size()))
    , m_length(std::min(length, source.Size() - m_at))
    , m_size(source.Size() - m_length)
{
}

size_t Mp4CutView::ReadAt(uint64_t offset, void* buffer, size_t count)
{
    auto* out = static_cast<uint8_t*>(buffer);
    size_t done = 0;
    if (offset < m_at) {
        done = m_source.ReadAt(offset, out, size_t(std::min<uint64_t>(count, m_at - offset)));
        if (done < count && offset + done < m_at)
            return done;
    }
    if (done < count && offset + done < m_size)
        done += m_source.ReadAt(offset + done + m_length, out + done, count - done);
    return done;
}

} // namespace repair
