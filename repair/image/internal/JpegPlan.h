// SPDX-License-Identifier: MIT
#pragma once

#include "ByteReader.h"

#include <cstdint>
#include <vector>

namespace repair {

// The fixed file as a list of pieces: stretches of the source copied as they stand and bytes of our own
// (markers, the flat blocks that stand in for lost data). Small whatever the image's size; read back in
// order, once to check it decodes and once to write it.
class JpegPlan {
public:
    void Copy(uint64_t offset, uint64_t length);
    void Add(const std::vector<uint8_t>& bytes);
    void AddMarker(uint8_t code);
    uint64_t Size() const { return m_size; }

    // Reads the planned bytes in order.
    class Cursor {
    public:
        Cursor(const JpegPlan& plan, ByteReader& source)
            : m_plan(plan)
            , m_source(source)
        {
        }
        // Up to `count` next bytes; 0 at the end. Throws ReadError as the source does.
        size_t Read(uint8_t* buffer, size_t count);

    private:
        const JpegPlan& m_plan;
        ByteReader& m_source;
        size_t m_piece = 0;
        uint64_t m_at = 0;
    };

private:
    struct Piece {
        uint64_t Offset = 0, Length = 0;
        std::vector<uint8_t> Bytes; // ours; empty for a copy
    };
    std::vector<Piece> m_pieces;
    uint64_t m_size = 0;
};

} // namespace repair
