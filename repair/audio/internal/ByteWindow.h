// SPDX-License-Identifier: MIT
#pragma once

#include "ByteReader.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace repair {

// A window of the source that slides forward as a walker moves through it: walkers look at a few bytes
// anywhere ahead without a read per look, and memory stays at the window's size whatever the file's.
class ByteWindow {
public:
    explicit ByteWindow(ByteReader& source, size_t capacity = size_t(1) << 20);

    uint64_t Size() const { return m_size; }
    // The bytes from `offset` on; `available` is at least min(want, Size() - offset) and want is at most
    // half the capacity. Valid until the next call.
    const uint8_t* At(uint64_t offset, size_t want, size_t& available);
    // Copies `count` bytes at `offset`; false when the file ends before them.
    bool Read(uint64_t offset, void* out, size_t count);

private:
    ByteReader& m_source;
    uint64_t m_size;
    std::vector<uint8_t> m_buffer;
    uint64_t m_start = 0;
    size_t m_length = 0;
};

} // namespace repair
