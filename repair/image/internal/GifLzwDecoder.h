// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace repair {

// Decodes a GIF frame's LZW codes as they come, sub-block by sub-block, handing the pixels (palette
// indexes) to a callback. Stops at the first code that cannot be right.
class GifLzwDecoder {
public:
    // `minCodeSize` as the frame gives it (2 to 8).
    explicit GifLzwDecoder(int minCodeSize);

    // Decodes `n` more bytes; `out(pixels, count)` receives what they decode to. False on a bad code;
    // nothing after it is decoded.
    template <class Out> bool Feed(const uint8_t* bytes, size_t n, Out&& out);
    bool Ended() const { return m_ended; }
    bool Failed() const { return m_failed; }

private:
    // Puts the string of `code` at the end of m_stack; returns its length.
    size_t Spell(int code);
    bool Code(int code, const uint8_t*& pixels, size_t& count);

    int m_min, m_clear, m_eoi, m_next = 0, m_size = 0, m_prev = -1;
    uint32_t m_bits = 0;
    int m_count = 0;
    bool m_ended = false, m_failed = false;
    std::array<uint16_t, 4096> m_prefix {};
    std::array<uint8_t, 4096> m_suffix {}, m_first {};
    std::array<uint16_t, 4096> m_length {};
    std::array<uint8_t, 4097> m_stack {};
};

template <class Out> bool GifLzwDecoder::Feed(const uint8_t* bytes, size_t n, Out&& out)
{
    for (size_t i = 0; i < n && !m_ended && !m_failed; ++i) {
        m_bits |= uint32_t(bytes[i]) << m_count;
        m_count += 8;
        while (m_count >= m_size && !m_ended && !m_failed) {
            const int code = int(m_bits & ((1u << m_size) - 1));
            m_bits >>= m_size;
            m_count -= m_size;
            const uint8_t* pixels = nullptr;
            size_t count = 0;
            if (!Code(code, pixels, count)) {
                m_failed = true;
                return false;
            }
            if (count)
                out(pixels, count);
        }
    }
    return !m_failed;
}

} // namespace repair
