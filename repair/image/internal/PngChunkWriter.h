// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace repair {

class AtomicSink;
class PngChunkWalk;
struct PngChunk;

// Writes the fixed image: the signature, chunks with their checksums, and the compressed image data cut
// into chunks of a fixed size as it arrives.
class PngChunkWriter {
public:
    explicit PngChunkWriter(AtomicSink& sink);
    void Signature();
    void Chunk(uint32_t type, const uint8_t* data, size_t count);
    // A chunk's known data as the walk put it right, under a new checksum.
    void Copy(PngChunkWalk& walk, const PngChunk& chunk);
    void ImageData(const uint8_t* data, size_t count);
    void EndImageData();

private:
    void FlushImageData();

    AtomicSink& m_sink;
    std::vector<uint8_t> m_pending;
};

} // namespace repair
