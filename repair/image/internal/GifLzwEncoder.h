// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace repair {

// Codes a GIF frame's pixels (palette indexes below 1 << minCodeSize) with LZW into data sub-blocks,
// for a frame whose own data was damaged: the pixels kept and the filling after them.
class GifLzwEncoder {
public:
    explicit GifLzwEncoder(int minCodeSize);

    void Put(const uint8_t* pixels, size_t count);
    void Repeat(uint8_t pixel, uint64_t count);
    // The end code and the empty sub-block that closes the data.
    void Finish();
    // The sub-blocks written so far, handed over and forgotten.
    std::vector<uint8_t> Take();

private:
    void Pixel(uint8_t p);
    void Emit(int code);
    void Reset();

    static constexpr int kSlots = 8192;
    int m_min, m_clear, m_eoi, m_next = 0, m_size = 0, m_prefix = -1;
    uint32_t m_bits = 0;
    int m_count = 0;
    std::array<int32_t, kSlots> m_keys {};
    std::array<uint16_t, kSlots> m_codes {};
    std::vector<uint8_t> m_block, m_out;
};

} // namespace repair
