// SPDX-License-Identifier: MIT
#pragma once

#include "Repairer.h"

#include <optional>

namespace repair {

// Flash video files (family "video", format "flv"): the tags the damage left, walked and resynchronised,
// checked by decoding, copied unchanged with true trailing sizes; a lost picture drops the pictures up
// to the next key frame (every tag carries its own time, so the rest keep theirs); the metadata's
// duration and file size corrected.
class FlvRepairer : public Repairer {
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
