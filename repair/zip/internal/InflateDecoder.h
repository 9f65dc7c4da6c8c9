// SPDX-License-Identifier: MIT
#pragma once

#include "InflateHuffman.h"
#include "InflateInput.h"
#include "InflateWindow.h"

#include <cstdint>

namespace repair {

// Reads deflate blocks from an InflateInput: a block's header (with its code tables), then its data,
// either into a window or only checked for being well formed (when looking for a block to resume at).
class InflateDecoder {
public:
    enum class Type { Stored, Fixed, Dynamic };
    enum class Status {
        Ok, // header read
        EndOfBlock, // data decoded through the end-of-block code
        Error, // malformed
        Overrun, // ran into the fence (a zero run or the range's end)
        OutputFull, // the window's output limit was reached
    };
    struct Header {
        bool Final = false;
        Type Kind = Type::Stored;
        uint64_t StoredStart = 0; // byte offset of a stored block's content
        uint32_t StoredLength = 0;
    };

    explicit InflateDecoder(InflateInput& in);

    // Reads the header at the input's position.
    Status ReadHeader();
    const Header& Current() const { return m_header; }
    // After Overrun: where the symbol that ran into the fence started (decoding may go on from there).
    uint64_t SymbolStart() const { return m_symbolStart; }

    Status Decode(InflateWindow& window);
    // Walks the data without output, allowing any distance; stops with Error after `maxSymbols`.
    Status Skim(uint64_t maxSymbols, uint64_t& symbols);

private:
    Status ReadTables();
    Status Fail() const { return m_in.Overrun() ? Status::Overrun : Status::Error; }
    Status DecodeStored(InflateWindow& window);
    Status Overran(unsigned used);

    InflateInput& m_in;
    Header m_header;
    InflateHuffman m_codeLengths;
    InflateHuffman m_literals;
    InflateHuffman m_distances;
    const InflateHuffman* m_lit = nullptr;
    const InflateHuffman* m_dist = nullptr;
    uint64_t m_symbolStart = 0;
};

} // namespace repair
