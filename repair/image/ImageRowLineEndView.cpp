// SPDX-License-Identifier: MIT
#include "ImageRowLineEndView.h"

#include <algorithm>

namespace repair {

namespace {

constexpr uint64_t kBlock = 64 * 1024;

} // namespace

ImageRowLineEndView::ImageRowLineEndView(ByteReader& source)
    : m_source(source)
    , m_chunk(kBlock + 1)
{
    uint64_t removed = 0;
    const uint64_t size = source.Size();
    for (uint64_t block = 0; block < size; block += kBlock) {
        m_blockStart.push_back(block - removed);
        // One byte past the block, so that a CR at its end sees the LF after it.
        const size_t n
            = source.ReadAt(block, m_chunk.data(), size_t(std::min<uint64_t>(kBlock + 1, size - block)));
        for (size_t i = 0; i < std::min<size_t>(n, kBlock); ++i)
            if (m_chunk[i] == '\r' && i + 1 < n && m_chunk[i + 1] == '\n')
                ++removed;
    }
    m_size = size - removed;
}

size_t ImageRowLineEndView::ReadAt(uint64_t offset, void* buffer, size_t count)
{
    if (offset >= m_size || count == 0)
        return 0;
    auto* out = static_cast<uint8_t*>(buffer);
    size_t done = 0;
    size_t block
        = size_t(std::upper_bound(m_blockStart.begin(), m_blockStart.end(), offset) - m_blockStart.begin())
        - 1;
    const uint64_t sourceSize = m_source.Size();
    for (; done < count && block < m_blockStart.size(); ++block) {
        const uint64_t begin = uint64_t(block) * kBlock;
        const size_t n = m_source.ReadAt(
            begin, m_chunk.data(), size_t(std::min<uint64_t>(kBlock + 1, sourceSize - begin)));
        uint64_t at = m_blockStart[block];
        for (size_t i = 0; i < std::min<size_t>(n, kBlock) && done < count; ++i) {
            if (m_chunk[i] == '\r' && i + 1 < n && m_chunk[i + 1] == '\n')
                continue;
            if (at >= offset + done)
                out[done++] = m_chunk[i];
            ++at;
        }
    }
    return done;
}

} // namespace repair
