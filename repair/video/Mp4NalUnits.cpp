// SPDX-License-Identifier: MIT
#include "Mp4NalUnits.h"

#include <cstring>

namespace repair {

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
        for (size_t i = 1; i + 2 < length;) {
            const void* zero = std::memchr(unit + i, 0, length - 2 - i);
            if (!zero)
                break;
            i = size_t(static_cast<const uint8_t*>(zero) - unit);
            if (unit[i + 1] == 0 && unit[i + 2] <= 2)
                return result;
            ++i;
        }
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
