// SPDX-License-Identifier: MIT
#pragma once

#include "JpegBitReader.h"
#include "JpegBitWriter.h"
#include "JpegHuffman.h"
#include "JpegSyntax.h"

#include <array>
#include <string>
#include <vector>

namespace repair {

class JpegPlan;
class Progress;

// The next marker from `from` on that is a restart marker, the end marker, or plausibly begins a segment
// (its length fits and leads to another marker); false, with `code` 0, at the end of the file.
bool FindJpegMarker(JpegBitReader& bytes, uint64_t size, uint64_t from, uint64_t& markerAt, uint8_t& code);
bool PlausibleJpegSegment(JpegBitReader& bytes, uint64_t size, uint64_t at, uint8_t code);

struct JpegTables {
    std::array<JpegHuffman, 4> Dc, Ac;
};

// Which coefficients of each block are already non-zero, per component (bit k: zigzag position k). A
// refining scan's length depends on it; empty when the image is too large to keep it.
using JpegHistory = std::vector<std::vector<uint64_t>>;

// What one scan's check found and kept.
struct JpegScanOutcome {
    uint64_t End = 0; // where the walk goes on: the marker after the scan, or the end of the file
    uint64_t Mcus = 0, Kept = 0;
    bool Damaged = false;
    bool Unchecked = false; // copied without decoding (a refining scan of an image too large to follow)
    bool Filled = true; // false when the tables lack the codes of a flat block, so lost MCUs stay missing
    bool TooMuchLost = false; // the frame claims far more MCUs than the data could fill: nothing planned
    std::vector<std::string> Lost;
};

// Decodes one scan's MCUs without the pixels, as a decoder would read them, and plans its data into the
// fixed file: every restart interval or leading run of MCUs that decodes is copied as it stands, and the
// MCUs lost to damage are replaced by flat grey ones of our own, so that the scan holds exactly its count
// and a decoder stays in step.
class JpegScanDecoder {
public:
    JpegScanDecoder(ByteReader& source, const JpegFrame& frame, const JpegScan& scan,
        const JpegTables& tables, uint32_t restartInterval, JpegHistory* history);

    JpegScanOutcome Run(uint64_t dataStart, JpegPlan& plan, Progress& progress);

private:
    void ResetState();
    bool DecodeMcu(uint64_t mcu);
    bool DecodeBlock(int scanComponent, uint64_t* coefficients);
    // Flat MCUs of our own from `mcu` on, continuing the decoder's state.
    bool FillMcus(uint64_t mcu, uint64_t count, JpegBitWriter& out);
    bool FillBlock(int scanComponent, uint64_t* coefficients, JpegBitWriter& out);
    bool PutEobRun(const JpegHuffman& table, uint64_t wanted, JpegBitWriter& out);
    bool PutDc(const JpegHuffman& table, int diff, JpegBitWriter& out);
    // Calls `visit(scanComponent, history word or null)` for each block of MCU `mcu`, in coding order.
    template <class Visit> bool ForBlocks(uint64_t mcu, Visit&& visit);
    // The marker that ends data read exactly to the current position, if one follows at once.
    bool MarkerFollows(uint64_t& dataEnd, uint64_t& markerAt, uint8_t& code);
    bool FindMarker(uint64_t from, uint64_t& markerAt, uint8_t& code)
    {
        return FindJpegMarker(m_bits, m_source.Size(), from, markerAt, code);
    }
    std::string Rows(uint64_t firstMcu, uint64_t endMcu) const;

    ByteReader& m_source;
    const JpegFrame& m_frame;
    const JpegScan& m_scan;
    const JpegTables& m_tables;
    uint32_t m_interval;
    JpegHistory* m_history;
    JpegBitReader m_bits;
    std::array<int, 4> m_pred {};
    uint32_t m_eobrun = 0;
    uint64_t m_scratch = 0; // the history word of a block when no history is kept
    uint64_t m_filledBlocks = 0;
    uint64_t m_fillLeft = 0; // blocks still to fill in the current stretch
    bool m_tooMuchLost = false;
};

} // namespace repair
