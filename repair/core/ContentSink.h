// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>

namespace repair {

// Receives recovered content in order: stretches of bytes known to be right, and holes where bytes were
// lost. Decoders write into it; the XML closer and the archive writer read from it.
class ContentSink {
public:
    virtual ~ContentSink() = default;
    virtual void Data(const uint8_t* bytes, size_t count) = 0;
    // `count` bytes were lost here; 0 when how many is not known.
    virtual void Hole(uint64_t count) = 0;
    // Bytes decoded after damage whose place could not be found: right up to an unknown point, wrong
    // after it. A reader that can check them (well-formed XML) may keep what checks; by default they are
    // lost.
    virtual void Unsure(const uint8_t* bytes, size_t count)
    {
        (void)bytes;
        Hole(count);
    }
};

} // namespace repair
