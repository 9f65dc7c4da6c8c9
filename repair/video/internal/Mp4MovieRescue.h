// SPDX-License-Identifier: MIT
#pragma once

#include "Mp4Boxes.h"

#include <cstdint>
#include <vector>

namespace repair {

// Saves what is whole of a damaged or cut movie header (moov): its tracks whose sample tables are all
// there, and the boxes beside them that are whole.
class Mp4MovieRescue {
public:
    // True when every box on the way to the track's sample tables is whole and those tables are there.
    static bool TrackSound(ByteReader& in, const Mp4Box& track, int depth = 0);
    // The movie header without its damaged children; empty when no track is whole or the movie header
    // (mvhd) is lost. Counts the tracks kept and dropped.
    static std::vector<uint8_t> Rebuild(
        ByteReader& in, const Mp4Box& moov, int& tracksDropped, int& tracksKept);
};

} // namespace repair
