// SPDX-License-Identifier: MIT
#pragma once

#include "ByteReader.h"

#include <cstdint>

namespace repair {

// The source after a lost head of `lost` bytes put back as a media data box of `mediaSize` bytes (its
// header, then zeros), so that the offsets the movie's tables hold point at the data again.
class Mp4HeadView : public ByteReader {
public:
    Mp4HeadView(ByteReader& source, uint64_t lost, uint64_t mediaSize);
    uint64_t Size() const override { return m_lost + m_source.Size(); }
    size_t ReadAt(uint64_t offset, void* buffer, size_t count) override;

private:
    ByteReader& m_source;
    uint64_t m_lost;
    uint8_t m_header[16];
};

} // namespace repair
