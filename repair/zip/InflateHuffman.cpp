// SPDX-License-Identifier: MIT
#include "InflateHuffman.h"

#include <algorithm>
#include <array>

namespace repair {

namespace {

constexpr uint16_t kLengthBase[29] = { 3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 15, 17, 19, 23, 27, 31, 35, 43, 51,
    59, 67, 83, 99, 115, 131, 163, 195, 227, 258 };
constexpr uint8_t kLengthExtra[29]
    = { 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0 };
constexpr uint16_t kDistanceBase[30] = { 1, 2, 3, 4, 5, 7, 9, 13, 17, 25, 33, 49, 65, 97, 129, 193, 257, 385,
    513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577 };
constexpr uint8_t kDistanceExtra[30]
    = { 0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13 };

uint32_t MakeEntry(unsigned bits, InflateHuffman::Kind kind, unsigned extra, unsigned value)
{
    return bits | (uint32_t(kind) << 8) | (extra << 12) | (value << 16);
}

uint32_t SymbolEntry(InflateHuffman::Alphabet alphabet, unsigned symbol, unsigned bits)
{
    using H = InflateHuffman;
    switch (alphabet) {
    case H::Alphabet::CodeLengths:
        return MakeEntry(bits, H::Literal, 0, symbol);
    case H::Alphabet::LiteralLength:
        if (symbol < 256)
            return MakeEntry(bits, H::Literal, 0, symbol);
        if (symbol == 256)
            return MakeEntry(bits, H::EndOfBlock, 0, 0);
        if (symbol < 286)
            return MakeEntry(bits, H::Length, kLengthExtra[symbol - 257], kLengthBase[symbol - 257]);
        return MakeEntry(bits, H::Invalid, 0, 0);
    case H::Alphabet::Distance:
        if (symbol < 30)
            return MakeEntry(bits, H::Length, kDistanceExtra[symbol], kDistanceBase[symbol]);
        return MakeEntry(bits, H::Invalid, 0, 0);
    }
    return MakeEntry(bits, H::Invalid, 0, 0);
}

unsigned Reverse(unsigned code, unsigned bits)
{
    unsigned r = 0;
    for (unsigned i = 0; i < bits; ++i) {
        r = (r << 1) | (code & 1);
        code >>= 1;
    }
    return r;
}

} // namespace

bool InflateHuffman::Build(Alphabet alphabet, const uint8_t* lengths, unsigned count)
{
    std::array<unsigned, kMaxBits + 1> perLength {};
    unsigned maxLength = 0;
    for (unsigned s = 0; s < count; ++s) {
        if (lengths[s] > kMaxBits)
            return false;
        ++perLength[lengths[s]];
        maxLength = std::max<unsigned>(maxLength, lengths[s]);
    }
    perLength[0] = 0;

    int left = 1;
    for (unsigned len = 1; len <= kMaxBits; ++len) {
        left = left * 2 - int(perLength[len]);
        if (left < 0)
            return false;
    }
    const bool empty = maxLength == 0;
    if (empty && alphabet != Alphabet::Distance)
        return false;
    // An incomplete code leaves inputs that decode to nothing; only the lone one-bit code is legitimate.
    if (left > 0 && !empty && maxLength != 1)
        return false;

    m_rootBits = alphabet == Alphabet::LiteralLength ? 10 : alphabet == Alphabet::Distance ? 8 : 7;
    m_rootMask = (1u << m_rootBits) - 1;

    // Canonical codes, reversed because the stream sends them from their most significant bit.
    std::array<unsigned, kMaxBits + 2> next {};
    unsigned code = 0;
    for (unsigned len = 1; len <= kMaxBits; ++len) {
        code = (code + perLength[len - 1]) << 1;
        next[len] = code;
    }
    std::array<uint16_t, 288> reversed {};
    std::array<uint8_t, 1024> subBits {}; // per root prefix: bits of its second-level table
    for (unsigned s = 0; s < count; ++s) {
        const unsigned len = lengths[s];
        if (len == 0)
            continue;
        reversed[s] = uint16_t(Reverse(next[len]++, len));
        if (len > m_rootBits) {
            uint8_t& b = subBits[reversed[s] & m_rootMask];
            b = std::max<uint8_t>(b, uint8_t(len - m_rootBits));
        }
    }

    size_t size = size_t(1) << m_rootBits;
    m_table.assign(size, MakeEntry(1, Invalid, 0, 0));
    if (maxLength > m_rootBits) {
        for (unsigned prefix = 0; prefix <= m_rootMask; ++prefix) {
            if (subBits[prefix] == 0)
                continue;
            m_table[prefix] = MakeEntry(subBits[prefix], Link, 0, unsigned(size));
            size += size_t(1) << subBits[prefix];
        }
        m_table.resize(size, MakeEntry(m_rootBits + 1, Invalid, 0, 0));
    }

    for (unsigned s = 0; s < count; ++s) {
        const unsigned len = lengths[s];
        if (len == 0)
            continue;
        const uint32_t entry = SymbolEntry(alphabet, s, len);
        const unsigned r = reversed[s];
        if (len <= m_rootBits) {
            for (unsigned i = r; i <= m_rootMask; i += 1u << len)
                m_table[i] = entry;
        } else {
            const uint32_t link = m_table[r & m_rootMask];
            const unsigned base = Value(link);
            const unsigned width = Bits(link);
            for (unsigned i = r >> m_rootBits; i < (1u << width); i += 1u << (len - m_rootBits))
                m_table[base + i] = entry;
        }
    }
    return true;
}

const InflateHuffman& InflateHuffman::FixedLiteralLength()
{
    static const InflateHuffman table = [] {
        uint8_t lengths[288];
        std::fill(lengths, lengths + 144, 8);
        std::fill(lengths + 144, lengths + 256, 9);
        std::fill(lengths + 256, lengths + 280, 7);
        std::fill(lengths + 280, lengths + 288, 8);
        InflateHuffman h;
        h.Build(Alphabet::LiteralLength, lengths, 288);
        return h;
    }();
    return table;
}

const InflateHuffman& InflateHuffman::FixedDistance()
{
    static const InflateHuffman table = [] {
        uint8_t lengths[32];
        std::fill(lengths, lengths + 32, 5);
        InflateHuffman h;
        h.Build(Alphabet::Distance, lengths, 32);
        return h;
    }();
    return table;
}

} // namespace repair
