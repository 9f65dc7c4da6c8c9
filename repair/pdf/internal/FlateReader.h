// SPDX-License-Identifier: MIT
#pragma once

#include "ByteReader.h"

#include <cstdint>
#include <functional>

namespace repair {

// What inflating one stream's data gave.
struct FlateResult {
    bool complete = false; // the stream ended cleanly, its checksum right
    bool overLimit = false; // it inflates to more than the limit: stopped there
    uint64_t produced = 0; // bytes handed on
};

// Inflates the zlib stream stored at [begin, begin + length) of `source`, handing the output on in pieces
// (at most `limit` bytes in all); stops at the first fault, having handed on everything before it.
FlateResult InflateRange(ByteReader& source, uint64_t begin, uint64_t length, uint64_t limit,
    const std::function<void(const uint8_t*, size_t)>& out);

} // namespace repair
