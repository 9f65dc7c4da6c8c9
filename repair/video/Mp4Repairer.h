// SPDX-License-Identifier: MIT
#pragma once

#include "Repairer.h"

#include <cstdint>
#include <string>

namespace repair {

// MP4 and QuickTime movies (family "video", formats "mp4" and "mov"): the samples the damage left, copied
// into a new file whose sample tables list only them. Damaged samples are dropped, and with a damaged
// picture every picture up to the next key picture; a movie header cut short keeps its whole tracks.
class Mp4Repairer : public Repairer {
public:
    // Samples are decoded to check them when the file is at most `decodeLimit` bytes; beyond, only their
    // structure is checked, which finds zeroed and missing data but not every changed byte.
    explicit Mp4Repairer(uint64_t decodeLimit = uint64_t(256) << 20);
    Recognition Recognise(ByteReader& source, std::string_view extension) override;
    Report Repair(
        ByteReader& source, const std::function<AtomicSink&()>& openSink, Progress& progress) override;

private:
    uint64_t m_decodeLimit;
    // What Recognise() made of the file: the kind when its brand box is lost.
    std::string m_format;
};

} // namespace repair
