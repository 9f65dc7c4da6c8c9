// SPDX-License-Identifier: MIT
#pragma once

#include <ctime>
#include <string>

// The fixed file's name the window proposes: beside the source, the source's name without its extension,
// "_r", the local time as hhmmssddmmyyyy, then the extension.
std::string DefaultOutputPath(const std::string& source, std::time_t now);
