// SPDX-License-Identifier: MIT
#pragma once

#include "ByteReader.h"

#include <cstdint>

namespace repair {

// The source with `length` bytes at `at` taken out (bytes inserted by damage): what follows moves back.
class Mp4CutView : public ByteReader {
public:
    Mp4CutView(ByteReader& source, uint64_t at, uint64_t length);
    uint64_t Size() const override { return m_size; }
    size_t ReadAt(uint64_t offset, void* buffer, size_t count) override;

private:
    ByteReader& m_source;
    uint64_t m_at;
    uint64_t m_length;
    uint64_t m_size;
};

} // namespace repair
