// SPDX-License-Identifier: MIT
#pragma once

#include "ByteReader.h"
#include "JpegPlan.h"
#include "JpegScanDecoder.h"
#include "JpegSyntax.h"

#include <array>
#include <string>
#include <vector>

namespace repair {

class Progress;

// What the walk of a JPEG file found.
struct JpegFindings {
    bool Damaged = false;
    bool Unsupported = false; // a coding we do not decode: the data cannot be checked or salvaged
    bool Complete = true; // every scan of the image is there (false once later scans may be lost)
    bool TooMuchLost = false;
    bool Progressive = false;
    uint16_t Width = 0, Height = 0;
    uint64_t Mcus = 0, Kept = 0;
    int Scans = 0;
    std::vector<std::string> Lost, Messages;
};

// Walks a JPEG file's markers from its start, checks every scan by decoding its MCUs, and plans the fixed
// file: the segments that hold together, each scan's data as far as it decodes (with flat MCUs of our own
// for what damage took, so a decoder stays in step), and an end marker. Nothing of the data is re-coded.
class JpegWalk {
public:
    JpegWalk(ByteReader& source, Progress& progress);

    JpegFindings Run();
    const JpegPlan& Plan() const { return m_plan; }

    // Above this many blocks a progressive image's coefficient history is not kept (8 bytes a block).
    static constexpr uint64_t kMaxHistoryBlocks = uint64_t(1) << 22;

    // How far into a file whose start is lost its headers are looked for, and how much may follow the
    // image's end marker before the image found is taken for one embedded in the lost start.
    static constexpr uint64_t kHeadSearch = uint64_t(4) << 20;
    static constexpr uint64_t kTrailingSlack = 4096;

private:
    // A lost start: where the image's own headers begin, when what remains shows them.
    bool FindHeaders(uint64_t& start);
    bool Segment(uint64_t at, uint8_t code, const std::vector<uint8_t>& body, uint64_t& next);
    bool Tables(const std::vector<uint8_t>& body);
    bool Quantisation(const std::vector<uint8_t>& body);
    bool Scan(uint64_t at, const std::vector<uint8_t>& body, uint64_t dataStart, uint64_t& next);
    // Skips damage between segments; false at the end of the file.
    bool Resync(uint64_t from, uint64_t& at);

    ByteReader& m_source;
    Progress& m_progress;
    JpegBitReader m_bytes;
    JpegPlan m_plan;
    JpegFindings m_found;
    JpegFrame m_frame;
    bool m_haveFrame = false;
    JpegTables m_tables;
    bool m_quant[4] {};
    uint32_t m_restart = 0;
    JpegHistory m_history;
    std::vector<bool> m_covered;
    // Per component and coefficient, the last successive-approximation bit coded (-1: none yet).
    std::vector<std::array<int8_t, 64>> m_progression;
};

} // namespace repair
