// SPDX-License-Identifier: MIT
#include "ByteWindow.h"

#include <algorithm>
#include <cstring>

namespace repair {

ByteWindow::ByteWindow(ByteReader& source, size_t capacity)
    : m_source(source)
    , m_size(source.Size())
    , m_buffer(capacity)
{
}

const uint8_t* ByteWindow::At(uint64_t offset, size_t want, size_t& available)
{
    want = std::min(want, m_buffer.size() / 2);
    if (offset >= m_size) {
        available = 0;
        return m_buffer.data();
    }
    const uint64_t end = std::min<uint64_t>(offset + want, m_size);
    if (offset < m_start || end > m_start + m_length) {
        m_start = offset;
        m_length = m_source.ReadAt(offset, m_buffer.data(), m_buffer.size());
    }
    available = size_t(m_start + m_length - offset);
    return m_buffer.data() + (offset - m_start);
}

bool ByteWindow::Read(uint64_t offset, void* out, size_t count)
{
    auto* to = static_cast<uint8_t*>(out);
    while (count > 0) {
        size_t available = 0;
        const uint8_t* at = At(offset, count, available);
        if (available == 0)
            return false;
        const size_t n = std::min(available, count);
        std::memcpy(to, at, n);
        to += n;
        offset += n;
        count -= n;
    }
    return true;
}

} // namespace repair
