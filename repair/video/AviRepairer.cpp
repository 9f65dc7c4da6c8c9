// SPDX-License-Identifier: MIT
#include "AviRepairer.h"

#include "AtomicSink.h"
#include "AvCheck.h"
#include "AviFormat.h"
#include "AviHeader.h"
#include "AviSilence.h"
#include "AviWalk.h"
#include "AviWriter.h"
#include "LineEndView.h"
#include "Progress.h"
#include "TransferRetry.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace repair {

namespace {

// Decoding every picture of a large file would cost far more than reading it: above this much data
// only the pictures the walk doubts are decoded, and a long run of zeros (a zeroed disk sector) marks a
// damaged one.
constexpr uint64_t kFullCheckBytes = 64ull << 20;
constexpr size_t kZeroRun = 256;

bool HasZeroRun(const std::vector<uint8_t>& data)
{
    // A run this long holds a zero at a multiple of half its length: only those places are looked at
    // first.
    constexpr size_t kStep = kZeroRun / 2;
    for (size_t i = kStep - 1; i < data.size(); i += kStep) {
        if (data[i] != 0)
            continue;
        size_t from = i, to = i;
        while (from > 0 && data[from - 1] == 0)
            --from;
        while (to + 1 < data.size() && data[to + 1] == 0)
            ++to;
        if (to - from + 1 >= kZeroRun)
            return true;
        i = to;
    }
    return false;
}

// The headers that tell a key frame come first in a picture.
constexpr size_t kKeyPrefix = 4096;

// Consecutive numbers as "a-b" ranges, at most a few dozen named.
class Ranges {
public:
    void Add(uint64_t n)
    {
        ++m_count;
        if (!m_spans.empty() && m_spans.back().second + 1 == n)
            m_spans.back().second = n;
        else
            m_spans.emplace_back(n, n);
    }
    uint64_t Count() const { return m_count; }
    void Name(const std::string& what, std::vector<std::string>& lost) const
    {
        constexpr size_t kNamed = 40;
        for (size_t i = 0; i < m_spans.size() && i < kNamed; ++i) {
            const auto& [a, b] = m_spans[i];
            lost.push_back(what + " " + std::to_string(a) + (a == b ? "" : "-" + std::to_string(b)));
        }
        if (m_spans.size() > kNamed)
            lost.push_back("and " + std::to_string(m_spans.size() - kNamed) + " more spans of " + what);
    }

private:
    std::vector<std::pair<uint64_t, uint64_t>> m_spans;
    uint64_t m_count = 0;
};

struct StreamState {
    std::unique_ptr<AvCheck> check;
    bool needKey = true;
    std::vector<uint8_t> sample; // a sound chunk that decoded: the model of its silent stand-ins
    uint64_t seen = 0, kept = 0, empty = 0, written = 0, writtenBytes = 0;
    Ranges lost;
};

} // namespace

Recognition AviRepairer::Recognise(ByteReader& source, std::string_view extension)
{
    Recognition r;
    r.Format = "avi";
    r.Family = "video";
    uint8_t head[64 * 1024];
    const size_t n = source.ReadAt(0, head, sizeof head);
    if (n >= 12 && AviLe32(head) == kAviRiff && AviLe32(head + 8) == kAviForm) {
        r.Score = 100;
        return r;
    }
    // A damaged RIFF header: the header list still says what it is.
    for (size_t i = 0; i + 12 <= n; ++i) {
        if (AviLe32(head + i) == kAviList
            && (AviLe32(head + i + 8) == AviTag('h', 'd', 'r', 'l') || AviLe32(head + i + 8) == kAviMovi)) {
            r.Score = 50;
            return r;
        }
    }
    r.Score = extension == "avi" ? 10 : 0;
    return r;
}

Report AviRepairer::Repair(
    ByteReader& source, const std::function<AtomicSink&()>& openSink, Progress& progress)
{
    return SalvageOrUndoTransfer(source, progress, [&](ByteReader& reader, bool transferUndone) {
        return Salvage(reader, openSink, progress, transferUndone);
    });
}

std::optional<Report> AviRepairer::Salvage(
    ByteReader& source, const std::function<AtomicSink&()>& openSink, Progress& progress, bool transferUndone)
{
    Report report;
    report.Family = "video";
    report.Format = "avi";
    const uint64_t size = source.Size();
    // The walk reads the chunk headers, the check the data, the writing copies it: about three passes.
    progress.SetTotal(3 * size + 1);
    std::optional<AviHeader> header = AviHeader::Read(source);
    if (!header && !transferUndone && LineEndView::LooksConverted(source))
        return std::nullopt;
    if (!header)
        header = AviHeader::Rebuild(source);
    if (!header) {
        report.Outcome = Verdict::Unrecoverable;
        report.Messages.push_back("no AVI header list with its streams was found");
        return report;
    }
    const std::vector<AviStream>& streams = header->Streams;
    AviWalk walk(source, *header, progress);
    walk.Run();
    if (walk.Gaps() > 0 && !transferUndone && LineEndView::LooksConverted(source))
        return std::nullopt;
    report.Messages = walk.Findings();
    if (header->Rebuilt) {
        report.Messages.insert(report.Messages.begin(), "the header list was lost: made anew from the data");
        report.Lost.push_back("the header list (made anew; the picture rate is judged from the sound)");
    }
    std::vector<AviChunk>& chunks = walk.Chunks();

    std::vector<StreamState> state(streams.size());
    uint64_t dataBytes = 0;
    for (const AviChunk& c : chunks)
        dataBytes += c.Size;
    const bool fullCheck = dataBytes <= kFullCheckBytes;
    for (size_t s = 0; s < streams.size(); ++s)
        state[s].check = AvCheck::Open(streams[s].Coding);

    // A large file that cannot be intact is checked while it is written: one reading instead of two.
    // Its head is written again at the end, with the counts.
    const bool together = !fullCheck && !(walk.StructureRight() && walk.Indexed() && walk.Gaps() == 0);
    AtomicSink* sink = together ? &openSink() : nullptr;
    std::optional<AviWriter> writer;
    if (sink) {
        writer.emplace(*sink, source, progress);
        writer->Begin(header->Head);
    }
    std::vector<uint8_t> data;
    uint64_t dropped = 0;
    const auto judge = [&](AviChunk& c) {
        const uint64_t done = (c.Flags & AviChunk::Filler) ? 0 : c.Size;
        progress.Advance(done);
        if ((&c - chunks.data()) % 256 == 0)
            progress.Check();
        const AviStream& st = streams[c.Stream];
        StreamState& ss = state[c.Stream];
        const uint64_t number = ss.seen++;
        if (c.Flags & AviChunk::AfterGap) {
            for (size_t s = 0; s < streams.size(); ++s) {
                if (streams[s].IsVideo())
                    state[s].needKey = true;
                if (state[s].check)
                    state[s].check->Flush();
            }
        }
        const auto drop = [&] {
            c.Flags |= AviChunk::Dropped;
            ++dropped;
            if (c.Size > 0 || (c.Flags & AviChunk::Filler))
                ss.lost.Add(number);
            if (st.IsVideo()) {
                ss.needKey = true;
                if (ss.check)
                    ss.check->Flush();
            }
        };
        if (c.Flags & AviChunk::Filler) {
            drop();
            return;
        }
        if (c.Size == 0) {
            ++ss.empty; // a picture repeated: nothing to check, nothing lost
            return;
        }
        const bool keyKnown = c.Flags & AviChunk::Indexed;
        const bool unsure = c.Flags & AviChunk::Unsure;
        const bool decode = ss.check && (fullCheck || unsure || (c.Flags & AviChunk::AfterGap));
        const bool read = together || decode || unsure || (st.IsVideo() && (!keyKnown || ss.check))
            || (st.IsAudio() && ss.sample.empty());
        bool ok = true;
        bool key = keyKnown ? (c.Flags & AviChunk::Key) : !st.IsVideo();
        if (read) {
            data.resize(c.Size);
            ok = source.ReadAt(c.At, data.data(), c.Size) == c.Size;
        }
        if (ok && st.IsVideo()) {
            if (!keyKnown && ss.check && !decode)
                key = ss.check->IsKey(data.data(), std::min(data.size(), kKeyPrefix));
            else if (!keyKnown && !ss.check)
                key = true; // an uncompressed or unknown coding: every picture stands alone
            if (ss.needKey && !key && (keyKnown || !decode)) {
                drop();
                return;
            }
            if (decode) {
                bool decodedKey = false;
                ok = ss.check->Decode(data.data(), data.size(), decodedKey);
                if (!keyKnown)
                    key = decodedKey;
                if (ss.needKey && !key) {
                    drop();
                    return;
                }
            } else if (ss.check) {
                ok = !HasZeroRun(data);
            } else if (unsure) {
                ok = false;
            }
        } else if (ok) {
            bool unused = false;
            if (decode)
                ok = ss.check->Decode(data.data(), data.size(), unused);
            else if (unsure)
                ok = false;
        }
        if (!ok) {
            drop();
            return;
        }
        if (st.IsVideo())
            ss.needKey = false;
        if (key)
            c.Flags |= AviChunk::Key;
        else
            c.Flags &= uint8_t(~AviChunk::Key);
        if (st.IsAudio() && ss.sample.empty() && data.size() >= 4
            && AviSilence::MpegFrameSize(data.data()) > 0)
            ss.sample.assign(data.begin(), data.begin() + std::min<size_t>(data.size(), 4));
        ++ss.kept;
    };
    // What a lost chunk becomes in the fixed file.
    const auto standIn = [&](const AviChunk& c) -> std::optional<std::vector<uint8_t>> {
        const AviStream& st = streams[c.Stream];
        if (st.IsVideo())
            return std::vector<uint8_t>();
        std::vector<uint8_t> silence = AviSilence::For(st, state[c.Stream].sample, c.Size);
        if (silence.empty())
            return std::nullopt;
        return silence;
    };
    const auto emit = [&](const AviChunk& c, const uint8_t* bytes) {
        if (!(c.Flags & AviChunk::Dropped)) {
            const bool key = (c.Flags & AviChunk::Key) || streams[c.Stream].IsAudio();
            if (bytes)
                writer->Put(c.Id, bytes, c.Size, key);
            else
                writer->Copy(c.Id, c.At, c.Size, key);
        } else if (const auto s = standIn(c)) {
            const uint32_t id = streams[c.Stream].IsVideo() ? (c.Id & 0xFFFF) | AviTag(0, 0, 'd', 'c') : c.Id;
            writer->Put(id, s->data(), uint32_t(s->size()), streams[c.Stream].IsAudio());
        }
    };
    for (AviChunk& c : chunks) {
        judge(c);
        if (together)
            emit(c, c.Size && !(c.Flags & AviChunk::Dropped) ? data.data() : nullptr);
    }

    // The counts of what the fixed file holds.
    for (const AviChunk& c : chunks) {
        StreamState& ss = state[c.Stream];
        if (!(c.Flags & AviChunk::Dropped)) {
            ++ss.written;
            ss.writtenBytes += c.Size;
        } else if (const auto s = standIn(c)) {
            ++ss.written;
            ss.writtenBytes += s->size();
        }
    }
    bool countsRight = true;
    std::vector<uint8_t> head = header->Head;
    uint32_t frames = 0;
    bool haveFrames = false;
    for (size_t s = 0; s < streams.size(); ++s) {
        const AviStream& st = streams[s];
        const uint64_t length = st.SampleSize ? state[s].writtenBytes / st.SampleSize : state[s].written;
        const uint32_t length32 = uint32_t(std::min<uint64_t>(length, UINT32_MAX));
        if (st.Length != length32)
            countsRight = false;
        AviPut32(&head[st.LengthAt], length32);
        if (st.IsVideo() && !haveFrames) {
            frames = length32;
            haveFrames = true;
        }
    }
    if (header->ExtendedFramesAt.empty() && header->TotalFrames != frames)
        countsRight = false;
    AviPut32(&head[header->TotalFramesAt], frames);
    for (const uint64_t at : header->ExtendedFramesAt)
        AviPut32(&head[at], frames);
    AviPut32(&head[header->FlagsAt], header->Flags | kAviHasIndex);
    for (const uint64_t at : header->SuperIndexAt)
        AviPut32(&head[at], kAviJunk);
    AviPut32(&head[0], kAviRiff);
    AviPut32(&head[8], kAviForm);
    if (!countsRight)
        report.Messages.push_back("the header's frame or sample counts are wrong");
    if (!header->HeaderListRight) {
        countsRight = false;
        report.Messages.push_back("the header list's size is wrong");
    }

    uint64_t videoTotal = 0, videoKept = 0, soundTotal = 0, soundKept = 0, lostAtEnd = 0;
    for (size_t s = 0; s < streams.size(); ++s) {
        const StreamState& ss = state[s];
        const uint64_t total = ss.kept + ss.lost.Count() + walk.LostAtEnd()[s];
        lostAtEnd += walk.LostAtEnd()[s];
        if (streams[s].IsVideo()) {
            // Without an index, the header's count is the only word on what a cut took.
            const uint64_t declared = walk.CutShort() && !walk.Indexed() && streams[s].Length > ss.empty
                ? streams[s].Length - ss.empty
                : 0;
            videoTotal += std::max(total, declared);
            videoKept += ss.kept;
            ss.lost.Name("frames", report.Lost);
            if (declared > total)
                report.Lost.push_back("frames " + std::to_string(ss.seen) + "-"
                    + std::to_string(streams[s].Length - 1) + " cut off");
        } else {
            soundTotal += total;
            soundKept += state[s].kept;
            ss.lost.Name("stream " + std::to_string(s) + " chunks", report.Lost);
        }
    }
    if (walk.LostAtEnd().size() && lostAtEnd)
        report.Lost.push_back(std::to_string(lostAtEnd) + " chunks cut off at the end");
    report.PartsTotal = videoTotal;
    report.PartsRecovered = videoKept;

    if (!together && !transferUndone && walk.StructureRight() && walk.Indexed() && walk.Gaps() == 0
        && dropped == 0 && countsRight) {
        report.Outcome = Verdict::Intact;
        report.Messages.push_back("no damage found: an AVI file of " + std::to_string(videoKept) + " frames");
        return report;
    }
    if (videoKept == 0 && soundKept == 0) {
        report.Outcome = Verdict::Unrecoverable;
        report.Messages.push_back("no frame or sound of the file could be recovered");
        return report;
    }

    if (together) {
        sink->WriteAt(0, head.data(), head.size());
    } else {
        sink = &openSink();
        writer.emplace(*sink, source, progress);
        writer->Begin(head);
        for (const AviChunk& c : chunks) {
            progress.Check();
            emit(c, nullptr);
        }
    }
    writer->Finish();
    report.Messages.push_back(std::to_string(videoKept) + " of " + std::to_string(videoTotal) + " frames and "
        + std::to_string(soundKept) + " of " + std::to_string(soundTotal) + " sound chunks recovered");
    const bool lost
        = header->Rebuilt || dropped > 0 || lostAtEnd > 0 || videoKept < videoTotal || walk.GapBytes() > 0;
    report.Outcome = lost ? Verdict::Partial : Verdict::Repaired;
    return report;
}

} // namespace repair
