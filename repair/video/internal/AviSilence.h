// SPDX-License-Identifier: MIT
#pragma once

#include "AviHeader.h"

#include <cstdint>
#include <vector>

namespace repair {

// Stand-ins for audio chunks lost to damage, so that the sound after them stays in step with the
// pictures: plain samples become silence of the same length, an MPEG audio frame an empty frame of the
// stream's own kind (its header, no coded sound). Other codings have none.
class AviSilence {
public:
    // `sample` is a sound chunk of the same stream (its first frame header is used); `size` the lost
    // chunk's size. Empty when no stand-in can be made.
    static std::vector<uint8_t> For(
        const AviStream& stream, const std::vector<uint8_t>& sample, uint32_t size);
    // The length of the MPEG audio frame whose header starts at `p`, or 0 when it is no such header.
    static uint32_t MpegFrameSize(const uint8_t* p);
};

} // namespace repair
