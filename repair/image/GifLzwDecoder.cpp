// SPDX-License-Identifier: MIT
#include "GifLzwDecoder.h"

namespace repair {

GifLzwDecoder::GifLzwDecoder(int minCodeSize)
    : m_min(minCodeSize)
    , m_clear(1 << minCodeSize)
    , m_eoi(m_clear + 1)
{
    m_next = m_eoi + 1;
    m_size = m_min + 1;
    for (int i = 0; i < m_clear; ++i) {
        m_suffix[size_t(i)] = m_first[size_t(i)] = uint8_t(i);
        m_length[size_t(i)] = 1;
    }
}

size_t GifLzwDecoder::Spell(int code)
{
    const size_t length = m_length[size_t(code)];
    size_t at = length;
    for (int c = code; at > 0; c = m_prefix[size_t(c)])
        m_stack[--at] = m_suffix[size_t(c)];
    return length;
}

bool GifLzwDecoder::Code(int code, const uint8_t*& pixels, size_t& count)
{
    if (code == m_clear) {
        m_next = m_eoi + 1;
        m_size = m_min + 1;
        m_prev = -1;
        return true;
    }
    if (code == m_eoi) {
        m_ended = true;
        return true;
    }
    if (m_prev < 0) {
        if (code >= m_clear)
            return false;
        m_stack[0] = uint8_t(code);
        pixels = m_stack.data();
        count = 1;
        m_prev = code;
        return true;
    }
    if (code < m_next && code != m_clear && code != m_eoi) {
        count = Spell(code);
        if (m_next < 4096) {
            m_prefix[size_t(m_next)] = uint16_t(m_prev);
            m_suffix[size_t(m_next)] = m_first[size_t(code)];
            m_first[size_t(m_next)] = m_first[size_t(m_prev)];
            m_length[size_t(m_next)] = uint16_t(m_length[size_t(m_prev)] + 1);
            ++m_next;
        }
    } else if (code == m_next && m_next < 4096) {
        // The string being defined: the previous one and its own first pixel.
        m_prefix[size_t(m_next)] = uint16_t(m_prev);
        m_suffix[size_t(m_next)] = m_first[size_t(m_prev)];
        m_first[size_t(m_next)] = m_first[size_t(m_prev)];
        m_length[size_t(m_next)] = uint16_t(m_length[size_t(m_prev)] + 1);
        ++m_next;
        count = Spell(code);
    } else {
        return false;
    }
    pixels = m_stack.data();
    m_prev = code;
    if (m_next == (1 << m_size) && m_size < 12)
        ++m_size;
    return true;
}

} // namespace repair
