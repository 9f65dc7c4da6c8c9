// SPDX-License-Identifier: MIT
#include "LineEndView.h"

#include <algorithm>

namespace repair {

namespace {

constexpr uint64_t kBlock = 64 * 1024;

} // namespace

bool LineEndView::LooksConverted(ByteReader& source)
{
    std::vector<uint8_t> chunk(size_t(std::min<uint64_t>(1 << 20, source.Size())));
    uint8_t previous = 0;
    bool sawLf = false;
    for (uint64_t at = 0; at < source.Size();) {
        const size_t n = source.ReadAt(at, chunk.data(), chunk.size());
        if (n == 0)
            break;
        for (size_t i = 0; i < n; ++i) {
            if (chunk[i] == '\n') {
                if (previous != '\r')
                    return false;
                sawLf = true;
            }
            previous = chunk[i];
        }
        at += n;
    }
    return sawLf;
}

LineEndView::LineEndView(ByteReader& source)
    : m_source(source)
    , m_chunk(kBlock + 1)
{
    uint64_t removed = 0;
    const uint64_t size = source.Size();
    for (uint64_t block = 0; block < size; block += kBlock) {
        m_blockStart.push_back(block - removed);
        // One byte more than the block, so that a CR at its end sees the LF that may follow.
        const size_t n
            = source.ReadAt(block, m_chunk.data(), size_t(std::min<uint64_t>(kBlock + 1, size - block)));
        const size_t inBlock = std::min<size_t>(n, kBlock);
        for (size_t i = 0; i < inBlock; ++i)
            if (m_chunk[i] == '\r' && i + 1 < n && m_chunk[i + 1] == '\n')
                ++removed;
    }
    m_size = size - removed;
}

size_t LineEndView::ReadAt(uint64_t offset, void* buffer, size_t count)
{
    if (offset >= m_size || count == 0)
        return 0;
    auto* out = static_cast<uint8_t*>(buffer);
    size_t done = 0;
    // The last block that begins at or before the offset.
    size_t block
        = size_t(std::upper_bound(m_blockStart.begin(), m_blockStart.end(), offset) - m_blockStart.begin())
        - 1;
    const uint64_t sourceSize = m_source.Size();
    while (done < count && block < m_blockStart.size()) {
        const uint64_t begin = uint64_t(block) * kBlock;
        const size_t n = m_source.ReadAt(
            begin, m_chunk.data(), size_t(std::min<uint64_t>(kBlock + 1, sourceSize - begin)));
        const size_t inBlock = std::min<size_t>(n, kBlock);
        uint64_t viewAt = m_blockStart[block];
        for (size_t i = 0; i < inBlock && done < count; ++i) {
            if (m_chunk[i] == '\r' && i + 1 < n && m_chunk[i + 1] == '\n')
                continue;
            if (viewAt >= offset + done)
                out[done++] = m_chunk[i];
            ++viewAt;
        }
        ++block;
    }
    return done;
}

} // namespace repair
