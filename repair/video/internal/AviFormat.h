// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

namespace repair {

// The little-endian words and FourCCs of the RIFF layout.
constexpr uint32_t AviTag(char a, char b, char c, char d)
{
    return uint32_t(uint8_t(a)) | uint32_t(uint8_t(b)) << 8 | uint32_t(uint8_t(c)) << 16
        | uint32_t(uint8_t(d)) << 24;
}

inline uint32_t AviLe32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

inline uint16_t AviLe16(const uint8_t* p)
{
    return uint16_t(p[0] | p[1] << 8);
}

inline void AviPut32(uint8_t* p, uint32_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}

constexpr uint32_t kAviRiff = AviTag('R', 'I', 'F', 'F');
constexpr uint32_t kAviList = AviTag('L', 'I', 'S', 'T');
constexpr uint32_t kAviForm = AviTag('A', 'V', 'I', ' ');
constexpr uint32_t kAviExtension = AviTag('A', 'V', 'I', 'X');
constexpr uint32_t kAviMovi = AviTag('m', 'o', 'v', 'i');
constexpr uint32_t kAviRecord = AviTag('r', 'e', 'c', ' ');
constexpr uint32_t kAviIndex = AviTag('i', 'd', 'x', '1');
constexpr uint32_t kAviJunk = AviTag('J', 'U', 'N', 'K');
constexpr uint32_t kAviVideo = AviTag('v', 'i', 'd', 's');
constexpr uint32_t kAviAudio = AviTag('a', 'u', 'd', 's');

constexpr uint32_t kAviKeyFrame = 0x10; // an index entry's flag
constexpr uint32_t kAviHasIndex = 0x10; // the main header's flag
// No real frame or block comes near this; a bigger size is damage.
constexpr uint32_t kAviMaxChunk = 32u << 20;

// The stream number of a data chunk id ('01wb' is 1), or -1.
inline int AviStreamOf(uint32_t id)
{
    const int a = int(id & 0xFF) - '0', b = int((id >> 8) & 0xFF) - '0';
    if (a < 0 || a > 9 || b < 0 || b > 9)
        return -1;
    return a * 10 + b;
}

} // namespace repair
