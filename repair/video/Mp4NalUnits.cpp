// SPDX-License-Identifier: MIT
#include "Mp4NalUnits.h"

#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace repair {

namespace {

// Two zero bytes and a byte of at most 2 after the unit's header: what emulation prevention rules out.
// Zero bytes are common in picture data, but pairs of them rare: sixteen places are tested at a time.
bool HasStartCode(const uint8_t* unit, size_t length)
{
    size_t i = 1;
#ifdef __SSE2__
    const __m128i zero = _mm_setzero_si128();
    for (; i + 17 <= length; i += 16) {
        const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(unit + i));
        const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(unit + i + 1));
        unsigned pairs = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(here, zero)))
            & unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(next, zero)));
        while (pairs) {
            const size_t at = i + size_t(__builtin_ctz(pairs));
            if (at + 2 < length && unit[at + 2] <= 2)
                return true;
            pairs &= pairs - 1;
        }
    }
#endif
    for (; i + 2 < length; ++i)
        if (unit[i] == 0 && unit[i + 1] == 0 && unit[i + 2] <= 2)
            return true;
    return false;
}

} // namespace

Mp4NalSample CheckNalUnits(const uint8_t* data, size_t size, int lengthSize)
{
    Mp4NalSample result;
    if (lengthSize < 1 || lengthSize > 4 || size == 0)
        return result;
    size_t at = 0;
    while (at < size) {
        if (size - at < size_t(lengthSize))
            return result;
        uint32_t length = 0;
        for (int i = 0; i < lengthSize; ++i)
            length = length << 8 | data[at + size_t(i)];
        at += size_t(lengthSize);
        if (length == 0 || length > size - at)
            return result;
        const uint8_t* unit = data + at;
        const uint8_t header = unit[0];
        const int type = header & 0x1f;
        if ((header & 0x80) || type == 0 || (type >= 24 && type <= 31))
            return result;
        // A unit ends with its stop bit, so its last byte is never zero.
        if (unit[length - 1] == 0)
            return result;
        if (HasStartCode(unit, length))
            return result;
        if (type == 1 || type == 5) {
            result.Picture = true;
            if (header & 0x60)
                result.Reference = true;
            if (type == 5)
                result.Idr = true;
        }
        at += length;
    }
    result.Sound = true;
    return result;
}

int AvcLengthSize(const uint8_t* avcC, size_t size)
{
    if (size < 7 || avcC[0] != 1)
        return 0;
    return (avcC[4] & 3) + 1;
}

} // namespace repair
