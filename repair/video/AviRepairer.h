// SPDX-License-Identifier: MIT
#pragma once

#include "Repairer.h"

#include <optional>

namespace repair {

// AVI files (family "video", format "avi"): the data chunks the damage left, walked from the data list,
// checked by decoding, copied unchanged into a new file with a fresh index, true sizes and counts. A lost
// picture becomes an empty chunk up to the next key frame and lost sound a silent stand-in where the
// coding allows, so that both streams keep their timing.
class AviRepairer : public Repairer {
public:
    Recognition Recognise(ByteReader& source, std::string_view extension) override;
    Report Repair(
        ByteReader& source, const std::function<AtomicSink&()>& openSink, Progress& progress) override;

private:
    // Nothing when the file shows a text-mode transfer's damage that should be undone first.
    std::optional<Report> Salvage(ByteReader& source, const std::function<AtomicSink&()>& openSink,
        Progress& progress, bool transferUndone);
};

} // namespace repair
