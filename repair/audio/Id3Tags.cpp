// SPDX-License-Identifier: MIT
#include "Id3Tags.h"

#include "LittleEndian.h"

#include <cstring>
#include <vector>

namespace repair {

namespace {

// Tags larger than this hold pictures past any real use; their frames are not walked, only the header.
constexpr uint64_t kWalkedTag = 16 << 20;

uint32_t SyncSafe(const uint8_t* p)
{
    return uint32_t(p[0]) << 21 | uint32_t(p[1]) << 14 | uint32_t(p[2]) << 7 | p[3];
}

bool IdChar(uint8_t c)
{
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// Walks the frames of a tag body; padding (a zero byte where a frame would start) ends it.
bool FramesHold(const std::vector<uint8_t>& body, int major, bool syncSafeSizes)
{
    const size_t idLength = major == 2 ? 3 : 4;
    const size_t headerLength = major == 2 ? 6 : 10;
    size_t at = 0;
    while (at + headerLength <= body.size()) {
        const uint8_t* f = body.data() + at;
        if (f[0] == 0)
            return true;
        for (size_t i = 0; i < idLength; ++i)
            if (!IdChar(f[i]))
                return false;
        uint64_t size;
        if (major == 2)
            size = uint32_t(f[3]) << 16 | uint32_t(f[4]) << 8 | f[5];
        else if (syncSafeSizes)
            size = (f[4] | f[5] | f[6] | f[7]) & 0x80 ? ~uint64_t(0) : SyncSafe(f + 4);
        else
            size = Be32(f + 4);
        if (size > body.size() - at - headerLength)
            return false;
        at += headerLength + size;
    }
    return at <= body.size();
}

} // namespace

Id3v2Check CheckId3v2(ByteWindow& window, uint64_t at)
{
    Id3v2Check check;
    uint8_t h[10];
    if (!window.Read(at, h, 10) || std::memcmp(h, "ID3", 3) != 0 || h[3] < 2 || h[3] > 4 || h[4] == 0xFF)
        return check;
    check.Present = true;
    const int major = h[3];
    const uint8_t flags = h[5];
    const uint8_t allowed = major == 2 ? 0xC0 : major == 3 ? 0xE0 : 0xF0;
    if ((flags & ~allowed) || ((h[6] | h[7] | h[8] | h[9]) & 0x80)) {
        check.Why = "its header is damaged";
        return check;
    }
    const uint64_t size = SyncSafe(h + 6);
    const bool footer = major == 4 && (flags & 0x10);
    const uint64_t length = 10 + size + (footer ? 10 : 0);
    if (length > window.Size() - at) {
        check.Why = "it runs past the end of the file";
        return check;
    }
    if (footer) {
        uint8_t f[10];
        window.Read(at + 10 + size, f, 10);
        if (std::memcmp(f, "3DI", 3) != 0 || std::memcmp(f + 3, h + 3, 7) != 0) {
            check.Why = "its footer is damaged";
            return check;
        }
    }
    if (size > kWalkedTag || (major == 2 && (flags & 0x40))) { // too large, or compressed (2.2)
        check.Length = length;
        return check;
    }
    std::vector<uint8_t> body(size);
    window.Read(at + 10, body.data(), body.size());
    // Unsynchronisation in 2.2 and 2.3 covers the whole body, the extended header included: undone first.
    if ((flags & 0x80) && major < 4) {
        std::vector<uint8_t> plain;
        plain.reserve(body.size());
        for (size_t i = 0; i < body.size(); ++i) {
            plain.push_back(body[i]);
            if (body[i] == 0xFF && i + 1 < body.size() && body[i + 1] == 0)
                ++i;
        }
        body.swap(plain);
    }
    if (major >= 3 && (flags & 0x40)) {
        if (body.size() < 4) {
            check.Why = "its extended header is damaged";
            return check;
        }
        const uint64_t extended = major == 3 ? 4 + uint64_t(Be32(body.data())) : SyncSafe(body.data());
        if (extended > body.size() || extended < 4) {
            check.Why = "its extended header is damaged";
            return check;
        }
        body.erase(body.begin(), body.begin() + long(extended));
    }
    // Some writers put plain sizes in 2.4 frames: either reading that walks counts.
    if (!FramesHold(body, major, major == 4) && !(major == 4 && FramesHold(body, major, false))) {
        check.Why = "its frames are damaged";
        return check;
    }
    check.Length = length;
    return check;
}

bool Id3v1Sound(const uint8_t* tag)
{
    if (std::memcmp(tag, "TAG", 3) != 0)
        return false;
    // Title, artist, album, year and comment: text padded with zeros or spaces, no control bytes.
    for (size_t i = 3; i < 125; ++i)
        if (tag[i] != 0 && tag[i] < 0x20)
            return false;
    return true;
}

} // namespace repair
