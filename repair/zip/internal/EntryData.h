// SPDX-License-Identifier: MIT
#pragma once

#include "ByteReader.h"
#include "ContentSink.h"

#include <cstdint>
#include <optional>

namespace repair {

class Progress;

// What reading one member's compressed data through zlib gave.
struct DataCheck {
    bool Ended = false; // the stream reached its end cleanly (stored: every byte was there)
    bool Failed = false; // the decoder refused the data
    bool OverLimit = false; // it went on past the output allowed
    uint64_t Consumed = 0; // compressed bytes used
    uint64_t Produced = 0; // bytes decoded
    uint32_t Crc32 = 0; // of the bytes decoded
};

// How the decoded bytes reach the sink: as proven, as unproven, or not at all (checking only).
enum class Delivery { None, Data, Unsure };

// Streams the member's data that starts at `begin` and may run to `end`, decoding with zlib when
// `method` is 8, computing the CRC-32. Stops after `maxOutput` bytes (OverLimit then). Advances
// `progress` by the compressed bytes read when given.
DataCheck ReadEntryData(ByteReader& in, uint64_t begin, uint64_t end, uint16_t method, uint64_t maxOutput,
    ContentSink* out, Delivery delivery, Progress* progress);

// Passes on at most `limit` bytes of content (data and unsure alike): a member's output beyond its
// declared size is not trusted.
class CappedSink : public ContentSink {
public:
    CappedSink(ContentSink& out, uint64_t limit)
        : m_out(out)
        , m_left(limit)
    {
    }
    void Data(const uint8_t* bytes, size_t count) override { m_out.Data(bytes, Take(count)); }
    void Unsure(const uint8_t* bytes, size_t count) override { m_out.Unsure(bytes, Take(count)); }
    void Hole(uint64_t count) override { m_out.Hole(count); }

private:
    size_t Take(size_t count)
    {
        const size_t n = count < m_left ? count : size_t(m_left);
        m_left -= n;
        return n;
    }
    ContentSink& m_out;
    uint64_t m_left;
};

// A data descriptor found after data of unknown length: where it starts and what it says.
struct Descriptor {
    uint64_t DataLength = 0;
    uint64_t Size = 0; // of the descriptor itself
    uint32_t Crc32 = 0;
    uint64_t CompressedSize = 0;
    uint64_t UncompressedSize = 0;
};

// Reads the descriptor that must follow data ending at `at` (signature optional; 8-byte sizes when
// `zip64`); nullopt when what is there does not agree with the data's length.
std::optional<Descriptor> ReadDescriptor(ByteReader& in, uint64_t at, uint64_t dataLength, bool zip64);

// Finds the end of data of unknown length that is not deflated (stored, or encrypted): the first place
// followed by a descriptor whose compressed size is the distance from `begin` and, when `checkCrc`, whose
// CRC-32 is that of the bytes before it.
std::optional<Descriptor> FindDescriptor(
    ByteReader& in, uint64_t begin, uint64_t end, bool checkCrc, Progress* progress);

// Finds the first plausible local header at or after `from` and before `end`.
std::optional<uint64_t> FindLocalHeader(ByteReader& in, uint64_t from, uint64_t end);

} // namespace repair
