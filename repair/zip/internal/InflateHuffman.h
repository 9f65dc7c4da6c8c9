// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <vector>

namespace repair {

// A decoding table for one of a deflate block's prefix codes, built from its code lengths. One lookup of
// the next kRootBits input bits gives the symbol, or leads to a second-level table for longer codes.
// Entries carry what the symbol means (literal, length or distance base and extra bits, end of block).
class InflateHuffman {
public:
    enum class Alphabet { CodeLengths, LiteralLength, Distance };
    enum Kind : uint32_t { Literal = 0, Length = 1, EndOfBlock = 2, Invalid = 3, Link = 4 };

    static constexpr unsigned kMaxBits = 15;

    // An entry: bits 0-7 the code's length in bits, 8-11 Kind, 12-15 extra bits, 16-31 the value (the
    // literal, the base of a length or distance, the code-length symbol, or a second-level offset).
    static unsigned Bits(uint32_t e) { return e & 0xff; }
    static Kind KindOf(uint32_t e) { return Kind((e >> 8) & 0xf); }
    static unsigned Extra(uint32_t e) { return (e >> 12) & 0xf; }
    static unsigned Value(uint32_t e) { return e >> 16; }

    // False when the lengths over-subscribe the code or leave it incomplete; a single code of one bit is
    // accepted, and so is a distance code with no codes at all (a block of literals only).
    bool Build(Alphabet alphabet, const uint8_t* lengths, unsigned count);

    // The entry for the code at the low bits of `bits` (at least kMaxBits of them valid).
    uint32_t Decode(uint64_t bits) const
    {
        uint32_t e = m_table[bits & m_rootMask];
        if (KindOf(e) == Link)
            e = m_table[Value(e) + ((bits >> m_rootBits) & ((1u << Bits(e)) - 1))];
        return e;
    }

    static const InflateHuffman& FixedLiteralLength();
    static const InflateHuffman& FixedDistance();

private:
    std::vector<uint32_t> m_table;
    unsigned m_rootBits = 0;
    uint32_t m_rootMask = 0;
};

} // namespace repair
