// SPDX-License-Identifier: MIT
#include "OoxmlRepairer.h"

#include "AtomicSink.h"
#include "OoxmlFormats.h"
#include "PackageRules.h"
#include "Progress.h"
#include "XmlCloser.h"
#include "ZipArchive.h"
#include "ZipRecords.h"
#include "ZipRepairer.h"

#include <map>
#include <optional>
#include <vector>

namespace repair {

namespace {

constexpr size_t kLook = 64 * 1024;
// Package parts read into memory (content types, relationships, part lists) are small; a larger one is
// treated as unreadable rather than held.
constexpr uint64_t kTextLimit = 16 << 20;

struct StringSink : ContentSink {
    std::string bytes;
    uint64_t limit = UINT64_MAX;
    bool overflow = false;
    void Data(const uint8_t* b, size_t n) override
    {
        if (bytes.size() + n > limit) {
            overflow = true;
            return;
        }
        bytes.append(reinterpret_cast<const char*>(b), n);
    }
    void Hole(uint64_t) override { }
};

// Counts what a sink is given, to learn whether a damaged part keeps anything.
struct CountingSink : ContentSink {
    uint64_t bytes = 0;
    void Data(const uint8_t*, size_t n) override { bytes += n; }
    void Hole(uint64_t) override { }
};

bool IsXmlName(const std::string& name)
{
    return name.ends_with(".xml") || name.ends_with(".rels") || name.ends_with(".vml");
}

// Member names from the local headers in `bytes` and the central records.
void CollectNames(const std::vector<uint8_t>& bytes, size_t n, std::vector<std::string>& names)
{
    for (size_t i = 0; i + 46 <= n; ++i) {
        if (bytes[i] != 'P' || bytes[i + 1] != 'K')
            continue;
        const uint32_t signature = Le32(bytes.data() + i);
        size_t at = 0, length = 0;
        if (signature == kLocalSignature) {
            at = i + 30;
            length = Le16(bytes.data() + i + 26);
        } else if (signature == kCentralSignature) {
            at = i + 46;
            length = Le16(bytes.data() + i + 28);
        } else {
            continue;
        }
        if (length > 0 && length < 1024 && at + length <= n)
            names.emplace_back(reinterpret_cast<const char*>(bytes.data() + at), length);
    }
}

std::string Count(uint64_t n, const char* what)
{
    return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
}

const char* UnitName(XmlPartKind kind)
{
    switch (kind) {
    case XmlPartKind::WordDocument:
        return "paragraph or table";
    case XmlPartKind::Worksheet:
        return "row";
    case XmlPartKind::SharedStrings:
        return "string";
    case XmlPartKind::Slide:
        return "shape";
    case XmlPartKind::Generic:
        break;
    }
    return "element";
}

} // namespace

Recognition OoxmlRepairer::Recognise(ByteReader& source, std::string_view extension)
{
    Recognition r;
    std::vector<uint8_t> bytes(kLook);
    std::vector<std::string> names;
    size_t n = source.ReadAt(0, bytes.data(), bytes.size());
    const bool zipHead = n >= 4 && Le32(bytes.data()) == kLocalSignature;
    CollectNames(bytes, n, names);
    const uint64_t size = source.Size();
    if (size > kLook) {
        n = source.ReadAt(size - kLook, bytes.data(), bytes.size());
        CollectNames(bytes, n, names);
    }
    bool contentTypes = false;
    bool macros = false;
    for (const std::string& name : names) {
        contentTypes = contentTypes || name == "[Content_Types].xml";
        macros = macros || name.ends_with("/vbaProject.bin");
    }
    const std::string_view folder = PackageRules::FolderOf(names);
    const OoxmlFormat* hinted = OoxmlFormats::ByExtension(extension);
    const OoxmlFormat* format = nullptr;
    if (!folder.empty()) {
        format = hinted && hinted->Folder == folder ? hinted : OoxmlFormats::ByFolder(folder, macros);
        // Names of the family's folder alone (the content types' member lost or not in view) still
        // outrank a plain archive, a little less surely.
        r.Score = contentTypes ? 110 : 105;
    } else if (hinted && (zipHead || !names.empty())) {
        format = hinted;
        r.Score = 60; // an archive's records with a document's extension: its names were not in view
    } else if (hinted) {
        format = hinted;
        r.Score = 10;
    }
    if (format) {
        r.Format = format->Format;
        r.Family = format->Family;
    }
    return r;
}

Report OoxmlRepairer::Repair(
    ByteReader& source, const std::function<AtomicSink&()>& openSink, Progress& progress)
{
    const Recognition recognised = Recognise(source, "");
    Report report;
    report.Family = recognised.Family;
    report.Format = recognised.Format;
    progress.SetTotal(2 * source.Size() + 1);
    ZipSalvage salvage(source, progress);
    const std::vector<SalvagedEntry>& entries = salvage.Analyse();
    report.Messages = salvage.Findings();
    report.PartsTotal = entries.size();

    std::map<size_t, std::optional<std::string>> texts;
    const PackageRules::PartText text = [&](size_t index) -> std::optional<std::string> {
        if (const auto it = texts.find(index); it != texts.end())
            return it->second;
        const SalvagedEntry& e = entries[index];
        std::optional<std::string> result;
        if (e.State != ZipEntryState::Lost && e.State != ZipEntryState::Unchecked
            && e.Info.UncompressedSize <= kTextLimit) {
            StringSink sink;
            sink.limit = kTextLimit;
            XmlCloser closer(XmlPartKind::Generic, sink);
            salvage.Decode(e, closer);
            closer.Finish();
            if (!sink.overflow && !closer.Outcome().Empty)
                result = std::move(sink.bytes);
        }
        texts[index] = result;
        return result;
    };

    std::vector<PackagePart> parts;
    for (const SalvagedEntry& e : entries) {
        PackagePart part { e.Info.Name, PartState::Whole };
        if (e.State == ZipEntryState::Lost) {
            part.State = PartState::Lost;
        } else if (e.State == ZipEntryState::Partial) {
            part.State = PartState::Partial;
            if (IsXmlName(e.Info.Name)) {
                // A damaged part whose root cannot be rebuilt keeps nothing: it counts as lost.
                CountingSink counter;
                XmlCloser closer(XmlPartShape::KindOfPart(e.Info.Name, ""), counter);
                salvage.Decode(e, closer);
                closer.Finish();
                if (closer.Outcome().Empty)
                    part.State = PartState::Lost;
            } else if (e.Recovered == 0) {
                part.State = PartState::Lost;
            }
        }
        parts.push_back(std::move(part));
    }

    // The extension is a hint only where the names are lost; the format then comes from the archive.
    const PackagePlan plan = PackageRules::Plan(parts, text, recognised.Format);
    if (plan.Family.empty()) {
        ZipRepairer plain;
        return plain.Repair(source, openSink, progress);
    }
    report.Family = plan.Family;
    report.Format = plan.Format;
    for (const std::string& name : plan.Lost) {
        report.Lost.push_back(name);
        report.Messages.push_back(name + ": lost");
    }
    for (const std::string& name : plan.Damaged)
        report.Lost.push_back(name);
    for (const std::string& name : plan.Rebuilt)
        report.Messages.push_back(name + ": rebuilt");

    if (salvage.Intact() && plan.Rebuilt.empty() && plan.Lost.empty()) {
        report.Outcome = Verdict::Intact;
        report.PartsRecovered = entries.size();
        report.Messages.push_back(
            "no damage found: " + plan.Format + " document of " + Count(entries.size(), "part"));
        return report;
    }

    uint16_t time = 0, date = 0x21; // 1980-01-01 unless a member gives a time
    for (const SalvagedEntry& e : entries) {
        if (e.State != ZipEntryState::Lost) {
            time = e.Info.DosTime;
            date = e.Info.DosDate;
            break;
        }
    }

    AtomicSink& sink = openSink();
    ZipWriter writer(sink);
    writer.SetProgress(&progress);
    ByteReader& view = salvage.View();
    for (const PlannedPart& part : plan.Parts) {
        progress.Check();
        const SalvagedEntry* entry = part.Source < entries.size() ? &entries[part.Source] : nullptr;
        switch (part.How) {
        case PlannedPart::Action::Copy:
            writer.CopyEntry(*entry, view);
            ++report.PartsRecovered;
            break;
        case PlannedPart::Action::Close: {
            XmlCloser closer(part.Kind, writer.BeginEntry(entry->Info), part.Filter);
            salvage.Decode(*entry, closer);
            closer.Finish();
            writer.EndEntry();
            progress.Advance(entry->DataLength);
            const XmlCloserOutcome& o = closer.Outcome();
            if (entry->State == ZipEntryState::Partial) {
                report.Messages.push_back(part.Name + ": closed as well-formed XML, "
                    + Count(o.UnitsKept, UnitName(part.Kind)) + " kept, " + std::to_string(o.UnitsDropped)
                    + " cut by the damage" + (o.RootRebuilt ? ", its lost head rebuilt" : ""));
            } else {
                ++report.PartsRecovered;
            }
            if (o.ReferencesDropped)
                report.Messages.push_back(
                    part.Name + ": " + Count(o.ReferencesDropped, "reference") + " to lost parts dropped");
            break;
        }
        case PlannedPart::Action::Recode:
            salvage.Decode(*entry, writer.BeginEntry(entry->Info));
            writer.EndEntry();
            progress.Advance(entry->DataLength);
            break;
        case PlannedPart::Action::Write: {
            ZipEntryInfo info;
            if (entry) {
                info = entry->Info;
            } else {
                info.Name = part.Name;
                info.DosTime = time;
                info.DosDate = date;
            }
            ContentSink& out = writer.BeginEntry(info);
            out.Data(reinterpret_cast<const uint8_t*>(part.Bytes.data()), part.Bytes.size());
            writer.EndEntry();
            break;
        }
        }
    }
    writer.Finish();
    report.Outcome = plan.Lost.empty() && plan.Damaged.empty() ? Verdict::Repaired : Verdict::Partial;
    return report;
}

} // namespace repair
