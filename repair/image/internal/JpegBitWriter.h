// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <vector>

namespace repair {

// Writes entropy-coded bits of our own (the flat blocks that stand in for lost ones) as scan bytes: a
// zero after each 0xFF, the last byte padded with one bits.
class JpegBitWriter {
public:
    void Put(uint32_t bits, int count);
    // Pads to a whole byte and hands over what was written.
    std::vector<uint8_t> Finish();
    bool Empty() const { return m_out.empty() && m_count == 0; }

private:
    std::vector<uint8_t> m_out;
    uint32_t m_bits = 0;
    int m_count = 0;
};

} // namespace repair
