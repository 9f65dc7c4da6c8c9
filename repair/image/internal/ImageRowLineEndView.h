// SPDX-License-Identifier: MIT
#pragma once

#include "ByteReader.h"

#include <cstdint>
#include <vector>

namespace repair {

// A file as it was before a text-mode transfer turned every LF into CR LF: the CR before each LF is
// left out. Random access through one offset per 64 KiB block, found in one pass.
class ImageRowLineEndView : public ByteReader {
public:
    explicit ImageRowLineEndView(ByteReader& source);
    uint64_t Size() const override { return m_size; }
    size_t ReadAt(uint64_t offset, void* buffer, size_t count) override;

private:
    ByteReader& m_source;
    uint64_t m_size = 0;
    std::vector<uint64_t> m_blockStart; // view offset at which each source block begins
    std::vector<uint8_t> m_chunk;
};

} // namespace repair
