// SPDX-License-Identifier: MIT
#include "ZipRecords.h"

#include <algorithm>
#include <vector>

namespace repair {

namespace {

constexpr size_t kLocalFixed = 30;
constexpr size_t kCentralFixed = 46;
constexpr size_t kEndFixed = 22;

bool PlausibleMethod(uint16_t method)
{
    switch (method) {
    case 0: // stored
    case 1: // shrunk
    case 6: // imploded
    case 8: // deflated
    case 9: // deflate64
    case 12: // bzip2
    case 14: // lzma
    case 93: // zstd
    case 95: // xz
    case 96: // jpeg
    case 97: // wavpack
    case 98: // ppmd
    case 99: // aes
        return true;
    default:
        return false;
    }
}

bool ReadExact(ByteReader& in, uint64_t offset, void* buffer, size_t count)
{
    return in.ReadAt(offset, buffer, count) == count;
}

// Reads the ZIP64 record's values in their fixed order, each present only where the classic field holds
// its all-ones mark.
void ApplyZip64(const std::string& extra, uint64_t* usize, uint64_t* csize, uint64_t* offset, bool* found)
{
    const auto* p = reinterpret_cast<const uint8_t*>(extra.data());
    size_t i = 0;
    while (i + 4 <= extra.size()) {
        const uint16_t id = Le16(p + i);
        const uint16_t length = Le16(p + i + 2);
        if (i + 4 + length > extra.size())
            break;
        if (id == kZip64ExtraId) {
            *found = true;
            size_t k = i + 4;
            const size_t end = i + 4 + length;
            for (uint64_t* value : { usize, csize, offset }) {
                if (!value || *value != 0xFFFFFFFFu)
                    continue;
                if (k + 8 > end)
                    break;
                *value = Le64(p + k);
                k += 8;
            }
            return;
        }
        i += 4 + length;
    }
}

} // namespace

std::string WithoutZip64(const std::string& extra)
{
    std::string out;
    const auto* p = reinterpret_cast<const uint8_t*>(extra.data());
    size_t i = 0;
    while (i + 4 <= extra.size()) {
        const uint16_t id = Le16(p + i);
        const size_t length = Le16(p + i + 2);
        if (i + 4 + length > extra.size())
            break; // a torn record at the end is dropped rather than copied into the new archive
        if (id != kZip64ExtraId)
            out.append(extra, i, 4 + length);
        i += 4 + length;
    }
    return out;
}

std::optional<LocalHeader> ReadLocalHeader(ByteReader& in, uint64_t offset)
{
    uint8_t h[kLocalFixed];
    if (!ReadExact(in, offset, h, sizeof h) || Le32(h) != kLocalSignature)
        return std::nullopt;
    LocalHeader lh;
    lh.Offset = offset;
    ReadSharedFields(h + 4, lh);
    const uint16_t nameLength = SharedNameLength(h + 4);
    const uint16_t extraLength = SharedExtraLength(h + 4);
    if ((lh.VersionNeeded & 0xFF) > 63 || !PlausibleMethod(lh.Method) || nameLength == 0)
        return std::nullopt;
    std::string tail(size_t(nameLength) + extraLength, '\0');
    if (!ReadExact(in, offset + kLocalFixed, tail.data(), tail.size()))
        return std::nullopt;
    lh.Name = tail.substr(0, nameLength);
    if (lh.Name.find('\0') != std::string::npos)
        return std::nullopt;
    const std::string extra = tail.substr(nameLength);
    ApplyZip64(extra, &lh.UncompressedSize, &lh.CompressedSize, nullptr, &lh.Zip64);
    lh.Extra = WithoutZip64(extra);
    lh.HeaderSize = kLocalFixed + tail.size();
    return lh;
}

std::optional<CentralRecord> ReadCentralRecord(ByteReader& in, uint64_t offset)
{
    uint8_t h[kCentralFixed];
    if (!ReadExact(in, offset, h, sizeof h) || Le32(h) != kCentralSignature)
        return std::nullopt;
    CentralRecord r;
    ZipEntryInfo& e = r.Info;
    e.VersionMadeBy = Le16(h + 4);
    ReadSharedFields(h + 6, e);
    const uint16_t nameLength = SharedNameLength(h + 6);
    const uint16_t extraLength = SharedExtraLength(h + 6);
    const uint16_t commentLength = Le16(h + 32);
    e.InternalAttributes = Le16(h + 36);
    e.ExternalAttributes = Le32(h + 38);
    r.LocalOffset = Le32(h + 42);
    std::string tail(size_t(nameLength) + extraLength + commentLength, '\0');
    if (!ReadExact(in, offset + kCentralFixed, tail.data(), tail.size()))
        return std::nullopt;
    e.Name = tail.substr(0, nameLength);
    const std::string extra = tail.substr(nameLength, extraLength);
    e.Comment = tail.substr(size_t(nameLength) + extraLength);
    bool zip64 = false;
    ApplyZip64(extra, &e.UncompressedSize, &e.CompressedSize, &r.LocalOffset, &zip64);
    e.CentralExtra = WithoutZip64(extra);
    r.RecordSize = kCentralFixed + tail.size();
    return r;
}

std::optional<EndRecord> FindEndRecord(ByteReader& in)
{
    const uint64_t size = in.Size();
    if (size < kEndFixed)
        return std::nullopt;
    const uint64_t from = size > 0xFFFF + kEndFixed ? size - (0xFFFF + kEndFixed) : 0;
    std::vector<uint8_t> tail(size_t(size - from));
    if (!ReadExact(in, from, tail.data(), tail.size()))
        return std::nullopt;
    // The last record whose comment fits wins: an archive stored inside the comment, or one appended
    // after, holds earlier candidates.
    for (size_t i = tail.size() - kEndFixed + 1; i-- > 0;) {
        const uint8_t* p = tail.data() + i;
        if (Le32(p) != kEndSignature)
            continue;
        const uint16_t commentLength = Le16(p + 20);
        if (i + kEndFixed + commentLength > tail.size())
            continue;
        EndRecord end;
        end.Position = from + i;
        end.End = end.Position + kEndFixed + commentLength;
        end.Entries = Le16(p + 10);
        end.DirectorySize = Le32(p + 12);
        end.DirectoryOffset = Le32(p + 16);
        end.DirectoryEnd = end.Position;
        // A ZIP64 locator sits just before the classic record and points at the ZIP64 record.
        uint8_t locator[20];
        if (end.Position >= 20 && ReadExact(in, end.Position - 20, locator, sizeof locator)
            && Le32(locator) == kZip64LocatorSignature) {
            const uint64_t declared = Le64(locator + 8);
            uint8_t record[56];
            // The record normally ends at the locator; its declared place is tried too.
            const uint64_t expected = end.Position >= 20 + 56 ? end.Position - 20 - 56 : UINT64_MAX;
            for (uint64_t at : { expected, declared }) {
                if (at == UINT64_MAX || !ReadExact(in, at, record, sizeof record)
                    || Le32(record) != kZip64EndSignature)
                    continue;
                end.Zip64 = true;
                end.Entries = Le64(record + 32);
                end.DirectorySize = Le64(record + 40);
                end.DirectoryOffset = Le64(record + 48);
                end.DirectoryEnd = at;
                break;
            }
        }
        return end;
    }
    return std::nullopt;
}

} // namespace repair
