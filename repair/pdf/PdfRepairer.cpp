// SPDX-License-Identifier: MIT
#include "PdfRepairer.h"

#include "AtomicSink.h"
#include "FlateReader.h"
#include "LineEndView.h"
#include "PdfIntactCheck.h"
#include "PdfRebuild.h"
#include "PdfScan.h"
#include "Progress.h"

#include <memory>
#include <vector>

namespace repair {

namespace {

constexpr size_t kLook = 64 * 1024;

std::string ReadAt(ByteReader& source, uint64_t at, size_t count)
{
    std::string text(count, '\0');
    text.resize(source.ReadAt(at, text.data(), count));
    return text;
}

std::string Tail(ByteReader& source, size_t count)
{
    const uint64_t size = source.Size();
    return ReadAt(source, size > count ? size - count : 0, count);
}

bool HasObject(const std::string& text)
{
    for (size_t at = text.find(" obj"); at != std::string::npos; at = text.find(" obj", at + 1))
        if (at > 0 && text[at - 1] >= '0' && text[at - 1] <= '9')
            return true;
    return false;
}

std::string Pages(uint64_t n)
{
    return std::to_string(n) + (n == 1 ? " page" : " pages");
}

// Nothing in the structure shows damage: every object where the scan expected it, every stream's
// length proved. What a file that cannot be opened without its password can be checked for.
bool ScanClean(const PdfScan& scan, const std::string& tail)
{
    if (scan.StrayBytes() != 0 || tail.find("%%EOF") == std::string::npos)
        return false;
    for (const PdfObjectRecord& r : scan.Records())
        if (r.stream && r.container == UINT32_MAX && !r.lengthProved)
            return false;
    return true;
}

bool StreamsInflate(ByteReader& source, const PdfScan& scan)
{
    for (const PdfObjectRecord& r : scan.Records()) {
        if (!r.stream || !r.flate || r.superseded)
            continue;
        const FlateResult result
            = InflateRange(source, r.dataBegin, r.dataLength, 1ull << 30, [](const uint8_t*, size_t) {});
        if (!result.complete && !result.overLimit)
            return false;
    }
    return true;
}

} // namespace

Recognition PdfRepairer::Recognise(ByteReader& source, std::string_view extension)
{
    Recognition r;
    r.Format = "pdf";
    r.Family = "pdf";
    const std::string head = ReadAt(source, 0, kLook);
    const size_t at = head.find("%PDF-");
    if (at != std::string::npos && at < 1024) {
        r.Score = 100;
        return r;
    }
    // A lost or zeroed head: objects further in, or the trailer at the end, still say what it is.
    if (at != std::string::npos || (HasObject(head) && head.find("endobj") != std::string::npos)) {
        r.Score = 50;
        return r;
    }
    const std::string tail = Tail(source, kLook);
    if (tail.find("startxref") != std::string::npos && tail.find("endobj") != std::string::npos) {
        r.Score = 50;
        return r;
    }
    r.Score = extension == "pdf" ? 10 : 0;
    return r;
}

Report PdfRepairer::Repair(
    ByteReader& source, const std::function<AtomicSink&()>& openSink, Progress& progress)
{
    Report report;
    report.Family = "pdf";
    report.Format = "pdf";
    const uint64_t size = source.Size();
    // Checking, scanning, writing: each reads the source about once.
    progress.SetTotal(3 * size + 1);

    // A file cut short has no trailer: no use asking the library to read it strictly.
    const std::string tail = Tail(source, 2048);
    PdfCheckResult check;
    // Objects after the last end marker are an update whose cross-reference section was lost.
    const size_t eof = tail.rfind("%%EOF");
    const bool ended = eof != std::string::npos && tail.find("obj", eof) == std::string::npos;
    if (tail.find("startxref") != std::string::npos && ended) {
        check = CheckPdf(source);
    }
    progress.Advance(size);

    ByteReader* reader = &source;
    std::unique_ptr<LineEndView> undone;
    if (!check.sound && LineEndView::LooksConverted(source)) {
        undone = std::make_unique<LineEndView>(source);
        reader = undone.get();
        report.Messages.push_back("every line end had become CR LF: undone");
    }
    PdfScan scan(*reader, progress);
    scan.Run();
    const bool encrypted = scan.Trailer().encrypt != 0;
    // The library passes a compressed stream whose checksum is wrong; such a stream is damage.
    if (check.sound && (encrypted || StreamsInflate(source, scan))) {
        report.Outcome = Verdict::Intact;
        report.PartsTotal = report.PartsRecovered = check.pages;
        report.Messages.push_back("no damage found: a PDF document of " + Pages(check.pages)
            + (check.encrypted ? ", encrypted" : ""));
        return report;
    }
    if (check.needsPassword && !undone && ScanClean(scan, tail)) {
        report.Outcome = Verdict::Intact;
        report.Messages.push_back(
            "no damage found in the structure of an encrypted PDF document; its content "
            "was not checked, as that needs its password");
        return report;
    }
    for (std::string& m : scan.Findings())
        report.Messages.push_back(std::move(m));
    if (encrypted)
        report.Messages.push_back("the document is encrypted: its structure was repaired, its content was "
                                  "neither decrypted nor checked");

    PdfRebuild rebuild(*reader, scan, progress);
    if (!rebuild.Plan()) {
        report.Outcome = Verdict::Unrecoverable;
        report.Messages.push_back("no page of the document could be found");
        return report;
    }
    rebuild.Write(openSink());
    for (std::string& m : rebuild.Findings())
        report.Messages.push_back(std::move(m));
    report.PartsTotal = rebuild.PagesExpected();
    report.PartsRecovered = rebuild.PagesWhole();
    const uint64_t missing = rebuild.PagesExpected() - rebuild.PagesFound();
    if (missing)
        report.Lost.push_back(Pages(missing) + " of " + std::to_string(rebuild.PagesExpected()));
    if (rebuild.CatalogMade())
        report.Lost.push_back("the document catalog");
    for (uint32_t num : rebuild.CutStreams())
        report.Lost.push_back("object " + std::to_string(num) + " (damaged)");
    for (uint32_t num : rebuild.LostObjects())
        report.Lost.push_back("object " + std::to_string(num));
    if (report.Lost.size() > 50) {
        const size_t more = report.Lost.size() - 50;
        report.Lost.resize(50);
        report.Lost.push_back("and " + std::to_string(more) + " more");
    }
    report.Messages.push_back(
        Pages(report.PartsRecovered) + " of " + std::to_string(report.PartsTotal) + " recovered whole");
    report.Outcome = report.Lost.empty() ? Verdict::Repaired : Verdict::Partial;
    if (progress.Done() < progress.Total())
        progress.Advance(progress.Total() - progress.Done());
    return report;
}

} // namespace repair
