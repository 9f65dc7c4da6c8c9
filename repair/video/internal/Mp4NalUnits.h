// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>

namespace repair {

// What the walk of one H.264 sample (NAL units, each after a big-endian length) found.
struct Mp4NalSample {
    bool Sound = false; // lengths fill the sample exactly and every unit is well formed
    bool Reference = false; // some picture data in it may be referred to by later pictures
    bool Idr = false; // it holds an instantaneous decoder refresh picture
    bool Picture = false; // it holds picture data at all
};

// Checks the NAL units of an H.264 sample without decoding them: each length within the sample, a
// header with the forbidden bit clear and a known type, and no start-code-like run of zero bytes inside a
// unit (the encoder's emulation prevention rules those out, so zeroed sectors show).
Mp4NalSample CheckNalUnits(const uint8_t* data, size_t size, int lengthSize);

// The NAL length size that an avcC record (the H.264 decoder configuration) gives; 0 when it is unsound.
int AvcLengthSize(const uint8_t* avcC, size_t size);

} // namespace repair
