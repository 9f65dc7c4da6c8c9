// SPDX-License-Identifier: MIT
#include "AviWindow.h"

namespace repair {

namespace {

constexpr size_t kSmall = 4096;

} // namespace

AviWindow::AviWindow(ByteReader& source, size_t size)
    : m_source(source)
    , m_sourceSize(source.Size())
    , m_buffer(size)
{
}

const uint8_t* AviWindow::At(uint64_t offset, size_t count)
{
    if (count > m_buffer.size() / 2 || offset > m_sourceSize || m_sourceSize - offset < count)
        return nullptr;
    if (offset < m_start || offset + count > m_start + m_filled) {
        // A jump past a large chunk reads a little; reading on where the last read ended (a scan for
        // the next chunk after damage, small chunks in a row) reads the whole window.
        const bool onward = offset >= m_start && offset <= m_start + m_filled + kSmall;
        m_start = offset;
        m_filled = m_source.ReadAt(offset, m_buffer.data(), onward ? m_buffer.size() : kSmall);
        if (m_filled < count)
            return nullptr;
    }
    return m_buffer.data() + (offset - m_start);
}

} // namespace repair
