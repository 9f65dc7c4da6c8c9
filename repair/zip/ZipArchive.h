// SPDX-License-Identifier: MIT
#pragma once

#include "ByteReader.h"
#include "ContentSink.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace repair {

class AtomicSink;
class Progress;

// One member of an archive as its headers describe it (the central directory's record where it is sound,
// else the local header's).
struct ZipEntryInfo {
    std::string Name; // bytes as stored; never used as a path on this machine
    uint16_t VersionMadeBy = 20;
    uint16_t VersionNeeded = 20;
    uint16_t Flags = 0;
    uint16_t Method = 0; // 0 stored, 8 deflated; others are copied as they stand
    uint16_t DosTime = 0;
    uint16_t DosDate = 0;
    uint32_t Crc32 = 0;
    uint64_t CompressedSize = 0;
    uint64_t UncompressedSize = 0;
    uint16_t InternalAttributes = 0;
    uint32_t ExternalAttributes = 0;
    std::string LocalExtra; // extra field of the local header, ZIP64 record excluded
    std::string CentralExtra; // extra field of the central record, ZIP64 record excluded
    std::string Comment;
    bool Encrypted() const { return Flags & 1; }
};

// What the salvage found of one member.
enum class ZipEntryState {
    Whole, // every byte decoded and the CRC-32 agrees
    Partial, // some of its bytes decode, some are lost
    Lost, // nothing of its data could be used (its name is known)
    Unchecked, // encrypted or of an unknown method: copied as it stands, not checked
};

struct SalvagedEntry {
    ZipEntryInfo Info;
    ZipEntryState State = ZipEntryState::Lost;
    uint64_t DataOffset = 0; // where its compressed data starts in the (possibly transfer-undone) view
    uint64_t DataLength = 0; // how many compressed bytes belong to it
    uint64_t Recovered = 0; // decoded bytes that are right
    uint64_t LostBytes = 0; // decoded bytes lost (0 when unknown)
    bool ContentUnsure = false; // decoded to its end but unproven (CRC disagrees, or cut short): Decode()
                                // hands it over as Unsure
    uint64_t HeadLost = 0; // compressed bytes lost before DataOffset (the file's head cut off)
};

// The salvage of one archive: first Analyse() (reads and checks everything, writes nothing), then Decode()
// any member's content, or copy its compressed data as it stands.
class ZipSalvage {
public:
    ZipSalvage(ByteReader& source, Progress& progress);
    ~ZipSalvage();

    // Walks the archive; the members in their original order. Intact() tells whether nothing at all was
    // wrong (then nothing needs writing).
    const std::vector<SalvagedEntry>& Analyse();
    bool Intact() const;
    // What was wrong with the archive as a whole (lost central directory, undone line-end damage, ...).
    const std::vector<std::string>& Findings() const;

    // The bytes the salvage reads from: the source, or a view of it with the line-end damage undone.
    ByteReader& View();
    // Streams a member's decoded content: data known right, holes where it was lost.
    void Decode(const SalvagedEntry& entry, ContentSink& out);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

// Writes a new archive into a sink: members in the order they are added, then a new central directory
// (ZIP64 records where sizes or counts need them).
class ZipWriter {
public:
    explicit ZipWriter(AtomicSink& sink);
    ~ZipWriter();

    // Advanced by the compressed bytes CopyEntry() copies.
    void SetProgress(Progress* progress);

    // Copies a member whose compressed data is right, as it stands (no re-compression).
    void CopyEntry(const SalvagedEntry& entry, ByteReader& view);
    // Starts a member whose content is written through the returned sink (deflated here; holes are
    // skipped); Finish() completes it. Only one member is open at a time.
    ContentSink& BeginEntry(const ZipEntryInfo& info);
    void EndEntry();
    // Writes the central directory. Nothing may be added afterwards.
    void Finish();

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace repair
