// SPDX-License-Identifier: MIT
#include "GifLzwEncoder.h"

namespace repair {

GifLzwEncoder::GifLzwEncoder(int minCodeSize)
    : m_min(minCodeSize)
    , m_clear(1 << minCodeSize)
    , m_eoi(m_clear + 1)
{
    Reset();
    Emit(m_clear);
}

void GifLzwEncoder::Reset()
{
    m_keys.fill(-1);
    m_next = m_eoi + 1;
    m_size = m_min + 1;
}

void GifLzwEncoder::Emit(int code)
{
    m_bits |= uint32_t(code) << m_count;
    m_count += m_size;
    while (m_count >= 8) {
        m_block.push_back(uint8_t(m_bits));
        m_bits >>= 8;
        m_count -= 8;
        if (m_block.size() == 255) {
            m_out.push_back(255);
            m_out.insert(m_out.end(), m_block.begin(), m_block.end());
            m_block.clear();
        }
    }
    // The decoder widens its codes once its table reaches the next power of two, one code later than
    // the table here grows: widen on the same code.
    if (code != m_clear && m_next >= (1 << m_size) && m_size < 12)
        ++m_size;
}

void GifLzwEncoder::Pixel(uint8_t p)
{
    if (m_prefix < 0) {
        m_prefix = p;
        return;
    }
    const int32_t key = m_prefix << 8 | p;
    size_t slot = size_t(key * 2654435761u) % kSlots;
    while (m_keys[slot] >= 0) {
        if (m_keys[slot] == key) {
            m_prefix = m_codes[slot];
            return;
        }
        slot = (slot + 1) % kSlots;
    }
    Emit(m_prefix);
    if (m_next >= 4095) {
        Emit(m_clear);
        Reset();
    } else {
        m_keys[slot] = key;
        m_codes[slot] = uint16_t(m_next++);
    }
    m_prefix = p;
}

void GifLzwEncoder::Put(const uint8_t* pixels, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        Pixel(pixels[i]);
}

void GifLzwEncoder::Repeat(uint8_t pixel, uint64_t count)
{
    for (uint64_t i = 0; i < count; ++i)
        Pixel(pixel);
}

void GifLzwEncoder::Finish()
{
    if (m_prefix >= 0)
        Emit(m_prefix);
    Emit(m_eoi);
    if (m_count > 0) {
        m_block.push_back(uint8_t(m_bits));
        m_bits = 0;
        m_count = 0;
    }
    if (!m_block.empty()) {
        m_out.push_back(uint8_t(m_block.size()));
        m_out.insert(m_out.end(), m_block.begin(), m_block.end());
        m_block.clear();
    }
    m_out.push_back(0);
}

std::vector<uint8_t> GifLzwEncoder::Take()
{
    std::vector<uint8_t> out;
    out.swap(m_out);
    return out;
}

} // namespace repair
