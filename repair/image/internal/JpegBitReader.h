// SPDX-License-Identifier: MIT
#pragma once

#include "ByteReader.h"

#include <cstdint>
#include <vector>

namespace repair {

class JpegHuffman;

// Reads a scan's entropy-coded bits from the source: drops the zero after each 0xFF data byte, stops at a
// marker or at the end of the file, and tells at any moment where the next unread bit lies, so that a
// scan can be cut between two MCUs.
class JpegBitReader {
public:
    explicit JpegBitReader(ByteReader& source);

    // Starts reading data bytes at `offset` with nothing buffered (the start of a scan or an interval).
    void Reset(uint64_t offset);
    // False when fewer than `n` bits are left before the marker or the end.
    bool Read(int n, uint32_t& value);
    // The next Huffman symbol; -1 on a code that is no table's, or when the data ends within it.
    int Decode(const JpegHuffman& table);

    // Where the next unread bit is: the offset of its data byte and how many of that byte's bits (from
    // the top) are read already.
    void Position(uint64_t& offset, int& bitsUsed) const;
    // Whether reading stopped at a marker or at the end, and where (the 0xFF, or the file's size).
    bool Stopped() const { return m_stopped; }
    uint64_t StopOffset() const { return m_stopAt; }

    // The byte at `offset` of the source, or -1 past its end; cached, so cheap in sequence.
    int ByteAt(uint64_t offset);

private:
    void Fill();
    void Consumed();

    ByteReader& m_source;
    std::vector<uint8_t> m_cache;
    uint64_t m_cacheStart = 0;
    size_t m_cacheLength = 0;

    uint64_t m_next = 0; // the next byte to load
    uint64_t m_bits = 0;
    int m_count = 0;
    bool m_stopped = false;
    uint64_t m_stopAt = 0;
    // Offsets of the buffered data bytes that still hold unread bits, oldest first.
    uint64_t m_offsets[16] {};
    int m_head = 0, m_held = 0;
};

} // namespace repair
