// SPDX-License-Identifier: MIT
#pragma once

#include "ByteReader.h"
#include "ZipArchive.h"

#include <cstdint>
#include <optional>
#include <string>

namespace repair {

// Signatures of the archive's records, as read little-endian.
constexpr uint32_t kLocalSignature = 0x04034b50;
constexpr uint32_t kCentralSignature = 0x02014b50;
constexpr uint32_t kEndSignature = 0x06054b50;
constexpr uint32_t kZip64EndSignature = 0x06064b50;
constexpr uint32_t kZip64LocatorSignature = 0x07064b50;
constexpr uint32_t kDescriptorSignature = 0x08074b50;
constexpr uint16_t kFlagEncrypted = 1;
constexpr uint16_t kFlagDescriptor = 8;
constexpr uint16_t kZip64ExtraId = 1;

inline uint16_t Le16(const uint8_t* p)
{
    return uint16_t(p[0] | p[1] << 8);
}
inline uint32_t Le32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
inline uint64_t Le64(const uint8_t* p)
{
    return uint64_t(Le32(p)) | uint64_t(Le32(p + 4)) << 32;
}
inline void Put16(uint8_t* p, uint16_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}
inline void Put32(uint8_t* p, uint32_t v)
{
    Put16(p, uint16_t(v));
    Put16(p + 2, uint16_t(v >> 16));
}
inline void Put64(uint8_t* p, uint64_t v)
{
    Put32(p, uint32_t(v));
    Put32(p + 4, uint32_t(v >> 32));
}

// Local headers (from their byte 4) and central records (from their byte 6) share this run of fields.
constexpr size_t kSharedFieldsSize = 26;
template <class Entry> void ReadSharedFields(const uint8_t* p, Entry& e)
{
    e.VersionNeeded = Le16(p);
    e.Flags = Le16(p + 2);
    e.Method = Le16(p + 4);
    e.DosTime = Le16(p + 6);
    e.DosDate = Le16(p + 8);
    e.Crc32 = Le32(p + 10);
    e.CompressedSize = Le32(p + 14);
    e.UncompressedSize = Le32(p + 18);
}
inline uint16_t SharedNameLength(const uint8_t* p)
{
    return Le16(p + 22);
}
inline uint16_t SharedExtraLength(const uint8_t* p)
{
    return Le16(p + 24);
}

// A member's local header. Sizes and CRC are those written before the data (zero when a data descriptor
// follows it); the ZIP64 record's sizes replace the 32-bit ones.
struct LocalHeader {
    uint64_t Offset = 0;
    uint64_t HeaderSize = 0; // the fixed part, name and extra field: the data starts at Offset + HeaderSize
    uint16_t VersionNeeded = 0;
    uint16_t Flags = 0;
    uint16_t Method = 0;
    uint16_t DosTime = 0;
    uint16_t DosDate = 0;
    uint32_t Crc32 = 0;
    uint64_t CompressedSize = 0;
    uint64_t UncompressedSize = 0;
    bool Zip64 = false; // a ZIP64 record is present: a data descriptor holds 8-byte sizes
    std::string Name;
    std::string Extra; // ZIP64 record excluded
};

// A central directory record.
struct CentralRecord {
    ZipEntryInfo Info;
    uint64_t LocalOffset = 0;
    uint64_t RecordSize = 0;
};

// The end of central directory record (with its ZIP64 counterpart's values where present).
struct EndRecord {
    uint64_t Position = 0; // of the classic record
    uint64_t End = 0; // just past its comment
    uint64_t Entries = 0;
    uint64_t DirectorySize = 0;
    uint64_t DirectoryOffset = 0; // as declared
    uint64_t DirectoryEnd = 0; // where the directory must end: the ZIP64 record, or the classic record
    bool Zip64 = false;
};

// Reads a local header at `offset` when it is there and plausible (known method and version, a name
// without NUL bytes, the header inside the file).
std::optional<LocalHeader> ReadLocalHeader(ByteReader& in, uint64_t offset);
// Reads a central directory record at `offset` when its signature and lengths are sound.
std::optional<CentralRecord> ReadCentralRecord(ByteReader& in, uint64_t offset);
// Finds the last end of central directory record in the file's final 64 KiB.
std::optional<EndRecord> FindEndRecord(ByteReader& in);
// The extra field without its ZIP64 record.
std::string WithoutZip64(const std::string& extra);

} // namespace repair
