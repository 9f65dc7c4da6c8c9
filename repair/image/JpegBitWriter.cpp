// SPDX-License-Identifier: MIT
#include "JpegBitWriter.h"

namespace repair {

void JpegBitWriter::Put(uint32_t bits, int count)
{
    for (int i = count - 1; i >= 0; --i) {
        m_bits = (m_bits << 1) | ((bits >> i) & 1);
        if (++m_count == 8) {
            m_out.push_back(uint8_t(m_bits));
            if (m_bits == 0xFF)
                m_out.push_back(0);
            m_bits = 0;
            m_count = 0;
        }
    }
}

std::vector<uint8_t> JpegBitWriter::Finish()
{
    if (m_count)
        Put((1u << (8 - m_count)) - 1, 8 - m_count);
    std::vector<uint8_t> out;
    out.swap(m_out);
    return out;
}

} // namespace repair
