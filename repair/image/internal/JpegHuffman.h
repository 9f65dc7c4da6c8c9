// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace repair {

// One Huffman table of an image, for decoding (a lookup of the next bits) and for encoding the few symbols
// of a flat block (each symbol's code and length).
class JpegHuffman {
public:
    static constexpr int kLookBits = 9;

    // From a table's 16 counts and its values; false when the counts over-fill the code space or name
    // more than 256 values.
    bool Build(const uint8_t counts[16], const uint8_t* values, size_t valueCount);
    bool Defined() const { return m_defined; }

    // The symbol for the code at the top of the 16 bits in `peek`, and its length; -1 when no code
    // matches (damage).
    int Decode(uint32_t peek, int& length) const;

    // Whether `symbol` has a code, and the code.
    bool Has(uint8_t symbol) const { return m_size[symbol] != 0; }
    uint16_t Code(uint8_t symbol) const { return m_code[symbol]; }
    int Size(uint8_t symbol) const { return m_size[symbol]; }

private:
    bool m_defined = false;
    std::array<int32_t, 18> m_maxCode {};
    std::array<int32_t, 17> m_valOffset {};
    std::array<uint8_t, 256> m_values {};
    std::array<uint16_t, 1 << kLookBits> m_look {}; // (length << 8) | symbol; 0 when longer
    std::array<uint16_t, 256> m_code {};
    std::array<uint8_t, 256> m_size {};
};

} // namespace repair
