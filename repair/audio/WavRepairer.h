// SPDX-License-Identifier: MIT
#pragma once

#include "Repairer.h"

namespace repair {

// WAV files (family "music", format "wav"): sizes made true to the samples that are there, whole sample
// frames only, chunks after damage found again, a lost format rebuilt where the file proves it. The
// samples are copied as they stand, never converted.
class WavRepairer : public Repairer {
public:
    Recognition Recognise(ByteReader& source, std::string_view extension) override;
    Report Repair(
        ByteReader& source, const std::function<AtomicSink&()>& openSink, Progress& progress) override;
};

} // namespace repair
