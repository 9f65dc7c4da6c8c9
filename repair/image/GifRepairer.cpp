// SPDX-License-Identifier: MIT
#include "GifRepairer.h"

#include "AtomicSink.h"
#include "GifWalk.h"
#include "LineEndView.h"
#include "Progress.h"

#include <cstring>
#include <memory>

namespace repair {

Recognition GifRepairer::Recognise(ByteReader& source, std::string_view extension)
{
    Recognition r;
    r.Format = "gif";
    r.Family = "image";
    char head[6] = {};
    if (source.ReadAt(0, head, 6) == 6
        && (std::memcmp(head, "GIF87a", 6) == 0 || std::memcmp(head, "GIF89a", 6) == 0))
        r.Score = 100;
    else if (extension == "gif")
        r.Score = 10;
    return r;
}

Report GifRepairer::Repair(
    ByteReader& source, const std::function<AtomicSink&()>& openSink, Progress& progress)
{
    Report report;
    report.Family = "image";
    report.Format = "gif";
    progress.SetTotal(2 * source.Size() + 1);
    auto walk = std::make_unique<GifWalk>(source, progress);
    GifFindings found = walk->Run();
    // A text-mode transfer put a CR before every LF: undone when the image then holds together whole.
    std::unique_ptr<LineEndView> undone;
    if (found.Damaged && !found.TooLarge && LineEndView::LooksConverted(source)) {
        undone = std::make_unique<LineEndView>(source);
        progress.SetTotal(progress.Total() + 2 * undone->Size());
        auto second = std::make_unique<GifWalk>(*undone, progress);
        const GifFindings again = second->Run();
        if (!again.Damaged) {
            found = again;
            found.Damaged = true;
            found.Messages.push_back("a text-mode transfer had put a CR before every LF: undone");
            walk = std::move(second);
        }
    }
    report.Messages = found.Messages;
    report.Lost = found.Lost;
    report.PartsTotal = found.Rows;
    report.PartsRecovered = found.RowsKept;
    const std::string what = "a GIF image of " + std::to_string(found.Width) + " x "
        + std::to_string(found.Height) + " pixels, " + std::to_string(found.Frames)
        + (found.Frames == 1 ? " frame" : " frames");
    if (found.TooLarge) {
        report.Outcome = Verdict::Unrecoverable;
        return report;
    }
    if (!found.Damaged) {
        report.Outcome = Verdict::Intact;
        report.Messages.push_back("no damage found: " + what);
        return report;
    }
    if (found.FramesWritten == 0) {
        report.Outcome = Verdict::Unrecoverable;
        report.Messages.push_back("no frame of the image could be decoded");
        return report;
    }
    AtomicSink& sink = openSink();
    walk->Emit([&](const uint8_t* bytes, size_t n) {
        progress.Check();
        sink.Write(bytes, n);
        progress.Advance(n);
    });
    report.Outcome = found.Lost.empty() ? Verdict::Repaired : Verdict::Partial;
    report.Messages.push_back("kept " + std::to_string(found.WholeFrames) + " whole of " + what);
    return report;
}

} // namespace repair
