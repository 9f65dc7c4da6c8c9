// SPDX-License-Identifier: MIT
#pragma once

#include "ByteReader.h"

#include <cstdint>
#include <vector>

namespace repair {

// The source with one span replaced by other bytes of the same length or shorter (a rebuilt movie
// header); when shorter, free boxes fill the rest, so every offset after it keeps its place. A rest too
// small for a box is cut out (harmless where the span ends the file, the one place callers leave one).
class Mp4PatchedView : public ByteReader {
public:
    Mp4PatchedView(ByteReader& source, uint64_t begin, uint64_t end, std::vector<uint8_t> replacement);
    uint64_t Size() const override { return m_size; }
    size_t ReadAt(uint64_t offset, void* buffer, size_t count) override;

private:
    ByteReader& m_source;
    uint64_t m_begin;
    uint64_t m_end;
    std::vector<uint8_t> m_patch; // the replacement and the header of the free box after it
    uint64_t m_padding = 0; // the free box's zeros
    uint64_t m_size;
};

} // namespace repair
