// SPDX-License-Identifier: MIT
#include "Mp3Repairer.h"

#include "AtomicSink.h"
#include "Id3Tags.h"
#include "InfoFrame.h"
#include "Mp3Walk.h"
#include "Progress.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace repair {

namespace {

// Several ID3v2 tags in a row happen (a tagger prepending its own); more than this is not a real file.
constexpr int kMaxTags = 8;

std::string Count(uint64_t n, const char* one, const char* many)
{
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// Where the tags put the stream, and which tags stay.
struct Frame {
    uint64_t Start = 0;
    uint64_t End = 0;
    std::vector<std::pair<uint64_t, uint64_t>> Tags; // ID3v2 tags kept: offset, length
    bool TrailingTag = false; // an ID3v1 tag kept at End
    std::vector<std::string> Damage, Lost;
};

Frame Bounds(ByteWindow& window)
{
    Frame f;
    f.End = window.Size();
    for (int i = 0; i < kMaxTags; ++i) {
        const Id3v2Check tag = CheckId3v2(window, f.Start);
        if (!tag.Present)
            break;
        if (!tag.Length) {
            f.Damage.push_back("the ID3v2 tag was dropped: " + tag.Why);
            f.Lost.push_back("ID3v2 tag");
            f.Start += 10;
            break;
        }
        f.Tags.emplace_back(f.Start, tag.Length);
        f.Start += tag.Length;
    }
    if (f.End >= f.Start + 128) {
        uint8_t tag[128];
        window.Read(f.End - 128, tag, 128);
        if (std::memcmp(tag, "TAG", 3) == 0) {
            f.End -= 128;
            f.TrailingTag = Id3v1Sound(tag);
            if (!f.TrailingTag) {
                f.Damage.push_back("the ID3v1 tag was dropped: its fields are damaged");
                f.Lost.push_back("ID3v1 tag");
            }
        }
    }
    return f;
}

void CopyRange(ByteWindow& window, uint64_t at, uint64_t count, AtomicSink& sink)
{
    while (count > 0) {
        size_t n = 0;
        const uint8_t* p = window.At(at, size_t(std::min<uint64_t>(count, 256 * 1024)), n);
        n = size_t(std::min<uint64_t>(n, count));
        if (n == 0)
            throw std::runtime_error("the file changed while it was being repaired");
        sink.Write(p, n);
        at += n;
        count -= n;
    }
}

} // namespace

Recognition Mp3Repairer::Recognise(ByteReader& source, std::string_view extension)
{
    Recognition r;
    r.Format = "mp3";
    r.Family = "music";
    ByteWindow window(source, 256 * 1024);
    const uint64_t look = std::min<uint64_t>(window.Size(), 64 * 1024);
    const Id3v2Check tag = CheckId3v2(window, 0);
    uint64_t start = tag.Length;
    if (tag.Present && !tag.Length)
        start = 10;
    const auto stream = Mp3Walk::FindStream(window, start, std::min(window.Size(), start + look));
    uint8_t head[2] = {};
    window.Read(start, head, 2);
    if (stream && (tag.Length || (head[0] == 0xFF && (head[1] & 0xE0) == 0xE0)))
        r.Score = 100;
    else if (stream || tag.Present)
        r.Score = 50;
    else
        r.Score = extension == "mp3" ? 10 : 0;
    return r;
}

Report Mp3Repairer::Repair(
    ByteReader& source, const std::function<AtomicSink&()>& openSink, Progress& progress)
{
    Report report;
    report.Family = "music";
    report.Format = "mp3";
    ByteWindow window(source);
    progress.SetTotal(2 * window.Size() + 1);
    Frame bounds = Bounds(window);
    report.Messages = bounds.Damage;
    report.Lost = bounds.Lost;
    const auto stream = Mp3Walk::FindStream(window, bounds.Start, bounds.End);
    if (!stream) {
        report.Outcome = Verdict::Unrecoverable;
        report.Messages.push_back("no MPEG audio frames were found");
        return report;
    }

    // First walk: what stays, and whether the info frame still tells the truth about it.
    std::optional<InfoFrame> info;
    uint64_t infoLength = 0;
    Mp3Findings found;
    {
        Mp3Walk walk(window, bounds.Start, bounds.End, *stream);
        Mp3Frame frame;
        uint64_t before = bounds.Start;
        while (walk.Next(frame)) {
            if (frame.Info) {
                size_t n = 0;
                info = InfoFrame::Find(frame.Header, window.At(frame.Offset, frame.Header.Length, n));
                infoLength = frame.Header.Length;
            }
            progress.Advance(walk.Position() - before);
            before = walk.Position();
        }
        found = walk.Findings();
    }
    const uint64_t audioBytes = found.Bytes - infoLength;
    bool keepInfo = false, rewriteInfo = false;
    if (info) {
        const bool truthful = info->Truthful(found.Frames, found.Bytes);
        if (!info->Sound()) {
            report.Messages.push_back("the stream's info header is damaged: removed");
        } else if (truthful && found.Clean()) {
            keepInfo = true;
        } else if (info->Type() == InfoFrame::Kind::Vbri) {
            report.Messages.push_back("the VBRI header no longer told the truth: removed");
        } else {
            keepInfo = rewriteInfo = true;
            if (!truthful)
                report.Messages.push_back("the Xing header's counts were corrected to the frames kept");
        }
    }
    // A silent frame stands in for a lost one: it counts among the parts, not among those recovered.
    report.PartsTotal = found.Frames + found.Dropped();
    report.PartsRecovered = found.Frames - found.Carriers - found.Silenced - found.HalfSilenced;
    const std::string what = "an MP3 stream of " + Count(found.Frames, "frame", "frames") + " ("
        + std::to_string(stream->SampleRate) + " Hz, " + (stream->Channels() == 1 ? "mono" : "stereo") + ")";
    if (found.Clean() && bounds.Damage.empty() && (!info || keepInfo) && !rewriteInfo) {
        report.Outcome = Verdict::Intact;
        report.Messages.push_back("no damage found: " + what);
        return report;
    }
    if (report.PartsRecovered == 0) {
        report.Outcome = Verdict::Unrecoverable;
        report.Messages.push_back("no frame of the stream could be kept");
        return report;
    }
    if (found.GarbageBytes)
        report.Messages.push_back(
            Count(found.GarbageBytes, "byte", "bytes") + " between frames were no frame: dropped");
    if (found.CrcFailed)
        report.Messages.push_back(Count(found.CrcFailed, "frame", "frames") + " failed their CRC: dropped");
    if (found.Implausible)
        report.Messages.push_back(
            Count(found.Implausible, "frame", "frames") + " held damaged side information: dropped");
    if (found.Completed)
        report.Messages.push_back("the last frame was cut short after its sound: completed");
    if (found.CutShort)
        report.Messages.push_back("the last frame was cut short: dropped");
    if (found.Carriers)
        report.Messages.push_back(Count(found.Carriers, "silent frame", "silent frames")
            + " put in place of lost ones, carrying the data the frames after them borrow");
    if (found.HalfSilenced)
        report.Messages.push_back("first halves kept silent, their data lost with the frames before: "
            + Count(found.HalfSilenced, "frame", "frames"));
    if (found.Silenced)
        report.Messages.push_back("kept silent, the data they borrow lost with the frames before: "
            + Count(found.Silenced, "frame", "frames"));
    const uint64_t lost = report.PartsTotal - report.PartsRecovered;
    if (lost)
        report.Lost.push_back(Count(lost, "frame", "frames"));
    // After a dropped tag the bytes before the first frame are the tag's, not a lost frame's.
    if (found.LeadingGarbage && bounds.Lost.empty()) {
        report.Messages.push_back("the stream's head is lost: it starts within a frame");
        report.Lost.push_back("the stream's head");
    }

    // Second walk: the same frames, written.
    AtomicSink& sink = openSink();
    for (const auto& [at, length] : bounds.Tags)
        CopyRange(window, at, length, sink);
    Mp3Walk walk(window, bounds.Start, bounds.End, *stream);
    Mp3Frame frame;
    uint64_t infoAt = 0, written = 0, index = 0, percent = 0, before = bounds.Start;
    uint16_t musicCrc = 0;
    std::array<uint64_t, 100> percentOffsets {};
    std::vector<uint8_t> bytes;
    const auto emit = [&](const std::vector<uint8_t>& out) {
        // The hundredths of the frames, for the seek table: where each begins, from the info frame on.
        while (percent < 100 && percent * found.Frames / 100 <= index)
            percentOffsets[percent++] = infoLength + written;
        sink.Write(out.data(), out.size());
        musicCrc = TagCrc(out.data(), out.size(), musicCrc);
        written += out.size();
        ++index;
    };
    while (walk.Next(frame)) {
        progress.Advance(walk.Position() - before);
        before = walk.Position();
        size_t n = 0;
        const uint8_t* p = window.At(frame.Offset, frame.Header.Length, n);
        if (frame.Info) {
            if (keepInfo) {
                infoAt = sink.Size();
                sink.Write(p, frame.Header.Length);
            }
            continue;
        }
        if (frame.Carry) {
            const auto carrier = Mp3Header::Parse(frame.CarrierHeader.data());
            bytes.assign(carrier->Length, 0);
            std::memcpy(bytes.data(), frame.CarrierHeader.data(), 4);
            window.Read(frame.Offset - frame.Carry, bytes.data() + bytes.size() - frame.Carry, frame.Carry);
            emit(bytes);
            p = window.At(frame.Offset, frame.Header.Length, n);
        }
        bytes.assign(p, p + (frame.Present ? frame.Present : frame.Header.Length));
        bytes.resize(frame.Header.Length, 0);
        if (frame.Silenced) {
            // Zero side information decodes to silence and borrows nothing; the frame's own bytes stay for
            // the frames after it that borrow from them.
            std::memset(bytes.data() + frame.Header.SideInfoAt(), 0, frame.Header.SideInfoSize());
            StoreFrameCrc(frame.Header, bytes.data());
        }
        if (frame.QuietFirst)
            QuietFirstGranule(frame.Header, bytes.data());
        emit(bytes);
    }
    if (bounds.TrailingTag)
        CopyRange(window, bounds.End, 128, sink);
    if (rewriteInfo) {
        const auto rewritten
            = info->Rewritten(found.Frames, infoLength + audioBytes, percentOffsets, musicCrc, found.EndLost);
        sink.WriteAt(infoAt, rewritten.data(), rewritten.size());
    }
    report.Messages.push_back("kept " + what);
    report.Outcome = report.Lost.empty() ? Verdict::Repaired : Verdict::Partial;
    return report;
}

} // namespace repair
