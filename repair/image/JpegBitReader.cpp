// SPDX-License-Identifier: MIT
#include "JpegBitReader.h"

#include "JpegHuffman.h"

namespace repair {

namespace {
constexpr size_t kCache = 64 * 1024;
}

JpegBitReader::JpegBitReader(ByteReader& source)
    : m_source(source)
    , m_cache(kCache)
{
}

int JpegBitReader::ByteAt(uint64_t offset)
{
    if (offset < m_cacheStart || offset >= m_cacheStart + m_cacheLength) {
        if (offset >= m_source.Size())
            return -1;
        m_cacheStart = offset;
        m_cacheLength = m_source.ReadAt(offset, m_cache.data(), m_cache.size());
        if (m_cacheLength == 0)
            return -1;
    }
    return m_cache[size_t(offset - m_cacheStart)];
}

void JpegBitReader::Reset(uint64_t offset)
{
    m_next = offset;
    m_bits = 0;
    m_count = 0;
    m_stopped = false;
    m_stopAt = 0;
    m_head = m_held = 0;
}

void JpegBitReader::Fill()
{
    while (m_count <= 56 && !m_stopped) {
        const int b = ByteAt(m_next);
        if (b < 0) {
            m_stopped = true;
            m_stopAt = m_next;
            break;
        }
        uint64_t advance = 1;
        if (b == 0xFF) {
            // Only 0xFF 0x00 is data; a fill byte or a marker code ends the scan's bits.
            if (ByteAt(m_next + 1) != 0) {
                m_stopped = true;
                m_stopAt = m_next;
                break;
            }
            advance = 2;
        }
        m_offsets[(m_head + m_held) & 15] = m_next;
        ++m_held;
        m_bits = (m_bits << 8) | uint64_t(b);
        m_count += 8;
        m_next += advance;
    }
}

void JpegBitReader::Consumed()
{
    const int holding = (m_count + 7) / 8;
    while (m_held > holding) {
        m_head = (m_head + 1) & 15;
        --m_held;
    }
}

bool JpegBitReader::Read(int n, uint32_t& value)
{
    if (n == 0) {
        value = 0;
        return true;
    }
    if (m_count < n)
        Fill();
    if (m_count < n)
        return false;
    value = uint32_t((m_bits >> (m_count - n)) & ((uint64_t(1) << n) - 1));
    m_count -= n;
    Consumed();
    return true;
}

int JpegBitReader::Decode(const JpegHuffman& table)
{
    if (m_count < 16)
        Fill();
    const uint32_t peek = m_count >= 16 ? uint32_t((m_bits >> (m_count - 16)) & 0xFFFF)
                                        : uint32_t((m_bits << (16 - m_count)) & 0xFFFF);
    int length = 0;
    const int symbol = table.Decode(peek, length);
    if (symbol < 0 || length > m_count)
        return -1;
    m_count -= length;
    Consumed();
    return symbol;
}

void JpegBitReader::Position(uint64_t& offset, int& bitsUsed) const
{
    if (m_count == 0) {
        offset = m_stopped ? m_stopAt : m_next;
        bitsUsed = 0;
        return;
    }
    offset = m_offsets[m_head];
    bitsUsed = (8 - m_count % 8) % 8;
}

} // namespace repair
