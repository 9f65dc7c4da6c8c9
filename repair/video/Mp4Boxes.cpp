// SPDX-License-Identifier: MIT
#include "Mp4Boxes.h"

#include <algorithm>
#include <array>

namespace repair {

namespace {

uint32_t Be32(const uint8_t* p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

uint64_t Be64(const uint8_t* p)
{
    return uint64_t(Be32(p)) << 32 | Be32(p + 4);
}

bool Printable(uint32_t type)
{
    for (int shift = 24; shift >= 0; shift -= 8) {
        const uint8_t c = uint8_t(type >> shift);
        // QuickTime uses the copyright sign (0xA9) to start its metadata types.
        if ((c < 0x20 || c > 0x7e) && c != 0xa9)
            return false;
    }
    return true;
}

constexpr std::array kTopLevel = { Mp4Type("ftyp"), Mp4Type("moov"), Mp4Type("mdat"), Mp4Type("free"),
    Mp4Type("skip"), Mp4Type("wide"), Mp4Type("uuid"), Mp4Type("moof"), Mp4Type("mfra"), Mp4Type("meta"),
    Mp4Type("pdin"), Mp4Type("styp"), Mp4Type("sidx"), Mp4Type("pnot") };

// Inside moov and its descendants the walk resynchronises on the boxes a movie holds.
constexpr std::array kInner = { Mp4Type("mvhd"), Mp4Type("trak"), Mp4Type("udta"), Mp4Type("meta"),
    Mp4Type("iods"), Mp4Type("mvex"), Mp4Type("tkhd"), Mp4Type("edts"), Mp4Type("mdia"), Mp4Type("free") };

} // namespace

std::string Mp4TypeName(uint32_t type)
{
    std::string name;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const char c = char(type >> shift);
        name += (c >= 0x20 && c <= 0x7e) ? c : '?';
    }
    return name;
}

bool Mp4Boxes::TopLevelType(uint32_t type)
{
    return std::find(kTopLevel.begin(), kTopLevel.end(), type) != kTopLevel.end();
}

bool Mp4Boxes::ReadHeader(ByteReader& in, uint64_t offset, uint64_t end, Mp4Box& box)
{
    if (offset > end || end - offset < 8)
        return false;
    uint8_t h[16];
    const size_t n = in.ReadAt(offset, h, std::min<uint64_t>(sizeof h, end - offset));
    if (n < 8)
        return false;
    box = {};
    box.Offset = offset;
    box.Type = Be32(h + 4);
    if (!Printable(box.Type))
        return false;
    const uint32_t size = Be32(h);
    if (size == 1) {
        if (n < 16)
            return false;
        box.HeaderSize = 16;
        box.Size = Be64(h + 8);
        if (box.Size < 16)
            return false;
    } else if (size == 0) {
        box.Size = end - offset;
    } else {
        if (size < 8)
            return false;
        box.Size = size;
    }
    if (box.Size > end - offset) {
        box.Truncated = true;
        box.Size = end - offset;
    }
    return true;
}

Mp4Level Mp4Boxes::TopLevel(ByteReader& in)
{
    return Walk(in, 0, in.Size(), true);
}

Mp4Level Mp4Boxes::Children(ByteReader& in, const Mp4Box& parent)
{
    return Walk(in, parent.PayloadOffset(), parent.End(), false);
}

Mp4Level Mp4Boxes::Walk(ByteReader& in, uint64_t begin, uint64_t end, bool topLevel)
{
    Mp4Level level;
    uint64_t at = begin;
    while (at < end) {
        Mp4Box box;
        if (ReadHeader(in, at, end, box) && (!topLevel || TopLevelType(box.Type) || !level.Boxes.empty())) {
            level.Boxes.push_back(box);
            if (box.Truncated)
                break;
            at = box.End();
            continue;
        }
        const uint64_t next = Resync(in, at + 1, end, topLevel);
        level.Gaps.push_back({ at, next });
        at = next;
    }
    return level;
}

uint64_t Mp4Boxes::Resync(ByteReader& in, uint64_t from, uint64_t end, bool topLevel)
{
    constexpr size_t kBlock = 64 * 1024;
    std::vector<uint8_t> block(kBlock + 8);
    // The type sits 4 bytes into its header; candidates are checked against the whole header.
    for (uint64_t at = from; at < end;) {
        const size_t n = in.ReadAt(at, block.data(), size_t(std::min<uint64_t>(block.size(), end - at)));
        if (n < 8)
            break;
        for (size_t i = 0; i + 8 <= n; ++i) {
            const uint32_t type = Be32(block.data() + i + 4);
            const bool known = topLevel ? TopLevelType(type)
                                        : std::find(kInner.begin(), kInner.end(), type) != kInner.end();
            if (!known)
                continue;
            Mp4Box box;
            // Only the media data or the movie may run past the end: a file cut short.
            if (ReadHeader(in, at + i, end, box)
                && (!box.Truncated || (topLevel && (type == Mp4Type("mdat") || type == Mp4Type("moov")))))
                return at + i;
        }
        if (n < block.size())
            break;
        at += n - 7;
    }
    return end;
}

} // namespace repair
