// SPDX-License-Identifier: MIT
#include "ZipRepairer.h"

#include "AtomicSink.h"
#include "EntryData.h"
#include "Progress.h"
#include "ZipArchive.h"
#include "ZipRecords.h"

#include <vector>

namespace repair {

namespace {

constexpr size_t kLook = 64 * 1024;

bool HasSignature(const std::vector<uint8_t>& bytes, size_t n)
{
    for (size_t i = 0; i + 4 <= n; ++i) {
        if (bytes[i] != 'P' || bytes[i + 1] != 'K')
            continue;
        const uint32_t s = Le32(bytes.data() + i);
        if (s == kLocalSignature || s == kCentralSignature || s == kEndSignature)
            return true;
    }
    return false;
}

std::string Size(uint64_t bytes)
{
    return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
}

} // namespace

Recognition ZipRepairer::Recognise(ByteReader& source, std::string_view extension)
{
    Recognition r;
    r.Format = "zip";
    r.Family = "archive";
    std::vector<uint8_t> head(kLook);
    const size_t n = source.ReadAt(0, head.data(), head.size());
    if (n >= 4 && (Le32(head.data()) == kLocalSignature || Le32(head.data()) == kEndSignature)) {
        r.Score = 100;
        return r;
    }
    // A lost or zeroed head: the records further in, or at the end, still say what it is.
    if (HasSignature(head, n)) {
        r.Score = 50;
        return r;
    }
    const uint64_t size = source.Size();
    if (size > kLook) {
        const size_t m = source.ReadAt(size - kLook, head.data(), head.size());
        if (HasSignature(head, m)) {
            r.Score = 50;
            return r;
        }
    }
    if (extension == "zip")
        r.Score = 10;
    else
        r.Score = 0;
    return r;
}

Report ZipRepairer::Repair(
    ByteReader& source, const std::function<AtomicSink&()>& openSink, Progress& progress)
{
    Report report;
    report.Family = "archive";
    report.Format = "zip";
    // Analysis reads every member once, writing copies or re-encodes them once: about twice the size.
    progress.SetTotal(2 * source.Size() + 1);
    ZipSalvage salvage(source, progress);
    const auto& entries = salvage.Analyse();
    report.Messages = salvage.Findings();
    report.PartsTotal = entries.size();

    uint64_t usable = 0;
    for (const SalvagedEntry& e : entries) {
        switch (e.State) {
        case ZipEntryState::Whole:
            ++report.PartsRecovered;
            ++usable;
            break;
        case ZipEntryState::Unchecked:
            ++report.PartsRecovered;
            ++usable;
            report.Messages.push_back(e.Info.Name
                + (e.Info.Encrypted() ? ": encrypted, so its content could not be checked"
                                      : ": compressed by a method that cannot be checked here"));
            break;
        case ZipEntryState::Partial:
            ++usable;
            report.Lost.push_back(e.Info.Name);
            if (e.ContentUnsure)
                report.Messages.push_back(e.Info.Name + ": its content may hold errors");
            else
                report.Messages.push_back(e.Info.Name + ": partly lost (" + Size(e.Recovered) + " recovered"
                    + (e.LostBytes ? ", " + Size(e.LostBytes) + " lost)" : ")"));
            break;
        case ZipEntryState::Lost:
            report.Lost.push_back(e.Info.Name);
            report.Messages.push_back(e.Info.Name + ": lost");
            break;
        }
    }
    if (salvage.Intact()) {
        report.Outcome = Verdict::Intact;
        report.Messages.push_back("no damage found: a zip archive of " + std::to_string(entries.size())
            + (entries.size() == 1 ? " member" : " members"));
        return report;
    }
    if (usable == 0) {
        report.Outcome = Verdict::Unrecoverable;
        report.Messages.push_back("no member of the archive could be recovered");
        return report;
    }

    AtomicSink& sink = openSink();
    ZipWriter writer(sink);
    writer.SetProgress(&progress);
    ByteReader& view = salvage.View();
    for (const SalvagedEntry& e : entries) {
        progress.Check();
        if (e.State == ZipEntryState::Whole || e.State == ZipEntryState::Unchecked) {
            writer.CopyEntry(e, view);
        } else if (e.State == ZipEntryState::Partial) {
            salvage.Decode(e, writer.BeginEntry(e.Info));
            writer.EndEntry();
            progress.Advance(e.DataLength);
        }
    }
    writer.Finish();
    report.Outcome = report.PartsRecovered == report.PartsTotal ? Verdict::Repaired : Verdict::Partial;
    return report;
}

} // namespace repair
