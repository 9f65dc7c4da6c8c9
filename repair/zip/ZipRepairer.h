// SPDX-License-Identifier: MIT
#pragma once

#include "Repairer.h"

namespace repair {

// Plain ZIP archives (family "archive", format "zip"): every member the damage left, salvaged into a new
// archive; whole members copied as they stand, damaged ones written with what was recovered.
class ZipRepairer : public Repairer {
public:
    Recognition Recognise(ByteReader& source, std::string_view extension) override;
    Report Repair(
        ByteReader& source, const std::function<AtomicSink&()>& openSink, Progress& progress) override;
};

} // namespace repair
