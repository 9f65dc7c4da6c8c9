// SPDX-License-Identifier: MIT
#pragma once

#include "ByteReader.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace repair {

// A read-ahead window over a source walked mostly front to back: small reads (chunk headers, a scan for
// the next one) served from one buffer instead of a system call each.
class AviWindow {
public:
    explicit AviWindow(ByteReader& source, size_t size = 1 << 20);
    // `count` bytes at `offset`, or null when fewer are there. `count` at most half the window; the
    // pointer stays valid until the next call.
    const uint8_t* At(uint64_t offset, size_t count);
    uint64_t Size() const { return m_sourceSize; }

private:
    ByteReader& m_source;
    uint64_t m_sourceSize;
    std::vector<uint8_t> m_buffer;
    uint64_t m_start = 0;
    size_t m_filled = 0;
};

} // namespace repair
