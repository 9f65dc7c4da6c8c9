// SPDX-License-Identifier: MIT
#pragma once

#include "AviHeader.h"
#include "AviWindow.h"

#include <cstdint>
#include <string>
#include <vector>

namespace repair {

class Progress;

// One data chunk of the fixed file: copied from the source, or a filler standing in for a lost one.
struct AviChunk {
    enum Flag : uint8_t {
        Key = 1, // starts a picture that needs no earlier one
        AfterGap = 2, // the first chunk after damage
        Unsure = 4, // what follows it is not a chunk: its size may be wrong
        Filler = 8, // stands in for a chunk lost inside the file (At is 0)
        Indexed = 16, // Key comes from the file's own index
        Dropped = 32, // damaged: written as a stand-in
    };
    uint64_t At = 0; // the data, in the source
    uint32_t Id = 0; // '00dc', '01wb', ...
    uint32_t Size = 0;
    uint16_t Stream = 0;
    uint8_t Flags = 0;
};

// Walks every data chunk from the first `movi` list to the end of the file, through the extension RIFFs
// of large files, resynchronising on the next plausible chunk after damage, and matches what it found
// with the file's index: the index's key flags, and the chunks it lists that the damage took.
class AviWalk {
public:
    AviWalk(ByteReader& source, const AviHeader& header, Progress& progress);
    void Run();

    std::vector<AviChunk>& Chunks() { return m_chunks; }
    // Whether the RIFF and list sizes, the index and the counts tell the truth about the data.
    bool StructureRight() const { return m_structureRight; }
    bool Indexed() const { return m_indexed; }
    uint64_t Gaps() const { return m_gaps; }
    uint64_t GapBytes() const { return m_gapBytes; }
    bool CutShort() const { return m_cutShort; }
    // Chunks the index lists beyond what is left of the file, per stream.
    const std::vector<uint64_t>& LostAtEnd() const { return m_lostAtEnd; }
    const std::vector<std::string>& Findings() const { return m_findings; }

private:
    enum class Kind { None, Data, Skip, List, Riff, Index };
    struct Seen {
        Kind kind = Kind::None;
        uint32_t id = 0, size = 0, type = 0;
        uint64_t next = 0;
    };
    Seen Classify(uint64_t at);
    bool Plausible(uint64_t at);
    uint64_t Resync(uint64_t from);
    void MatchIndex();
    void EstimateLost();

    ByteReader& m_source;
    const AviHeader& m_header;
    Progress& m_progress;
    AviWindow m_window;
    uint64_t m_size;
    std::vector<AviChunk> m_chunks;
    std::vector<std::pair<uint64_t, uint64_t>> m_gapSpans;
    uint64_t m_index = 0, m_indexSize = 0; // the idx1 chunk's data
    uint64_t m_firstMoviEnd = 0; // where the first list of data ended
    bool m_extended = false;
    bool m_cutShort = false;
    bool m_structureRight = true;
    bool m_indexed = false;
    uint64_t m_gaps = 0, m_gapBytes = 0;
    std::vector<uint64_t> m_lostAtEnd;
    std::vector<std::string> m_findings;
};

} // namespace repair
