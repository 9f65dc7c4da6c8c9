// SPDX-License-Identifier: MIT
#pragma once

#include "LineEndView.h"
#include "Progress.h"
#include "Repairer.h"

#include <optional>

namespace repair {

// Salvages `source`; when the salvage declines it, salvages it again with a text-mode transfer's CR LF
// undone, which may leave the file whole again. `salvage(reader, transferUndone)` gives the report.
template <typename Salvage>
Report SalvageOrUndoTransfer(ByteReader& source, Progress& progress, Salvage salvage)
{
    if (std::optional<Report> report = salvage(source, false))
        return *report;
    LineEndView view(source);
    progress.SetTotal(progress.Done() + 3 * view.Size() + 1);
    std::optional<Report> report = salvage(view, true);
    report->Messages.insert(
        report->Messages.begin(), "a text-mode transfer turned every LF into CR LF: undone");
    return *report;
}

} // namespace repair
