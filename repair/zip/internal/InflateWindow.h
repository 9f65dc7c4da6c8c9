// SPDX-License-Identifier: MIT
#pragma once

#include "ContentSink.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace repair {

// The decoder's output: the last 32 KB that matches may copy from, and the output not yet handed on
// (held until the block that made it is known to have ended cleanly). Each byte is known or not: after
// damage the history is unknown, and a match copying unknown bytes makes unknown bytes, handed on as holes.
class InflateWindow {
public:
    static constexpr unsigned kHistory = 32768;
    static constexpr unsigned kMaxMatch = 258;

    enum class As { Data, Unsure };

    struct Totals {
        uint64_t Data = 0;
        uint64_t Unsure = 0;
        uint64_t Holes = 0; // of known length
    };

    // Output stops once `maxOutput` bytes (data, unsure and holes) have been made. Output held too long
    // is handed on as `overflow`.
    InflateWindow(ContentSink& out, uint64_t maxOutput, As overflow);

    // Forgets the history. At the stream's start a reference before it is an error; after damage it
    // reaches bytes that were lost, which are unknown.
    void Restart(bool streamStart);

    void Literal(uint8_t byte) { *m_next++ = byte; }
    // False when the distance reaches before the stream's start.
    bool Match(unsigned distance, unsigned length)
    {
        if (distance > size_t(m_next - m_knownFrom)) [[unlikely]]
            return MatchSlow(distance, length);
        const uint8_t* from = m_next - distance;
        uint8_t* to = m_next;
        m_next += length;
        if (distance >= 8) {
            for (unsigned i = 0; i < length; i += 8)
                std::memcpy(to + i, from + i, 8);
        } else {
            for (unsigned i = 0; i < length; ++i)
                to[i] = from[i];
        }
        return true;
    }
    // Appends bytes known right (a stored block).
    void Append(const uint8_t* bytes, size_t count);

    // Room for one more symbol's output (kMaxMatch + 8 bytes)?
    bool HasRoom() const { return m_next < m_limit; }
    // Makes room; false once the output limit is reached.
    bool MakeRoom();

    // Hands the held output on: known bytes as data (or unsure), unknown ones as holes.
    void Flush(As how) { FlushTo(how, Position()); }
    // Hands on the held output before `position` and forgets the rest.
    void FlushTo(As how, uint64_t position);
    uint64_t Position() const { return m_base + uint64_t(m_next - m_data); }
    const Totals& Handed() const { return m_totals; }

private:
    bool MatchSlow(unsigned distance, unsigned length);
    bool Known(uint64_t position) const;
    void MarkUnknown(uint64_t position);
    void Relocate(size_t keepFrom, size_t newSize);
    void UpdateLimits();
    void Emit(As how, const uint8_t* bytes, size_t count);

    ContentSink& m_out;
    uint64_t m_maxOutput;
    std::vector<uint8_t> m_bytes;
    std::vector<uint8_t> m_flags; // per byte before m_unknownEnd: 1 known, 0 unknown
    uint8_t* m_data = nullptr; // m_bytes.data(): absolute position m_base
    uint8_t* m_next = nullptr;
    uint8_t* m_limit = nullptr;
    const uint8_t* m_knownFrom = nullptr; // matches from here on copy known bytes only
    uint64_t m_base = 0;
    uint64_t m_pending = 0; // absolute position of the first byte not handed on
    uint64_t m_unknownEnd = 0; // every byte from here on is known
    bool m_streamStart = true;
    As m_overflow;
    Totals m_totals;
};

} // namespace repair
