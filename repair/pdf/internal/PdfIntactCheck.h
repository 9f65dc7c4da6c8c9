// SPDX-License-Identifier: MIT
#pragma once

#include "ByteReader.h"

#include <string>

namespace repair {

// What the strict reading of a whole PDF found.
struct PdfCheckResult {
    bool sound = false; // opened without recovery; every object read, every stream decoded, every page parsed
    bool needsPassword = false; // could not be opened without the user's password
    bool encrypted = false;
    size_t pages = 0;
    std::string problem; // the first fault found
};

// Reads a PDF the strict way, through the PDF library, without ever writing anything or decrypting with
// a password: the proof that a file needs no repair.
PdfCheckResult CheckPdf(ByteReader& source);

} // namespace repair
