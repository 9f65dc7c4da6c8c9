// SPDX-License-Identifier: MIT
#pragma once

#include "ByteReader.h"
#include "ZipArchive.h"
#include "ZipRecords.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace repair {

class Progress;

// One analysis of an archive as a given view shows it: the central directory where it is sound,
// cross-checked with the local headers (found again by name where offsets moved), else the local headers
// walked in order with resynchronisation after damage. Every member's data is decoded and checked.
class ZipWalk {
public:
    static constexpr size_t kMaxEntries = 100000;

    ZipWalk(ByteReader& in, Progress& progress);
    void Run();

    const std::vector<SalvagedEntry>& Entries() const { return m_entries; }
    std::vector<SalvagedEntry> TakeEntries() { return std::move(m_entries); }
    const std::vector<std::string>& Findings() const { return m_findings; }
    bool Intact() const { return m_intact; }
    // Members that came back whole (or could only be copied), then bytes recovered: to compare views.
    std::pair<uint64_t, uint64_t> Score() const;

private:
    struct Expected {
        uint32_t Crc32;
        uint64_t UncompressedSize;
    };

    bool ReadDirectory();
    void FromDirectory();
    void FromLocalHeaders();
    void KeepAttributes(uint64_t directoryAt);
    // Decodes and checks a member's data at `start`; `length` when known. Returns where the next record
    // should begin (after its data and descriptor).
    uint64_t Examine(SalvagedEntry& e, uint64_t start, std::optional<uint64_t> length, bool zip64,
        std::vector<Expected> expected);
    void Salvage(SalvagedEntry& e, uint64_t start, uint64_t end);
    std::optional<LocalHeader> Locate(const CentralRecord& r, int64_t shift);
    void RecoverWithoutHeader(SalvagedEntry& e, const CentralRecord& r, int64_t shift);
    void Find(std::string finding);
    // Members whose header lies inside another's data share it: a hostile archive whose work would grow
    // with the square of its members. Each stretch is decoded once.
    void Claim(uint64_t start, uint64_t end);
    // Where data of unknown length that is not deflated must end at the latest.
    uint64_t Horizon(uint64_t start);
    bool IsClaimed(uint64_t at) const;

    ByteReader& m_in;
    Progress& m_progress;
    std::vector<SalvagedEntry> m_entries;
    std::vector<std::string> m_findings;
    bool m_intact = false;

    std::optional<EndRecord> m_end;
    std::vector<CentralRecord> m_records;
    bool m_directorySound = false;
    uint64_t m_directoryStart = 0;
    int64_t m_delta = 0; // where the directory really is, less where the end record says it is
    std::vector<uint16_t> m_localExtraLengths; // seen so far: guesses for a member whose header is lost
    std::optional<std::unordered_multimap<std::string, uint64_t>> m_headerIndex;
    std::map<uint64_t, uint64_t> m_claimed; // data already examined: start -> end
};

} // namespace repair
