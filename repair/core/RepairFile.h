// SPDX-License-Identifier: MIT
#pragma once

#include "Repairer.h"

#include <memory>
#include <string>
#include <vector>

namespace repair {

class Progress;

// Repairs one file: recognises its kind among `families` (the highest score wins; signatures first, the
// extension only a hint), repairs it into `output`, and keeps the fixed file only when the verdict is
// repaired or partial. Errors (source unreadable, output exists, disk full, stopped) give verdict Error
// with the reason in Messages, and nothing written. BytesRead and BytesWritten are filled in here.
Report RepairFile(const std::vector<std::unique_ptr<Repairer>>& families, const std::string& source,
    const std::string& output, Progress& progress);

} // namespace repair
