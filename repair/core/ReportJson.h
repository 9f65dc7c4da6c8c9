// SPDX-License-Identifier: MIT
#pragma once

#include "Repairer.h"

#include <optional>
#include <string>
#include <string_view>

namespace repair {

// The verdict's name in the command line's output: repaired, partial, intact, unrecoverable, error.
std::string_view VerdictName(Verdict verdict);

// The command line's closing JSON object (one line): source, output, family, format, verdict, parts_total,
// parts_recovered, bytes_read, bytes_written, lost, messages. Absent values are null; strings that are
// not valid UTF-8 have each bad byte replaced by U+FFFD.
std::string ReportJson(
    const Report& report, std::string_view source, const std::optional<std::string>& output);

// `text` as a JSON string literal, quotes included.
std::string JsonString(std::string_view text);

} // namespace repair
