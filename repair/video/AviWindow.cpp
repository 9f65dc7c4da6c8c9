// SPDX-License-Identifier: MIT
#include "AviWindow.h"

namespace repair {

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
        m_start = offset;
        m_filled = m_source.ReadAt(offset, m_buffer.data(), m_buffer.size());
        if (m_filled < count)
            return nullptr;
    }
    return m_buffer.data() + (offset - m_start);
}

} // namespace repair
