// SPDX-License-Identifier: MIT
#include "Mp4LineEndView.h"

#include <algorithm>

namespace repair {

Mp4LineEndView::Mp4LineEndView(ByteReader& source)
    : m_source(source)
    , m_block(kBlock + 1)
{
    const uint64_t size = source.Size();
    uint64_t removed = 0;
    uint8_t before = 0;
    for (uint64_t at = 0; at < size; at += kBlock) {
        m_removedBefore.push_back(removed);
        // One byte more, so that a CR at the end of a block is counted in that block, as ReadAt() skips it.
        const size_t n = source.ReadAt(at, m_block.data(), size_t(std::min(kBlock + 1, size - at)));
        const size_t whole = size_t(std::min<uint64_t>(kBlock, n));
        for (size_t i = 0; i < whole; ++i) {
            if (m_block[i] == '\r' && i + 1 < n && m_block[i + 1] == '\n')
                ++removed;
            if (m_block[i] == '\n') {
                ++m_lineFeeds;
                if (before != '\r')
                    ++m_lone;
            }
            before = m_block[i];
        }
        if (whole < std::min(kBlock, size - at))
            break;
    }
    m_removedBefore.push_back(removed);
    m_size = size - removed;
}

size_t Mp4LineEndView::ReadAt(uint64_t offset, void* buffer, size_t count)
{
    auto* out = static_cast<uint8_t*>(buffer);
    const uint64_t size = m_source.Size();
    // The last block whose first byte, as seen through the view, is at or before `offset`.
    size_t block = 0;
    {
        size_t low = 0, high = m_removedBefore.size() - 1;
        while (low + 1 < high) {
            const size_t middle = (low + high) / 2;
            if (middle * kBlock - m_removedBefore[middle] <= offset)
                low = middle;
            else
                high = middle;
        }
        block = low;
    }
    uint64_t at = block * kBlock;
    uint64_t seen = at - m_removedBefore[block];
    size_t done = 0;
    while (done < count && at < size) {
        // One byte more than the block, to see whether its last CR stands before an LF.
        const size_t n
            = m_source.ReadAt(at, m_block.data(), size_t(std::min<uint64_t>(kBlock + 1, size - at)));
        const size_t whole = size_t(std::min<uint64_t>(kBlock, n));
        if (whole == 0)
            break;
        for (size_t i = 0; i < whole && done < count; ++i) {
            if (m_block[i] == '\r' && i + 1 < n && m_block[i + 1] == '\n')
                continue;
            if (seen++ >= offset)
                out[done++] = m_block[i];
        }
        at += whole;
    }
    return done;
}

} // namespace repair
