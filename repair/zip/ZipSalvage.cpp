// SPDX-License-Identifier: MIT
#include "DeflateSalvage.h"
#include "EntryData.h"
#include "LineEndView.h"
#include "Progress.h"
#include "ZipArchive.h"
#include "ZipWalk.h"

namespace repair {

struct ZipSalvage::Impl {
    Impl(ByteReader& s, Progress& p)
        : source(s)
        , progress(p)
        , view(&s)
    {
    }
    ByteReader& source;
    Progress& progress;
    std::unique_ptr<LineEndView> lineEnds;
    ByteReader* view = nullptr;
    std::vector<SalvagedEntry> entries;
    std::vector<std::string> findings;
    bool intact = false;
    bool analysed = false;
};

ZipSalvage::ZipSalvage(ByteReader& source, Progress& progress)
    : m_impl(std::make_unique<Impl>(source, progress))
{
}

ZipSalvage::~ZipSalvage() = default;

const std::vector<SalvagedEntry>& ZipSalvage::Analyse()
{
    Impl& d = *m_impl;
    if (d.analysed)
        return d.entries;
    d.analysed = true;
    ZipWalk asIs(d.source, d.progress);
    asIs.Run();
    d.intact = asIs.Intact();
    d.findings = asIs.Findings();
    d.entries = asIs.TakeEntries();
    if (d.intact || !LineEndView::LooksConverted(d.source))
        return d.entries;
    // Every LF follows a CR and the archive does not check as it stands: try it with the CRs taken out,
    // and keep that reading only when more members prove whole through it.
    auto lineEnds = std::make_unique<LineEndView>(d.source);
    ZipWalk undone(*lineEnds, d.progress);
    undone.Run();
    uint64_t whole = 0, bytes = 0;
    for (const auto& e : d.entries) {
        if (e.State == ZipEntryState::Whole || e.State == ZipEntryState::Unchecked)
            ++whole;
        bytes += e.Recovered;
    }
    if (undone.Score() > std::make_pair(whole, bytes)) {
        d.findings = undone.Findings();
        d.findings.insert(
            d.findings.begin(), "line ends changed by a text-mode transfer (LF to CR LF) were undone");
        d.entries = undone.TakeEntries();
        d.lineEnds = std::move(lineEnds);
        d.view = d.lineEnds.get();
    }
    return d.entries;
}

bool ZipSalvage::Intact() const
{
    return m_impl->intact;
}

const std::vector<std::string>& ZipSalvage::Findings() const
{
    return m_impl->findings;
}

ByteReader& ZipSalvage::View()
{
    return *m_impl->view;
}

void ZipSalvage::Decode(const SalvagedEntry& entry, ContentSink& out)
{
    ByteReader& in = *m_impl->view;
    const uint64_t begin = entry.DataOffset;
    const uint64_t end = entry.DataOffset + entry.DataLength;
    const uint64_t declared = entry.Info.UncompressedSize;
    switch (entry.State) {
    case ZipEntryState::Whole:
        ReadEntryData(in, begin, end, entry.Info.Method, declared, &out, Delivery::Data, nullptr);
        return;
    case ZipEntryState::Partial:
        if (entry.ContentUnsure) {
            if (entry.HeadLost && entry.Info.Method == 0)
                out.Hole(entry.HeadLost);
            const DataCheck check = ReadEntryData(
                in, begin, end, entry.Info.Method, UINT64_MAX, &out, Delivery::Unsure, nullptr);
            const uint64_t kept = check.Produced + (entry.Info.Method == 0 ? entry.HeadLost : 0);
            if (declared > kept && declared != 0xFFFFFFFFu)
                out.Hole(declared - kept);
            return;
        }
        if (entry.Info.Method == 8) {
            DeflateSalvageLimits limits;
            if (declared != 0 && declared != 0xFFFFFFFFu)
                limits.MaxOutput = declared;
            // Damage that decodes without an error shows only in the CRC: without it, such bytes would pass
            // as right.
            limits.ExpectedCrc = entry.Info.Crc32;
            CappedSink capped(out, limits.MaxOutput);
            SalvageDeflate(in, begin, end, capped, limits);
            return;
        }
        out.Hole(entry.LostBytes);
        return;
    case ZipEntryState::Lost:
    case ZipEntryState::Unchecked:
        out.Hole(declared == 0xFFFFFFFFu ? 0 : declared);
        return;
    }
}

} // namespace repair
