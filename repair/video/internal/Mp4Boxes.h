// SPDX-License-Identifier: MIT
#pragma once

#include "ByteReader.h"

#include <cstdint>
#include <string>
#include <vector>

namespace repair {

constexpr uint32_t Mp4Type(const char (&t)[5])
{
    return uint32_t(uint8_t(t[0])) << 24 | uint32_t(uint8_t(t[1])) << 16 | uint32_t(uint8_t(t[2])) << 8
        | uint32_t(uint8_t(t[3]));
}

std::string Mp4TypeName(uint32_t type);

// One box as its header declares it.
struct Mp4Box {
    uint32_t Type = 0;
    uint64_t Offset = 0;
    uint64_t Size = 0; // header included, as declared (size 0 resolved to the end of the parent)
    uint32_t HeaderSize = 8;
    bool Truncated = false; // the declared size runs past the end of its parent
    uint64_t End() const { return Offset + Size; }
    uint64_t PayloadOffset() const { return Offset + HeaderSize; }
};

// A span of bytes in which no box could be read.
struct Mp4Gap {
    uint64_t Begin = 0;
    uint64_t End = 0;
};

// The boxes between `begin` and `end`, in order; after bytes that hold no box the walk looks ahead for the
// next one it knows. A truncated box ends the walk.
struct Mp4Level {
    std::vector<Mp4Box> Boxes;
    std::vector<Mp4Gap> Gaps;
    bool Sound() const { return Gaps.empty() && (Boxes.empty() || !Boxes.back().Truncated); }
};

// Walks the box structure of an MP4 or QuickTime file: sizes of 32 or 64 bits, size 0 for "to the end",
// types of four printable characters; resynchronises after damage on the types a file of this kind holds.
class Mp4Boxes {
public:
    // The top level of the whole file.
    static Mp4Level TopLevel(ByteReader& in);
    // The boxes inside `parent` (whose payload holds boxes only).
    static Mp4Level Children(ByteReader& in, const Mp4Box& parent);
    // A box header at `offset`, not past `end`; false when none can be read there.
    static bool ReadHeader(ByteReader& in, uint64_t offset, uint64_t end, Mp4Box& box);
    // True when `type` is one that may stand at the top level of a file.
    static bool TopLevelType(uint32_t type);

private:
    static Mp4Level Walk(ByteReader& in, uint64_t begin, uint64_t end, bool topLevel);
    static uint64_t Resync(ByteReader& in, uint64_t from, uint64_t end, bool topLevel);
};

} // namespace repair
