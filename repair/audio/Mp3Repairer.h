// SPDX-License-Identifier: MIT
#pragma once

#include "Repairer.h"

namespace repair {

// MP3 files (family "music", format "mp3"): the frames of the stream walked, garbage and damaged frames
// dropped, sound ID3 tags kept, and the Xing/Info header made to tell the truth again (a VBRI header, or
// a damaged one, removed). Frames are copied, never re-encoded.
class Mp3Repairer : public Repairer {
public:
    Recognition Recognise(ByteReader& source, std::string_view extension) override;
    Report Repair(
        ByteReader& source, const std::function<AtomicSink&()>& openSink, Progress& progress) override;
};

} // namespace repair
