// SPDX-License-Identifier: MIT
#include "Mp4Repairer.h"

#include "AtomicSink.h"
#include "Errors.h"
#include "Mp4Boxes.h"
#include "Mp4CutView.h"
#include "Mp4HeadView.h"
#include "Mp4LibavReader.h"
#include "Mp4LibavWriter.h"
#include "Mp4LineEndView.h"
#include "Mp4MovieRescue.h"
#include "Mp4NalUnits.h"
#include "Mp4PatchedView.h"
#include "Mp4SampleCheck.h"
#include "Progress.h"

extern "C" {
#include <libavformat/avformat.h>
}

#include <algorithm>
#include <memory>
#include <optional>

namespace repair {

namespace {

constexpr size_t kLook = 64 * 1024;
// A movie header this large is not one a real file holds; nothing is read into memory beyond it.
constexpr uint64_t kMaxMovie = 256ull << 20;
// Nor a sample this large.
constexpr uint32_t kMaxSample = 64u << 20;
// The search for inserted bytes inside one sample tries every place: only in samples up to this size.
constexpr uint32_t kMaxStraddling = 64u << 10;

struct PacketFree {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
using PacketPtr = std::unique_ptr<AVPacket, PacketFree>;

PacketPtr NewPacket()
{
    PacketPtr p(av_packet_alloc());
    if (!p)
        throw std::bad_alloc();
    return p;
}

bool IsQuickTime(ByteReader& in, const Mp4Level& top)
{
    for (const Mp4Box& box : top.Boxes) {
        if (box.Type != Mp4Type("ftyp"))
            continue;
        uint8_t brand[4] = {};
        return in.ReadAt(box.PayloadOffset(), brand, 4) == 4 && std::equal(brand, brand + 4, "qt  ");
    }
    // Files older than the brand box start with the movie or its media data.
    return !top.Boxes.empty();
}

const Mp4Box* Find(const std::vector<Mp4Box>& boxes, uint32_t type)
{
    for (const Mp4Box& box : boxes)
        if (box.Type == type)
            return &box;
    return nullptr;
}

const char* KindOf(const AVStream* stream)
{
    switch (stream->codecpar->codec_type) {
    case AVMEDIA_TYPE_VIDEO:
        return "video";
    case AVMEDIA_TYPE_AUDIO:
        return "audio";
    default:
        return "stream";
    }
}

// Lost samples of one stream as ranges, for the report.
struct LostRanges {
    std::vector<std::pair<uint64_t, uint64_t>> ranges;
    void Add(uint64_t sample)
    {
        if (!ranges.empty() && ranges.back().second + 1 == sample)
            ranges.back().second = sample;
        else
            ranges.push_back({ sample, sample });
    }
};

std::string Samples(uint64_t n)
{
    return std::to_string(n) + (n == 1 ? " sample" : " samples");
}

// The top level is sound and its movie header too, as far as box sizes tell.
bool LooksWhole(ByteReader& in, const Mp4Level& top)
{
    const Mp4Box* moov = Find(top.Boxes, Mp4Type("moov"));
    return top.Sound() && moov && Mp4Boxes::Children(in, *moov).Sound();
}

// Where `length` inserted bytes start to push the samples back: the file offset (as the tables list it)
// of the first H.264 sample that is sound only when read `length` bytes further on. `view` is the file
// without the bytes after the media data, so that its tables can be read.
std::optional<uint64_t> FindInsertion(ByteReader& source, ByteReader& view, uint64_t length)
{
    Mp4LibavReader reader(view);
    if (!reader.Open())
        return std::nullopt;
    for (unsigned i = 0; i < reader.Format()->nb_streams; ++i) {
        AVStream* stream = reader.Format()->streams[i];
        const AVCodecParameters* codec = stream->codecpar;
        const int lengthSize = codec->codec_id == AV_CODEC_ID_H264 && codec->extradata
            ? AvcLengthSize(codec->extradata, size_t(codec->extradata_size))
            : 0;
        if (!lengthSize)
            continue;
        std::vector<std::pair<uint64_t, uint32_t>> samples;
        const int count = avformat_index_get_entries_count(stream);
        for (int k = 0; k < count; ++k)
            if (const AVIndexEntry* e = avformat_index_get_entry(stream, k); e && e->pos >= 0 && e->size > 0)
                samples.push_back({ uint64_t(e->pos), uint32_t(e->size) });
        std::sort(samples.begin(), samples.end());
        std::vector<uint8_t> bytes;
        const auto soundAt = [&](size_t k, uint64_t shift) {
            const auto [pos, size] = samples[k];
            if (size > kMaxSample)
                return false;
            bytes.resize(size);
            return source.ReadAt(pos + shift, bytes.data(), size) == size
                && CheckNalUnits(bytes.data(), size, lengthSize).Sound;
        };
        // Before the insertion the samples are sound where listed, after it only when moved on.
        size_t low = 0, high = samples.size();
        while (low < high) {
            const size_t middle = low + (high - low) / 2;
            if (soundAt(middle, length))
                high = middle;
            else
                low = middle + 1;
        }
        if (low >= samples.size() || soundAt(low, 0)
            || (low + 1 < samples.size() && !soundAt(low + 1, length)))
            return std::nullopt;
        // The sample before may hold the inserted bytes: where taking them out makes it sound, they were.
        if (low > 0 && !soundAt(low - 1, 0) && samples[low - 1].second <= kMaxStraddling) {
            const auto [pos, size] = samples[low - 1];
            std::vector<uint8_t> around(size + length);
            if (source.ReadAt(pos, around.data(), around.size()) == around.size()) {
                bytes.resize(size);
                for (uint64_t x = 0; x < size; ++x) {
                    std::copy(around.begin(), around.begin() + long(x), bytes.begin());
                    std::copy(around.begin() + long(x + length), around.end(), bytes.begin() + long(x));
                    if (CheckNalUnits(bytes.data(), size, lengthSize).Sound)
                        return pos + x;
                }
            }
        }
        return samples[low].first;
    }
    return std::nullopt;
}

// The bytes lost from the head of a file whose movie header followed its media data: the tables say where
// the media data ended, which is where the movie header stood. Checked on H.264 samples. Gives the bytes
// lost and the size of the media data box that held them.
std::optional<std::pair<uint64_t, uint64_t>> LostHead(ByteReader& source, const Mp4Box& moov)
{
    Mp4CutView movieOnly(source, 0, moov.Offset);
    Mp4LibavReader reader(movieOnly);
    if (!reader.Open())
        return std::nullopt;
    uint64_t end = 0;
    int checked = 0, sound = 0;
    std::vector<uint8_t> bytes;
    for (int pass = 0; pass < 2; ++pass) {
        const uint64_t lost = end > moov.Offset ? end - moov.Offset : 0;
        for (unsigned i = 0; i < reader.Format()->nb_streams; ++i) {
            AVStream* stream = reader.Format()->streams[i];
            const AVCodecParameters* codec = stream->codecpar;
            const int lengthSize = codec->codec_id == AV_CODEC_ID_H264 && codec->extradata
                ? AvcLengthSize(codec->extradata, size_t(codec->extradata_size))
                : 0;
            const int count = avformat_index_get_entries_count(stream);
            for (int k = 0; k < count; ++k) {
                const AVIndexEntry* e = avformat_index_get_entry(stream, k);
                if (!e || e->pos < 0 || e->size <= 0)
                    continue;
                if (pass == 0) {
                    end = std::max(end, uint64_t(e->pos) + uint64_t(e->size));
                } else if (lengthSize && uint64_t(e->pos) >= lost && uint32_t(e->size) <= kMaxSample
                    && checked < 8 && k % 16 == 0) {
                    bytes.resize(size_t(e->size));
                    ++checked;
                    if (source.ReadAt(uint64_t(e->pos) - lost, bytes.data(), bytes.size()) == bytes.size()
                        && CheckNalUnits(bytes.data(), bytes.size(), lengthSize).Sound)
                        ++sound;
                }
            }
        }
    }
    if (end <= moov.Offset + 16 || checked == 0 || sound * 2 <= checked)
        return std::nullopt;
    return std::make_pair(end - moov.Offset, end);
}

} // namespace

Mp4Repairer::Mp4Repairer(uint64_t decodeLimit)
    : m_decodeLimit(decodeLimit)
{
}

Recognition Mp4Repairer::Recognise(ByteReader& source, std::string_view extension)
{
    Recognition r;
    r.Family = "video";
    r.Format = extension == "mov" || extension == "qt" ? "mov" : "mp4";
    m_format = r.Format;
    Mp4Box box;
    if (Mp4Boxes::ReadHeader(source, 0, source.Size(), box) && Mp4Boxes::TopLevelType(box.Type)
        && box.Type != Mp4Type("uuid") && box.Type != Mp4Type("meta")) {
        uint8_t brand[4] = {};
        if (box.Type == Mp4Type("ftyp")) {
            source.ReadAt(8, brand, 4);
            r.Format = std::equal(brand, brand + 4, "qt  ") ? "mov" : "mp4";
            m_format = r.Format;
        }
        r.Score = 100;
        return r;
    }
    // A lost or zeroed head: a movie header or media data further in still say what it is.
    std::vector<uint8_t> look(kLook);
    const size_t n = source.ReadAt(0, look.data(), look.size());
    for (size_t i = 0; i + 8 <= n; ++i) {
        if (std::equal(look.begin() + long(i) + 4, look.begin() + long(i) + 8, "moov")
            || std::equal(look.begin() + long(i) + 4, look.begin() + long(i) + 8, "ftyp")) {
            if (Mp4Boxes::ReadHeader(source, i, source.Size(), box)) {
                r.Score = 50;
                return r;
            }
        }
    }
    r.Score = extension == "mp4" || extension == "m4v" || extension == "mov" || extension == "qt" ? 10 : 0;
    return r;
}

Report Mp4Repairer::Repair(
    ByteReader& source, const std::function<AtomicSink&()>& openSink, Progress& progress)
{
    Report report;
    report.Family = "video";
    progress.SetTotal(source.Size() + 1);
    Mp4Level first = Mp4Boxes::TopLevel(source);
    ByteReader* origin = &source;

    // A text-mode transfer put a CR before every LF: undone when no LF stands alone.
    std::optional<Mp4LineEndView> lineEnds;
    if (!LooksWhole(source, first)) {
        lineEnds.emplace(source);
        if (lineEnds->Transferred()) {
            Mp4Level undone = Mp4Boxes::TopLevel(*lineEnds);
            if (LooksWhole(*lineEnds, undone)) {
                origin = &*lineEnds;
                first = std::move(undone);
                report.Messages.push_back("a CR put before every LF by a text-mode transfer taken out");
            }
        }
    }
    report.Format = IsQuickTime(*origin, first) && m_format != "mp4" ? "mov" : "mp4";
    bool damaged = !first.Sound() || origin != &source;
    for (const Mp4Gap& gap : first.Gaps)
        report.Messages.push_back(
            "unreadable bytes from " + std::to_string(gap.Begin) + " to " + std::to_string(gap.End));

    // A lost head takes the media data's header and the first samples: the movie header, when it
    // followed the media data, says how much went.
    std::optional<Mp4HeadView> head;
    if (!first.Gaps.empty() && first.Gaps.front().Begin == 0) {
        if (const Mp4Box* moov = Find(first.Boxes, Mp4Type("moov"))) {
            if (const auto lost = LostHead(*origin, *moov)) {
                head.emplace(*origin, lost->first, lost->second);
                origin = &*head;
                first = Mp4Boxes::TopLevel(*origin);
                report.Messages.push_back("the first " + std::to_string(lost->first) + " bytes are lost");
            }
        }
    }

    // Bytes inserted into the media data push its end past the size it declares: the excess shows as
    // unreadable bytes right after it, and the samples after the insertion sit that much further on.
    std::optional<Mp4CutView> cut;
    ByteReader* base = origin;
    for (const Mp4Gap& gap : first.Gaps) {
        const Mp4Box* mdat = Find(first.Boxes, Mp4Type("mdat"));
        if (!mdat || mdat->Truncated || mdat->End() != gap.Begin)
            continue;
        const uint64_t length = gap.End - gap.Begin;
        cut.emplace(*origin, gap.Begin, length);
        if (const auto at = FindInsertion(*origin, *cut, length)) {
            cut.emplace(*origin, *at, length);
            report.Messages.push_back(std::to_string(length) + " bytes inserted before offset "
                + std::to_string(*at + length) + " taken out");
        }
        base = &*cut;
        break;
    }
    const Mp4Level top = cut ? Mp4Boxes::TopLevel(*base) : first;

    const Mp4Box* moov = Find(top.Boxes, Mp4Type("moov"));
    if (!moov) {
        report.Outcome = Verdict::Unrecoverable;
        report.Messages.push_back(Find(top.Boxes, Mp4Type("mdat"))
                ? "the movie header (its sample tables) is lost, and the media data holds no codec "
                  "parameters to rebuild it from"
                : "neither a movie header nor media data was found");
        return report;
    }

    // A movie header cut short or damaged keeps its whole tracks; the rest are lost.
    std::optional<Mp4PatchedView> patched;
    ByteReader* input = base;
    int tracksDropped = 0;
    {
        int kept = 0, dropped = 0;
        const Mp4Level inner = Mp4Boxes::Children(*base, *moov);
        bool sound = !moov->Truncated && inner.Sound();
        for (const Mp4Box& child : inner.Boxes)
            if (child.Type == Mp4Type("trak") && !Mp4MovieRescue::TrackSound(*base, child))
                sound = false;
        if (!sound) {
            damaged = true;
            if (moov->Size > kMaxMovie) {
                report.Outcome = Verdict::Unrecoverable;
                report.Messages.push_back("the movie header is damaged and too large to rebuild");
                return report;
            }
            std::vector<uint8_t> movie = Mp4MovieRescue::Rebuild(*base, *moov, dropped, kept);
            if (movie.empty()) {
                report.Outcome = Verdict::Unrecoverable;
                report.Messages.push_back("the movie header is damaged and none of its tracks is whole");
                return report;
            }
            tracksDropped = dropped;
            patched.emplace(*base, moov->Offset, moov->End(), std::move(movie));
            input = &*patched;
            report.Messages.push_back("the movie header is damaged: " + std::to_string(kept) + " of "
                + std::to_string(kept + dropped) + " tracks whole");
            for (int i = 0; i < dropped; ++i)
                report.Lost.push_back("a track whose tables were damaged");
        }
    }

    Mp4LibavReader reader(*input);
    if (!reader.Open()) {
        report.Outcome = Verdict::Unrecoverable;
        report.Messages.push_back("the movie header cannot be read: " + reader.Error());
        return report;
    }
    AVFormatContext* format = reader.Format();
    const unsigned streams = format->nb_streams;
    const bool decode = origin->Size() <= m_decodeLimit;
    std::vector<bool> copied(streams, false);
    std::vector<std::unique_ptr<Mp4SampleCheck>> checks(streams);
    for (unsigned i = 0; i < streams; ++i) {
        const AVCodecParameters* codec = format->streams[i]->codecpar;
        const AVMediaType type = codec->codec_type;
        copied[i]
            = (type == AVMEDIA_TYPE_VIDEO || type == AVMEDIA_TYPE_AUDIO || type == AVMEDIA_TYPE_SUBTITLE)
            && codec->codec_id != AV_CODEC_ID_NONE;
        if (copied[i])
            checks[i] = std::make_unique<Mp4SampleCheck>(codec, decode);
    }
    // Damage known before reading the samples (the boxes, the movie header, samples listed past the end)
    // opens the fixed file at once and the samples are written as they are checked. Damage found
    // among them opens it then, and the samples before are read again and written first: an intact file
    // is read once and nothing written, a damaged one at most twice.
    uint64_t listedEnd = 0;
    for (unsigned i = 0; i < streams; ++i) {
        AVStream* stream = format->streams[i];
        const int count = avformat_index_get_entries_count(stream);
        if (const AVIndexEntry* e = count > 0 ? avformat_index_get_entry(stream, count - 1) : nullptr)
            listedEnd
                = std::max<uint64_t>(listedEnd, uint64_t(std::max<int64_t>(e->pos, 0)) + uint64_t(e->size));
    }
    const char* muxer = report.Format == "mov" ? "mov" : "mp4";
    std::vector<bool> keep; // a bit per sample read: bounded for any file size
    std::optional<Mp4LibavWriter> writer;
    PacketPtr packet = NewPacket();
    const auto startWriting = [&] {
        AtomicSink& sink = openSink();
        const size_t before = keep.size();
        if (before > 0) {
            progress.SetTotal(progress.Total() + progress.Done());
            Mp4LibavReader again(*input);
            if (!again.Open())
                throw ReadError("the movie header could not be read a second time: " + again.Error());
            writer.emplace(sink, muxer, again.Format(), copied);
            PacketPtr earlier = NewPacket();
            for (size_t at = 0; at < before && again.Next(earlier.get()); ++at) {
                progress.Advance(uint64_t(std::max(earlier->size, 0)));
                if (keep[at])
                    writer->Write(earlier.get());
                av_packet_unref(earlier.get());
            }
        } else {
            writer.emplace(sink, muxer, format, copied);
        }
    };
    if (damaged || listedEnd > input->Size())
        startWriting();

    std::vector<uint64_t> seen(streams, 0), kept(streams, 0);
    std::vector<LostRanges> lost(streams);
    std::vector<bool> waiting(streams, false); // dropping up to the next key sample
    while (reader.Next(packet.get())) {
        progress.Advance(uint64_t(std::max(packet->size, 0)));
        const unsigned index = unsigned(packet->stream_index);
        bool ok = false;
        if (index < streams && copied[index]) {
            const bool key = packet->flags & AV_PKT_FLAG_KEY;
            if (waiting[index] && key) {
                checks[index]->Restart();
                waiting[index] = false;
            }
            if (!waiting[index]) {
                const Mp4SampleVerdict verdict = checks[index]->Check(packet.get());
                ok = verdict.Sound;
                if (!ok && verdict.Spreads)
                    waiting[index] = true;
            }
            if (ok)
                ++kept[index];
            else
                lost[index].Add(seen[index]);
            ++seen[index];
        }
        const bool ours = index < streams && copied[index];
        if (ours && !ok && !writer)
            startWriting();
        keep.push_back(ok);
        if (ok && writer)
            writer->Write(packet.get());
        av_packet_unref(packet.get());
    }
    if (!reader.Error().empty())
        report.Messages.push_back("the samples could be read only in part: " + reader.Error());

    uint64_t keptTotal = 0;
    for (unsigned i = 0; i < streams; ++i) {
        if (!copied[i])
            continue;
        const uint64_t listed = std::max(reader.Listed(int(i)), seen[i]);
        report.PartsTotal += listed;
        report.PartsRecovered += kept[i];
        keptTotal += kept[i];
        const std::string name = std::string(KindOf(format->streams[i])) + " " + std::to_string(i + 1);
        for (const auto& [first, last] : lost[i].ranges)
            report.Lost.push_back(name + " samples " + std::to_string(first + 1)
                + (last > first ? "-" + std::to_string(last + 1) : ""));
        if (listed > seen[i])
            report.Lost.push_back(name + " samples " + std::to_string(seen[i] + 1) + "-"
                + std::to_string(listed) + " (past the end of the file)");
        if (kept[i] < listed) {
            damaged = true;
            report.Messages.push_back(
                name + ": " + Samples(listed - kept[i]) + " of " + std::to_string(listed) + " lost");
        }
    }
    if (!decode)
        report.Messages.push_back("samples checked by their structure only: the file is too large to decode");

    if (!damaged) {
        report.Outcome = Verdict::Intact;
        report.Messages.push_back(
            "no damage found: " + std::string(report.Format == "mov" ? "a QuickTime" : "an MP4")
            + " movie of " + Samples(report.PartsTotal));
        return report;
    }
    if (keptTotal == 0) {
        report.Outcome = Verdict::Unrecoverable;
        report.Messages.push_back("no sample of the movie could be recovered");
        return report;
    }

    if (!writer)
        startWriting();
    writer->Finish();
    report.Outcome = report.PartsRecovered == report.PartsTotal && tracksDropped == 0 ? Verdict::Repaired
                                                                                      : Verdict::Partial;
    return report;
}

} // namespace repair
