// SPDX-License-Identifier: MIT
#pragma once

#include "ByteReader.h"

#include <cstdint>
#include <string>
#include <vector>

namespace repair {

class Progress;

// A stretch of the reader's bytes.
struct PngPiece {
    uint64_t Offset = 0;
    uint64_t Length = 0;
};

// One chunk as the walk found it, or a stretch of bytes that holds none.
struct PngChunk {
    enum class State {
        Sound, // its checksum holds
        Corrected, // its checksum holds once a damaged byte, length or inserted stretch is put right
        Damaged, // its checksum fails; Data holds its bytes as they read, up to a zeroed stretch
        Cut, // the file ends inside it; Data holds what is there, up to a zeroed stretch
        Gap, // bytes in which no chunk could be found
    };
    State Kind = State::Sound;
    uint64_t Offset = 0; // of its length field (a gap: of its first byte)
    uint64_t Span = 0; // bytes it takes in the reader
    uint32_t Type = 0;
    uint32_t Length = 0; // of its data, as it is once put right
    std::vector<PngPiece> Data; // its data, in order
    bool Truncated = false; // Data stops before the chunk's end
    bool Patched = false; // one byte of Data differs from the reader's
    uint64_t PatchAt = 0;
    uint8_t PatchValue = 0;

    bool Usable() const { return Kind == State::Sound || Kind == State::Corrected; }
    uint64_t KnownBytes() const;
};

// Walks the chunks of an image front to back: checks every checksum, puts right what a checksum can
// prove (one damaged byte, a damaged length, a stretch of inserted bytes), and after damage finds the
// next chunk again by its header. Reads the source once, plus the chunks it tries to put right.
class PngChunkWalk {
public:
    PngChunkWalk(ByteReader& source, Progress& progress);
    void Run();

    const std::vector<PngChunk>& Chunks() const { return m_chunks; }
    bool SignatureSound() const { return m_signatureSound; }
    bool EndFound() const { return m_endFound; }
    uint64_t BytesAfterEnd() const { return m_afterEnd; }

    // Copies up to `count` bytes of a chunk's known data from `offset` in it; returns how many.
    size_t ReadData(const PngChunk& chunk, uint64_t offset, uint8_t* buffer, size_t count);

private:
    uint64_t FindStart();
    bool Plausible(uint64_t at, bool known);
    uint64_t Resync(uint64_t from); // the reader's size when nothing is found
    uint32_t Crc(uint32_t crc, uint64_t offset, uint64_t length);
    bool CrcMatches(uint64_t at, uint32_t type, uint64_t length);
    // Checks a chunk that ends where its length says; false when it does not end there.
    bool InPlace(PngChunk& chunk);
    void PutRightInPlace(PngChunk& chunk, uint32_t computed, uint32_t stored);
    bool RemoveInserted(PngChunk& chunk, uint64_t next);
    uint64_t KnownPrefix(uint64_t offset, uint64_t length);
    void AddGap(uint64_t from, uint64_t to);

    ByteReader& m_source;
    Progress& m_progress;
    std::vector<PngChunk> m_chunks;
    std::vector<uint8_t> m_buffer;
    bool m_signatureSound = false;
    bool m_endFound = false;
    uint64_t m_afterEnd = 0;
    uint64_t m_reported = 0;
};

} // namespace repair
