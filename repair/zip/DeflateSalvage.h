// SPDX-License-Identifier: MIT
#pragma once

#include "ByteReader.h"
#include "ContentSink.h"

#include <cstdint>
#include <optional>

namespace repair {

// What decoding one raw deflate stream gave back.
struct DeflateSalvageResult {
    bool Complete = false; // the final block was reached and ended cleanly
    uint64_t Consumed = 0; // compressed bytes from `begin` up to the end of the last block decoded
    uint64_t Produced = 0; // bytes handed to the sink as data
    uint64_t Lost = 0; // bytes handed to the sink as holes (those of known length)
    uint64_t Unsure = 0; // bytes handed to the sink as unsure (decoded after damage that was not located)
    uint32_t Resyncs = 0; // places where decoding resumed after damage
};

struct DeflateSalvageLimits {
    uint64_t MaxOutput = UINT64_MAX; // stop once this much has been produced (archive bombs)
    // The CRC-32 the content should have. Damage can leave a stream that decodes without a fault: when
    // it then disagrees with this, everything decoded is handed on as unsure instead of as data.
    std::optional<uint32_t> ExpectedCrc;
};

// Decodes the raw deflate stream that starts at `begin` and lies before `end` (the end of the source
// when its length is not known). Where the stream is damaged it resumes at the next block that decodes;
// bytes that referred back into a lost stretch are reported as lost, never guessed.
DeflateSalvageResult SalvageDeflate(
    ByteReader& in, uint64_t begin, uint64_t end, ContentSink& out, const DeflateSalvageLimits& limits = {});

} // namespace repair
