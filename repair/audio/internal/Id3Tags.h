// SPDX-License-Identifier: MIT
#pragma once

#include "ByteWindow.h"

#include <cstdint>
#include <string>

namespace repair {

// An ID3v2 tag at `at`: its whole extent (header, body and footer) when its header and frames hold
// together, 0 when they do not (the tag is then dropped) or when no tag starts there.
struct Id3v2Check {
    bool Present = false; // "ID3" and a version this walk knows
    uint64_t Length = 0; // 0: not sound
    std::string Why; // what was wrong, when not sound
};
Id3v2Check CheckId3v2(ByteWindow& window, uint64_t at);

// A 128-byte ID3v1 tag: "TAG" and text fields that hold text.
bool Id3v1Sound(const uint8_t* tag);

} // namespace repair
