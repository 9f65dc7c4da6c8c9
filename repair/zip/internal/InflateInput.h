// SPDX-License-Identifier: MIT
#pragma once

#include "ByteReader.h"

#include <cstdint>
#include <vector>

namespace repair {

// The bits of a compressed range, least significant first, read from a ByteReader in large chunks. It can
// be placed at any bit. Usable bits stop at a fence: the end of the range, or the start of a run of at
// least kZeroRun zero bytes (a zeroed sector, or very repetitive content: the reader decides, and may
// accept the run). Past the fence it hands out zero bits and Overrun() tells that a symbol used some.
class InflateInput {
public:
    static constexpr unsigned kZeroRun = 64;

    InflateInput(ByteReader& in, uint64_t begin, uint64_t end);

    uint64_t Begin() const { return m_begin; }
    uint64_t End() const { return m_end; }

    // Absolute bit positions (byte offset * 8 + bit).
    void Seek(uint64_t bit);
    uint64_t Tell() const { return (m_bufStart + m_cursor + m_padded) * 8 - m_count; }

    // Keeps at least 56 bits in Bits().
    void Refill()
    {
        if (m_count > 56)
            return;
        if (m_cursor + 8 <= m_usable) {
            uint64_t word = 0;
            for (unsigned i = 0; i < 8; ++i)
                word |= uint64_t(m_buf[m_cursor + i]) << (8 * i);
            m_bits |= word << m_count;
            m_cursor += (63 - m_count) >> 3;
            m_count |= 56;
            return;
        }
        RefillSlow();
    }
    uint64_t Bits() const { return m_bits; }
    void Drop(unsigned n)
    {
        m_bits >>= n;
        m_count -= n;
    }
    // Takes n (<= 32) bits; Refill() first.
    uint32_t Take(unsigned n)
    {
        uint32_t v = uint32_t(m_bits & ((uint64_t(1) << n) - 1));
        Drop(n);
        return v;
    }

    // True once bits past the fence have been consumed.
    bool Overrun() const { return m_padded != 0 && Tell() > m_fence * 8; }
    // Where usable bytes stop: the start of a zero run, or End().
    uint64_t Fence() const { return m_fence; }
    bool FenceIsZeroRun() const { return m_fence < m_end; }
    // The first byte after the zero run that starts at `start`.
    uint64_t ZeroRunEnd(uint64_t start);
    // Lifts the fence of the current zero run; returns where the run ends.
    uint64_t AcceptZeroRun();

    // Copies bytes as they stand (stored blocks), fences ignored; returns how many were there.
    size_t ReadRaw(uint64_t offset, uint8_t* buffer, size_t count);

private:
    void RefillSlow();
    void Load(uint64_t offset);

    ByteReader& m_in;
    uint64_t m_begin;
    uint64_t m_end;
    std::vector<uint8_t> m_buf;
    uint64_t m_bufStart = 0; // absolute offset of m_buf[0]
    size_t m_cursor = 0; // next byte to move into m_bits
    size_t m_usable = 0; // bytes of m_buf before the fence or the look-ahead
    size_t m_loaded = 0;
    uint64_t m_fence = 0;
    uint64_t m_padded = 0; // zero bytes handed out past m_usable
    uint64_t m_acceptedUntil = 0; // zero runs before this are content
    uint64_t m_bits = 0;
    unsigned m_count = 0;
};

} // namespace repair
