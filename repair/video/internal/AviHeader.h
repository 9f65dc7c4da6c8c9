// SPDX-License-Identifier: MIT
#pragma once

#include "AvCheck.h"
#include "ByteReader.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace repair {

// One stream as its header list describes it.
struct AviStream {
    uint32_t Type = 0; // 'vids', 'auds', ...
    uint32_t Scale = 0, Rate = 0, SampleSize = 0, Length = 0;
    uint64_t LengthAt = 0; // where the stream header keeps Length, in the source
    AvStreamCoding Coding;
    bool IsVideo() const;
    bool IsAudio() const;
};

// The head of an AVI file, up to its first `movi` list: the header list parsed, where the counts that a
// repair corrects are kept, and where the data begins. Found by its lists even when the RIFF header or
// the chunks around them are damaged.
class AviHeader {
public:
    // Nothing when no usable header list or no `movi` list is found.
    static std::optional<AviHeader> Read(ByteReader& source);
    // For a file whose header list is lost: one made anew from the stream headers that are left and
    // from the data (the pictures' coding and size from their first key frame, their rate from the
    // sound's). Nothing when a stream's coding cannot be told.
    static std::optional<AviHeader> Rebuild(ByteReader& source);

    std::vector<uint8_t> Head; // everything before the first `movi` list, to be written
    bool Rebuilt = false;
    uint32_t RiffDeclared = 0; // the first RIFF's size; 0 when the RIFF header is lost
    bool RiffHeaderRight = false; // "RIFF" .... "AVI " at the start
    bool HeaderListRight = true; // its size ends before the data (corrected in Head if not)
    uint64_t MoviList = 0; // the first "LIST" .... "movi"
    uint32_t MoviDeclared = 0;
    uint32_t TotalFrames = 0, Flags = 0;
    uint64_t TotalFramesAt = 0, FlagsAt = 0; // these positions are in Head
    std::vector<uint64_t> ExtendedFramesAt; // the extended header's total frame count
    std::vector<uint64_t> SuperIndexAt; // stream super indexes, replaced by padding when rewritten
    std::vector<AviStream> Streams;

private:
    static std::optional<AviHeader> Parse(const std::vector<uint8_t>& head);
};

} // namespace repair
