// SPDX-License-Identifier: MIT
#pragma once

#include "ByteReader.h"

#include <cstdint>
#include <vector>

namespace repair {

// The source with a text-mode transfer undone: every CR that stands before an LF taken out. Holds one
// count per 64 KB of the source, so its memory stays small for any size.
class Mp4LineEndView : public ByteReader {
public:
    explicit Mp4LineEndView(ByteReader& source);
    // True when the source looks like a transfer's output: line feeds in it, and a CR before every one.
    bool Transferred() const { return m_lineFeeds > 0 && m_lone == 0; }
    uint64_t Size() const override { return m_size; }
    size_t ReadAt(uint64_t offset, void* buffer, size_t count) override;

private:
    static constexpr uint64_t kBlock = 64 * 1024;
    ByteReader& m_source;
    std::vector<uint64_t> m_removedBefore; // CRs taken out before each block of the source
    uint64_t m_lineFeeds = 0;
    uint64_t m_lone = 0; // line feeds without a CR before them
    uint64_t m_size = 0;
    std::vector<uint8_t> m_block;
};

} // namespace repair
