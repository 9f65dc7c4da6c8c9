// SPDX-License-Identifier: MIT
#include "ZipWalk.h"

#include "DeflateSalvage.h"
#include "EntryData.h"
#include "Progress.h"

#include <algorithm>
#include <vector>

namespace repair {

namespace {

constexpr uint64_t kUnknown = UINT64_MAX;

class CountingSink : public ContentSink {
public:
    void Data(const uint8_t*, size_t count) override { data += count; }
    void Hole(uint64_t count) override { lost += count; }
    void Unsure(const uint8_t*, size_t count) override { unsure += count; }
    uint64_t data = 0, lost = 0, unsure = 0;
};

std::string Plural(uint64_t n, const char* one, const char* many)
{
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

ZipEntryInfo InfoFrom(const LocalHeader& lh)
{
    ZipEntryInfo info;
    info.Name = lh.Name;
    info.VersionNeeded = lh.VersionNeeded;
    info.VersionMadeBy = lh.VersionNeeded;
    info.Flags = lh.Flags;
    info.Method = lh.Method;
    info.DosTime = lh.DosTime;
    info.DosDate = lh.DosDate;
    info.Crc32 = lh.Crc32;
    info.CompressedSize = lh.CompressedSize;
    info.UncompressedSize = lh.UncompressedSize;
    info.LocalExtra = lh.Extra;
    info.CentralExtra = lh.Extra;
    // A directory's name ends with a slash; the attribute lets readers on every system agree.
    if (!lh.Name.empty() && lh.Name.back() == '/')
        info.ExternalAttributes = 0x10;
    return info;
}

} // namespace

ZipWalk::ZipWalk(ByteReader& in, Progress& progress)
    : m_in(in)
    , m_progress(progress)
{
}

void ZipWalk::Find(std::string finding)
{
    m_intact = false;
    if (std::find(m_findings.begin(), m_findings.end(), finding) == m_findings.end())
        m_findings.push_back(std::move(finding));
}

uint64_t ZipWalk::Horizon(uint64_t start)
{
    // A descriptor lies before the next member's header: searching no further keeps the walk linear in
    // the file's size, however many members lack their descriptor.
    return FindLocalHeader(m_in, start, m_in.Size()).value_or(m_in.Size());
}

void ZipWalk::Claim(uint64_t start, uint64_t end)
{
    if (end > start)
        m_claimed.emplace(start, end);
}

bool ZipWalk::IsClaimed(uint64_t at) const
{
    auto after = m_claimed.upper_bound(at);
    return after != m_claimed.begin() && std::prev(after)->second > at;
}

std::pair<uint64_t, uint64_t> ZipWalk::Score() const
{
    uint64_t whole = 0, bytes = 0;
    for (const auto& e : m_entries) {
        if (e.State == ZipEntryState::Whole || e.State == ZipEntryState::Unchecked)
            ++whole;
        bytes += e.Recovered;
    }
    return { whole, bytes };
}

void ZipWalk::Run()
{
    m_intact = true;
    if (ReadDirectory())
        FromDirectory();
    else
        FromLocalHeaders();
    if (m_entries.empty() && !(m_end && m_end->Entries == 0 && m_directorySound))
        m_intact = false;
}

bool ZipWalk::ReadDirectory()
{
    m_end = FindEndRecord(m_in);
    if (!m_end) {
        Find("the end of the central directory is lost");
        return false;
    }
    if (m_end->End != m_in.Size())
        Find("bytes follow the end of the archive");
    const EndRecord& end = *m_end;
    std::vector<uint64_t> starts { end.DirectoryOffset };
    if (end.DirectorySize <= end.DirectoryEnd && end.DirectoryEnd - end.DirectorySize != end.DirectoryOffset)
        starts.push_back(end.DirectoryEnd - end.DirectorySize);
    uint64_t entries = end.Entries;
    if (entries > kMaxEntries) {
        Find("the archive declares " + std::to_string(entries) + " members; only the first "
            + std::to_string(kMaxEntries) + " are salvaged");
        entries = kMaxEntries;
    }
    for (const uint64_t start : starts) {
        std::vector<CentralRecord> records;
        uint64_t at = start;
        while (records.size() < entries && at < end.DirectoryEnd) {
            auto r = ReadCentralRecord(m_in, at);
            if (!r)
                break;
            at += r->RecordSize;
            records.push_back(std::move(*r));
        }
        if (records.size() > m_records.size()
            || (records.empty() && m_records.empty() && at == end.DirectoryEnd)) {
            m_records = std::move(records);
            m_directoryStart = start;
            m_delta = int64_t(start - end.DirectoryOffset);
            m_directorySound = m_records.size() == entries && at == end.DirectoryEnd;
        }
        if (m_directorySound)
            break;
    }
    if (m_delta != 0)
        Find("the central directory lies "
            + Plural(uint64_t(m_delta < 0 ? -m_delta : m_delta), "byte", "bytes")
            + (m_delta < 0 ? " before" : " after")
            + " where the archive says (bytes were lost or added before it)");
    if (!m_directorySound) {
        Find(m_records.empty()
                ? std::string("the central directory is lost")
                : "the central directory is damaged after " + Plural(m_records.size(), "member", "members"));
        return false;
    }
    return true;
}

std::optional<LocalHeader> ZipWalk::Locate(const CentralRecord& r, int64_t shift)
{
    const auto matches = [&](const LocalHeader& lh) {
        if (lh.Name == r.Info.Name)
            return true;
        // A damaged name: the header is still this member's when what it says of the data agrees.
        return !(lh.Flags & kFlagDescriptor) && lh.Crc32 == r.Info.Crc32
            && lh.CompressedSize == r.Info.CompressedSize;
    };
    for (const int64_t moved : { int64_t(m_delta) + shift, int64_t(m_delta), int64_t(0) }) {
        const int64_t at = int64_t(r.LocalOffset) + moved;
        if (at < 0)
            continue;
        if (auto lh = ReadLocalHeader(m_in, uint64_t(at)); lh && matches(*lh))
            return lh;
    }
    // Offsets that are wrong by different amounts (bytes inserted in the middle): every plausible
    // header, found once, looked up by name.
    if (!m_headerIndex) {
        m_headerIndex.emplace();
        for (uint64_t at = 0; m_headerIndex->size() < 2 * kMaxEntries;) {
            auto found = FindLocalHeader(m_in, at, m_in.Size());
            if (!found)
                break;
            if (auto lh = ReadLocalHeader(m_in, *found))
                m_headerIndex->emplace(lh->Name, *found);
            at = *found + 4;
        }
    }
    const auto [first, last] = m_headerIndex->equal_range(r.Info.Name);
    std::optional<LocalHeader> best;
    for (auto it = first; it != last; ++it) {
        auto lh = ReadLocalHeader(m_in, it->second);
        if (!lh)
            continue;
        const bool agrees = (lh->Flags & kFlagDescriptor)
            || (lh->Crc32 == r.Info.Crc32 && lh->CompressedSize == r.Info.CompressedSize);
        if (agrees && (!best || lh->Offset < best->Offset))
            best = lh;
    }
    return best;
}

void ZipWalk::FromDirectory()
{
    uint64_t expectedAt = 0;
    int64_t shift = 0;
    for (const CentralRecord& r : m_records) {
        m_progress.Check();
        SalvagedEntry e;
        e.Info = r.Info;
        auto lh = Locate(r, shift);
        if (!lh) {
            Find("local headers are lost");
            RecoverWithoutHeader(e, r, shift);
            m_entries.push_back(std::move(e));
            continue;
        }
        shift = int64_t(lh->Offset) - int64_t(r.LocalOffset) - m_delta;
        if (lh->Offset != r.LocalOffset)
            Find("members are not where the central directory says");
        if (lh->Offset != expectedAt)
            Find("bytes between members belong to none");
        if (lh->Name != r.Info.Name)
            Find("local and central names disagree");
        if (!(lh->Flags & kFlagDescriptor)
            && (lh->Crc32 != r.Info.Crc32 || lh->CompressedSize != r.Info.CompressedSize
                || lh->UncompressedSize != r.Info.UncompressedSize))
            Find("local headers disagree with the central directory");
        if (lh->Method != r.Info.Method)
            Find("local headers disagree with the central directory");
        m_localExtraLengths.push_back(uint16_t(lh->Extra.size()));
        e.Info.LocalExtra = lh->Extra;
        std::vector<Expected> expected { { r.Info.Crc32, r.Info.UncompressedSize } };
        if (!(lh->Flags & kFlagDescriptor))
            expected.push_back({ lh->Crc32, lh->UncompressedSize });
        const uint64_t start = lh->Offset + lh->HeaderSize;
        if (IsClaimed(lh->Offset)) {
            Find("members share their data; each is recovered once");
            e.State = ZipEntryState::Lost;
            m_entries.push_back(std::move(e));
            continue;
        }
        uint64_t next = Examine(e, start, r.Info.CompressedSize, lh->Zip64, expected);
        // The local header's length when the central one does not lead to whole data.
        if (e.State != ZipEntryState::Whole && e.State != ZipEntryState::Unchecked
            && !(lh->Flags & kFlagDescriptor) && lh->CompressedSize != r.Info.CompressedSize) {
            SalvagedEntry retry = e;
            retry.Info = r.Info;
            retry.Info.LocalExtra = lh->Extra;
            const uint64_t retryNext = Examine(retry, start, lh->CompressedSize, lh->Zip64, expected);
            if (retry.State == ZipEntryState::Whole) {
                e = std::move(retry);
                next = retryNext;
            }
        }
        expectedAt = next;
        Claim(lh->Offset, std::max(next, e.DataOffset + e.DataLength));
        m_entries.push_back(std::move(e));
    }
    if (expectedAt != m_directoryStart && !m_records.empty())
        Find("bytes between members belong to none");
}

void ZipWalk::RecoverWithoutHeader(SalvagedEntry& e, const CentralRecord& r, int64_t shift)
{
    // A folder or an empty file: its record holds all there is of it.
    if (r.Info.CompressedSize == 0 && r.Info.UncompressedSize == 0 && r.Info.Crc32 == 0
        && !r.Info.Encrypted()) {
        e.State = ZipEntryState::Whole;
        e.Info.Method = 0;
        e.Info.Flags &= uint16_t(~kFlagDescriptor);
        e.Info.LocalExtra = r.Info.CentralExtra;
        return;
    }
    // The data follows where the header would end; the length of its extra field is guessed from the
    // other members (writers give every member the same kinds of extra field).
    std::vector<uint64_t> extras { r.Info.CentralExtra.size() };
    for (const uint16_t n : m_localExtraLengths)
        if (std::find(extras.begin(), extras.end(), n) == extras.end())
            extras.push_back(n);
    if (std::find(extras.begin(), extras.end(), 0) == extras.end())
        extras.push_back(0);
    const uint64_t size = m_in.Size();
    const int64_t header = int64_t(std::min(r.LocalOffset, size)) + m_delta + shift;
    SalvagedEntry best = e;
    best.State = ZipEntryState::Lost;
    for (const uint64_t extra : extras) {
        const int64_t start = header + 30 + int64_t(r.Info.Name.size()) + int64_t(extra);
        const int64_t end = start + int64_t(std::min(r.Info.CompressedSize, size));
        if (end <= 0 || (start >= 0 && uint64_t(start) >= size))
            continue;
        SalvagedEntry trial = e;
        if (start < 0) {
            // The head of the file is cut off inside this member's data: only a salvage can resume.
            trial.HeadLost = uint64_t(-start);
            if (r.Info.Method == 8 && !r.Info.Encrypted()) {
                Salvage(trial, 0, uint64_t(end));
            } else if (r.Info.Method == 0 && !r.Info.Encrypted()) {
                trial.State = ZipEntryState::Partial;
                trial.ContentUnsure = true;
                trial.DataOffset = 0;
                trial.DataLength = std::min(uint64_t(end), size);
                trial.Recovered = trial.DataLength;
                trial.LostBytes = trial.HeadLost;
            }
        } else {
            Examine(trial, uint64_t(start), r.Info.CompressedSize, false,
                { { r.Info.Crc32, r.Info.UncompressedSize } });
            if (trial.State == ZipEntryState::Whole) {
                best = std::move(trial);
                break;
            }
        }
        if (trial.Recovered > best.Recovered)
            best = std::move(trial);
    }
    e = std::move(best);
}

void ZipWalk::Salvage(SalvagedEntry& e, uint64_t start, uint64_t end)
{
    end = std::min(end, m_in.Size());
    CountingSink counter;
    DeflateSalvageLimits limits;
    if (e.Info.UncompressedSize != 0 && e.Info.UncompressedSize != 0xFFFFFFFFu)
        limits.MaxOutput = e.Info.UncompressedSize;
    limits.ExpectedCrc = e.Info.Crc32;
    CappedSink capped(counter, limits.MaxOutput);
    if (start < end)
        SalvageDeflate(m_in, start, end, capped, limits);
    e.DataOffset = start;
    e.DataLength = end > start ? end - start : 0;
    e.Recovered = counter.data;
    e.LostBytes = counter.lost;
    e.State = counter.data + counter.unsure > 0 ? ZipEntryState::Partial : ZipEntryState::Lost;
}

uint64_t ZipWalk::Examine(SalvagedEntry& e, uint64_t start, std::optional<uint64_t> length, bool zip64,
    std::vector<Expected> expected)
{
    const uint16_t method = e.Info.Method;
    const uint64_t size = m_in.Size();
    e.DataOffset = start;
    // A length past the end only says the data is cut short; held there, sums cannot wrap.
    if (start > size)
        start = size;
    if (length && *length > size - start)
        length = size - start + 1;
    if (e.Info.Encrypted() || (method != 0 && method != 8)) {
        // Neither decodable nor checkable: copied as it stands when all of it is there.
        uint64_t dataLength = 0, next = 0;
        if (length) {
            dataLength = *length;
            next = start + dataLength;
            if (e.Info.Flags & kFlagDescriptor)
                if (auto d = ReadDescriptor(m_in, next, dataLength, zip64))
                    next += d->Size;
        } else if (auto d = FindDescriptor(m_in, start, Horizon(start), false, &m_progress)) {
            dataLength = d->DataLength;
            e.Info.Crc32 = d->Crc32;
            e.Info.CompressedSize = d->CompressedSize;
            e.Info.UncompressedSize = d->UncompressedSize;
            next = start + dataLength + d->Size;
        } else {
            e.State = ZipEntryState::Lost;
            return FindLocalHeader(m_in, start, size).value_or(size);
        }
        e.DataLength = dataLength;
        e.State = start + dataLength <= size ? ZipEntryState::Unchecked : ZipEntryState::Lost;
        if (e.State == ZipEntryState::Lost)
            Find("the archive is cut short");
        else
            m_progress.Advance(dataLength);
        return next;
    }

    uint64_t end = length ? std::min(size, start + *length) : size;
    if (method == 0 && !length) {
        if (auto d = FindDescriptor(m_in, start, Horizon(start), true, &m_progress)) {
            expected.push_back({ d->Crc32, d->UncompressedSize });
            end = start + d->DataLength;
            length = d->DataLength;
        }
    }
    uint64_t maxOutput = 0;
    for (const auto& x : expected)
        maxOutput = std::max(maxOutput, x.UncompressedSize);
    if (expected.empty() || method == 0)
        maxOutput = kUnknown;
    const DataCheck check
        = ReadEntryData(m_in, start, end, method, maxOutput, nullptr, Delivery::None, &m_progress);
    const uint64_t dataLength = method == 8 ? check.Consumed : check.Produced;
    uint64_t next = start + (length ? *length : dataLength);
    if (check.Ended && (e.Info.Flags & kFlagDescriptor)) {
        if (auto d = ReadDescriptor(m_in, start + dataLength, dataLength, zip64)) {
            expected.push_back({ d->Crc32, d->UncompressedSize });
            next = start + dataLength + d->Size;
        }
    }
    const bool complete
        = check.Ended && !check.OverLimit && (method == 8 || !length || check.Produced == *length);
    bool agrees = false;
    for (const auto& x : expected)
        agrees |= x.Crc32 == check.Crc32 && x.UncompressedSize == check.Produced;
    if (complete && agrees) {
        e.State = ZipEntryState::Whole;
        e.DataLength = dataLength;
        e.Recovered = check.Produced;
        e.Info.Crc32 = check.Crc32;
        e.Info.CompressedSize = dataLength;
        e.Info.UncompressedSize = check.Produced;
        return next;
    }
    if (!check.Ended || check.Failed || (length && start + *length > size))
        Find(start + (length ? *length : 0) > size || (!check.Failed && !check.Ended)
                ? "the archive is cut short"
                : "member data is damaged");
    else
        Find("member data is damaged");
    if (method == 8 && (check.Failed || !check.Ended)) {
        // Where the data ends is not known once the stream is damaged: up to the next member.
        uint64_t salvageEnd = end;
        if (!length) {
            salvageEnd = FindLocalHeader(m_in, start + 1, size).value_or(size);
            next = salvageEnd;
        }
        Salvage(e, start, salvageEnd);
        return next;
    }
    // Decoded to the end (or stored data cut short) but not proven: kept, handed over as unsure.
    e.State
        = check.Produced > 0 || e.Info.UncompressedSize == 0 ? ZipEntryState::Partial : ZipEntryState::Lost;
    e.ContentUnsure = true;
    e.DataLength = dataLength;
    e.Recovered = check.Produced;
    if (!length && method == 0) {
        // Stored data whose end no descriptor marks: everything up to the next member.
        next = FindLocalHeader(m_in, start + 1, size).value_or(size);
        e.DataLength = next - start;
        e.Recovered = e.DataLength;
    }
    if (e.Info.UncompressedSize > e.Recovered && e.Info.UncompressedSize != 0xFFFFFFFFu)
        e.LostBytes = e.Info.UncompressedSize - e.Recovered;
    return next;
}

void ZipWalk::KeepAttributes(uint64_t at)
{
    // The directory is there though its end record is lost: what only it holds (permissions, comments,
    // the system that made each member) is kept for the members the walk found.
    std::unordered_multimap<std::string, size_t> byName;
    for (size_t i = 0; i < m_entries.size(); ++i)
        byName.emplace(m_entries[i].Info.Name, i);
    for (size_t count = 0; count < kMaxEntries; ++count) {
        auto r = ReadCentralRecord(m_in, at);
        if (!r)
            break;
        at += r->RecordSize;
        const auto it = byName.find(r->Info.Name);
        if (it == byName.end())
            continue;
        ZipEntryInfo& info = m_entries[it->second].Info;
        info.VersionMadeBy = r->Info.VersionMadeBy;
        info.InternalAttributes = r->Info.InternalAttributes;
        info.ExternalAttributes = r->Info.ExternalAttributes;
        info.CentralExtra = r->Info.CentralExtra;
        info.Comment = r->Info.Comment;
        byName.erase(it);
    }
}

void ZipWalk::FromLocalHeaders()
{
    std::unordered_multimap<std::string, size_t> unused;
    for (size_t i = 0; i < m_records.size(); ++i)
        unused.emplace(m_records[i].Info.Name, i);
    std::vector<bool> matched(m_records.size(), false);
    const uint64_t size = m_in.Size();
    const uint64_t stop = m_end && m_directorySound ? m_directoryStart : size;
    uint64_t at = 0;
    bool first = true;
    while (at < stop && m_entries.size() < kMaxEntries) {
        m_progress.Check();
        auto lh = ReadLocalHeader(m_in, at);
        if (!lh) {
            uint8_t sig[4] = {};
            m_in.ReadAt(at, sig, 4);
            const uint32_t s = Le32(sig);
            if (!first && (s == kCentralSignature || s == kEndSignature || s == kZip64EndSignature)) {
                if (s == kCentralSignature && m_records.empty())
                    KeepAttributes(at);
                break;
            }
            const auto found = FindLocalHeader(m_in, at + 1, stop);
            if (!found)
                break;
            Find(first ? "the archive's head is lost" : "damaged bytes between members were skipped");
            at = *found;
            first = false;
            continue;
        }
        first = false;
        SalvagedEntry e;
        e.Info = InfoFrom(*lh);
        std::vector<Expected> expected;
        if (auto it = unused.find(lh->Name); it != unused.end()) {
            const CentralRecord& r = m_records[it->second];
            matched[it->second] = true;
            unused.erase(it);
            const std::string localExtra = e.Info.LocalExtra;
            e.Info = r.Info;
            e.Info.LocalExtra = localExtra;
            expected.push_back({ r.Info.Crc32, r.Info.UncompressedSize });
        }
        std::optional<uint64_t> length;
        if (!(lh->Flags & kFlagDescriptor)) {
            length = lh->CompressedSize;
            expected.push_back({ lh->Crc32, lh->UncompressedSize });
        }
        const uint64_t start = at + lh->HeaderSize;
        const uint64_t next = Examine(e, start, length, lh->Zip64, expected);
        m_localExtraLengths.push_back(uint16_t(lh->Extra.size()));
        m_entries.push_back(std::move(e));
        at = std::max(next, at + 1);
    }
    if (m_entries.size() >= kMaxEntries)
        Find("the archive holds more than " + std::to_string(kMaxEntries) + " members; only the first "
            + std::to_string(kMaxEntries) + " are salvaged");
    // Members the surviving directory names but the walk did not meet: their headers are lost.
    for (size_t i = 0; i < m_records.size() && m_entries.size() < kMaxEntries; ++i) {
        if (matched[i])
            continue;
        SalvagedEntry e;
        e.Info = m_records[i].Info;
        RecoverWithoutHeader(e, m_records[i], 0);
        m_entries.push_back(std::move(e));
    }
}

} // namespace repair
