// SPDX-License-Identifier: MIT
#pragma once

#include "AviWindow.h"
#include "ByteReader.h"

#include <cstdint>
#include <string>
#include <vector>

namespace repair {

class Progress;

// One tag of a Flash video file: its place in the source and what its header says.
struct FlvTag {
    enum Flag : uint8_t { AfterGap = 1, Dropped = 2 };
    uint64_t At = 0; // the tag header, in the source
    uint32_t Size = 0; // its data
    uint32_t Time = 0; // milliseconds
    uint8_t Type = 0; // 8 sound, 9 pictures, 18 script data
    uint8_t Flags = 0;
};

// Walks the tags from the file header to the end, checking each tag's header against the size written
// after it, and resynchronises after damage on the next tag whose trailing size agrees.
class FlvWalk {
public:
    FlvWalk(ByteReader& source, Progress& progress);
    // False when no tag is found.
    bool Run();

    std::vector<FlvTag>& Tags() { return m_tags; }
    bool StructureRight() const { return m_structureRight; }
    uint64_t Gaps() const { return m_gaps; }
    bool CutShort() const { return m_cutShort; }
    bool HeaderLost() const { return m_headerLost; }
    const std::vector<std::string>& Findings() const { return m_findings; }

private:
    // Whether a tag header is at `at`, and (strict) its trailing size agrees.
    bool Plausible(uint64_t at, bool strict, FlvTag& tag);
    uint64_t Resync(uint64_t from);

    ByteReader& m_source;
    Progress& m_progress;
    AviWindow m_window;
    uint64_t m_size;
    std::vector<FlvTag> m_tags;
    bool m_structureRight = true;
    bool m_cutShort = false;
    bool m_headerLost = false;
    uint64_t m_gaps = 0;
    std::vector<std::string> m_findings;
};

} // namespace repair
