// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>

namespace repair {

// Random access to bytes that are only read: the source file, or a view of it (a range, the source with
// a transfer's damage undone). Reads past the end are short; an I/O failure throws ReadError.
class ByteReader {
public:
    virtual ~ByteReader() = default;
    virtual uint64_t Size() const = 0;
    // Copies up to `count` bytes from `offset` into `buffer`; returns how many, fewer only at the end.
    virtual size_t ReadAt(uint64_t offset, void* buffer, size_t count) = 0;
};

} // namespace repair
