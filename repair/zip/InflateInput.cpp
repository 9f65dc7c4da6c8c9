// SPDX-License-Identifier: MIT
#include "InflateInput.h"

#include <algorithm>

namespace repair {

namespace {

constexpr size_t kChunk = 64 * 1024;
// Bytes read beyond the usable part of a chunk, so that a zero run starting in it is seen whole.
constexpr size_t kLookAhead = InflateInput::kZeroRun;

} // namespace

InflateInput::InflateInput(ByteReader& in, uint64_t begin, uint64_t end)
    : m_in(in)
    , m_begin(begin)
    , m_end(std::max(begin, end))
    , m_buf(kChunk + kLookAhead)
    , m_bufStart(begin)
    , m_fence(begin)
{
    Seek(begin * 8);
}

void InflateInput::Seek(uint64_t bit)
{
    const uint64_t byte = bit / 8;
    if (byte >= m_bufStart && byte < m_bufStart + m_usable)
        m_cursor = size_t(byte - m_bufStart);
    else
        Load(byte);
    m_bits = 0;
    m_count = 0;
    m_padded = 0;
    Refill();
    Drop(unsigned(bit & 7));
}

void InflateInput::Load(uint64_t offset)
{
    m_bufStart = offset;
    m_cursor = 0;
    m_usable = 0;
    m_loaded = 0;
    if (offset >= m_end) {
        m_fence = m_end;
        return;
    }
    const size_t want = size_t(std::min<uint64_t>(m_buf.size(), m_end - offset));
    m_loaded = m_in.ReadAt(offset, m_buf.data(), want);
    if (m_loaded < want)
        m_end = offset + m_loaded; // the source is shorter than the range said
    m_usable = offset + m_loaded == m_end ? m_loaded : m_loaded - std::min(m_loaded, kLookAhead);
    m_fence = m_end;
    // Any kZeroRun consecutive bytes hold one whose index is a multiple of kZeroRun: probe only those.
    for (size_t probe = 0; probe < m_loaded; probe += kZeroRun) {
        if (m_buf[probe] != 0)
            continue;
        size_t first = probe;
        while (first > 0 && m_buf[first - 1] == 0)
            --first;
        if (first >= m_usable)
            break;
        size_t last = probe;
        while (last < m_loaded && m_buf[last] == 0)
            ++last;
        if (last - first >= kZeroRun && offset + first >= m_acceptedUntil) {
            m_usable = first;
            m_fence = offset + first;
            break;
        }
        probe = last - last % kZeroRun;
    }
}

void InflateInput::RefillSlow()
{
    while (m_count <= 56) {
        if (m_cursor >= m_usable && m_padded == 0 && m_bufStart + m_usable < m_fence)
            Load(m_bufStart + m_usable);
        uint64_t byte = 0;
        if (m_cursor < m_usable)
            byte = m_buf[m_cursor++];
        else
            ++m_padded;
        m_bits |= byte << m_count;
        m_count += 8;
    }
}

uint64_t InflateInput::ZeroRunEnd(uint64_t start)
{
    uint8_t chunk[4096];
    uint64_t at = start;
    while (at < m_end) {
        const size_t got = m_in.ReadAt(at, chunk, size_t(std::min<uint64_t>(sizeof chunk, m_end - at)));
        if (got == 0)
            break;
        for (size_t i = 0; i < got; ++i)
            if (chunk[i] != 0)
                return at + i;
        at += got;
    }
    return std::min(at, m_end);
}

uint64_t InflateInput::AcceptZeroRun()
{
    m_acceptedUntil = ZeroRunEnd(m_fence);
    const uint64_t at = Tell();
    Load(m_bufStart);
    Seek(at);
    return m_acceptedUntil;
}

size_t InflateInput::ReadRaw(uint64_t offset, uint8_t* buffer, size_t count)
{
    if (offset >= m_end)
        return 0;
    count = size_t(std::min<uint64_t>(count, m_end - offset));
    if (offset >= m_bufStart && offset + count <= m_bufStart + m_loaded) {
        std::copy_n(m_buf.data() + (offset - m_bufStart), count, buffer);
        return count;
    }
    return m_in.ReadAt(offset, buffer, count);
}

} // namespace repair
