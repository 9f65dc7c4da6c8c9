// SPDX-License-Identifier: MIT
#include "JpegHuffman.h"

namespace repair {

bool JpegHuffman::Build(const uint8_t counts[16], const uint8_t* values, size_t valueCount)
{
    m_defined = false;
    m_look.fill(0);
    m_size.fill(0);
    m_maxCode.fill(-1);
    size_t total = 0;
    for (int i = 0; i < 16; ++i)
        total += counts[i];
    if (total > 256 || total > valueCount)
        return false;
    uint32_t code = 0;
    size_t k = 0;
    for (int length = 1; length <= 16; ++length) {
        m_valOffset[size_t(length)] = int32_t(k) - int32_t(code);
        for (int i = 0; i < counts[length - 1]; ++i, ++k, ++code) {
            // The codes of one length must fit in it; the decoder rejects a table that over-fills.
            if (code >= (1u << length))
                return false;
            const uint8_t symbol = values[k];
            m_values[k] = symbol;
            if (m_size[symbol] == 0) {
                m_code[symbol] = uint16_t(code);
                m_size[symbol] = uint8_t(length);
            }
            if (length <= kLookBits) {
                const uint32_t first = code << (kLookBits - length);
                for (uint32_t j = 0; j < (1u << (kLookBits - length)); ++j)
                    m_look[first + j] = uint16_t((length << 8) | symbol);
            }
        }
        if (counts[length - 1])
            m_maxCode[size_t(length)] = int32_t(code) - 1;
        code <<= 1;
    }
    m_defined = true;
    return true;
}

int JpegHuffman::Decode(uint32_t peek, int& length) const
{
    const uint16_t e = m_look[peek >> (16 - kLookBits)];
    if (e) {
        length = e >> 8;
        return e & 0xff;
    }
    for (int l = kLookBits + 1; l <= 16; ++l) {
        const int32_t code = int32_t(peek >> (16 - l));
        if (code <= m_maxCode[size_t(l)]) {
            length = l;
            return m_values[size_t(code + m_valOffset[size_t(l)])];
        }
    }
    return -1;
}

} // namespace repair
