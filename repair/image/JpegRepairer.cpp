// SPDX-License-Identifier: MIT
#include "JpegRepairer.h"

#include "AtomicSink.h"
#include "Errors.h"
#include "JpegCheck.h"
#include "JpegWalk.h"
#include "LineEndView.h"
#include "Progress.h"

#include <exception>
#include <memory>
#include <vector>

namespace repair {

namespace {

// The decoder's own buffers: a progressive image is held whole as coefficients.
constexpr long kCheckMemory = 48L * 1024 * 1024;

// Feeds the system's decoder from a C callback, which must not throw: a failure (a read error, a stop)
// ends the stream there and is thrown again once the decoder has returned.
struct Feed {
    std::function<size_t(uint8_t*, size_t)> Read;
    Progress* Work = nullptr;
    std::exception_ptr Failure;

    static size_t Call(void* context, unsigned char* buffer, size_t size)
    {
        auto* feed = static_cast<Feed*>(context);
        if (feed->Failure)
            return 0;
        try {
            feed->Work->Check();
            const size_t n = feed->Read(buffer, size);
            feed->Work->Advance(n);
            return n;
        } catch (...) {
            feed->Failure = std::current_exception();
            return 0;
        }
    }
};

QuillonJpegCheck Check(std::function<size_t(uint8_t*, size_t)> read, Progress& progress)
{
    Feed feed { std::move(read), &progress, nullptr };
    QuillonJpegCheck check {};
    QuillonCheckJpeg(&Feed::Call, &feed, kCheckMemory, &check);
    if (feed.Failure)
        std::rethrow_exception(feed.Failure);
    return check;
}

bool Clean(const QuillonJpegCheck& check)
{
    return check.Decoded && check.Warnings == 0;
}

std::string Describe(const JpegFindings& f)
{
    return std::string(f.Progressive ? "a progressive" : "a") + " JPEG image of " + std::to_string(f.Width)
        + " x " + std::to_string(f.Height) + " pixels";
}

} // namespace

Recognition JpegRepairer::Recognise(ByteReader& source, std::string_view extension)
{
    Recognition r;
    r.Format = "jpeg";
    r.Family = "image";
    uint8_t head[3] = {};
    if (source.ReadAt(0, head, 3) == 3 && head[0] == 0xFF && head[1] == 0xD8 && head[2] == 0xFF)
        r.Score = 100;
    else if (extension == "jpg" || extension == "jpeg" || extension == "jpe" || extension == "jfif")
        r.Score = 10;
    return r;
}

Report JpegRepairer::Repair(
    ByteReader& source, const std::function<AtomicSink&()>& openSink, Progress& progress)
{
    Report report;
    report.Family = "image";
    report.Format = "jpeg";
    // The walk reads the source once, the check decodes the source or the result, the writing copies it.
    progress.SetTotal(3 * source.Size() + 1);
    auto walk = std::make_unique<JpegWalk>(source, progress);
    JpegFindings found = walk->Run();
    ByteReader* data = &source;
    // A text-mode transfer put a CR before every LF: undone when the image then holds together whole.
    std::unique_ptr<LineEndView> undone;
    if (found.Damaged && !found.Unsupported && LineEndView::LooksConverted(source)) {
        undone = std::make_unique<LineEndView>(source);
        progress.SetTotal(progress.Total() + 2 * undone->Size());
        auto second = std::make_unique<JpegWalk>(*undone, progress);
        const JpegFindings again = second->Run();
        uint64_t at = 0;
        if (!again.Damaged
            && Clean(Check(
                [&](uint8_t* buffer, size_t size) {
                    const size_t n = undone->ReadAt(at, buffer, size);
                    at += n;
                    return n;
                },
                progress))) {
            found = again;
            found.Damaged = true;
            found.Messages.push_back("a text-mode transfer had put a CR before every LF: undone");
            walk = std::move(second);
            data = undone.get();
        }
    }
    report.Messages = found.Messages;
    report.Lost = found.Lost;
    report.PartsTotal = found.Mcus;
    report.PartsRecovered = found.Kept;

    uint64_t at = 0;
    auto readSource = [&](uint8_t* buffer, size_t size) {
        const size_t n = source.ReadAt(at, buffer, size);
        at += n;
        return n;
    };
    if (found.Unsupported || !found.Damaged) {
        const QuillonJpegCheck check = Check(readSource, progress);
        if (Clean(check) || (!found.Unsupported && check.TooLarge)) {
            report.Outcome = Verdict::Intact;
            report.PartsRecovered = report.PartsTotal;
            report.Messages.push_back("no damage found: " + Describe(found));
            return report;
        }
        if (found.Unsupported) {
            report.Outcome = Verdict::Unrecoverable;
            report.Messages.push_back(std::string("the decoder reports: ") + check.Message);
            return report;
        }
        // The decoder objects where the walk saw nothing wrong: write the walk's version and say so.
        report.Messages.push_back(std::string("the decoder reports: ") + check.Message);
    }
    if (found.TooMuchLost || found.Kept == 0 || walk->Plan().Size() == 0) {
        report.Outcome = Verdict::Unrecoverable;
        report.Messages.push_back("no part of the image could be decoded");
        return report;
    }

    JpegPlan::Cursor checkCursor(walk->Plan(), *data);
    const QuillonJpegCheck result
        = Check([&](uint8_t* buffer, size_t size) { return checkCursor.Read(buffer, size); }, progress);
    if (!result.Decoded && !result.TooLarge) {
        report.Outcome = Verdict::Unrecoverable;
        report.Messages.push_back(std::string("the repaired image does not decode: ") + result.Message);
        return report;
    }
    if (result.Warnings)
        report.Messages.push_back(std::string("the repaired image still draws a warning: ") + result.Message);

    AtomicSink& sink = openSink();
    JpegPlan::Cursor cursor(walk->Plan(), *data);
    std::vector<uint8_t> buffer(64 * 1024);
    for (size_t n; (n = cursor.Read(buffer.data(), buffer.size())) > 0;) {
        progress.Check();
        sink.Write(buffer.data(), n);
        progress.Advance(n);
    }
    const bool all = found.Complete && found.Kept == found.Mcus && found.Lost.empty();
    report.Outcome = all ? Verdict::Repaired : Verdict::Partial;
    report.Messages.push_back("kept " + std::to_string(found.Kept) + " of " + std::to_string(found.Mcus)
        + " MCUs of " + Describe(found));
    return report;
}

} // namespace repair
