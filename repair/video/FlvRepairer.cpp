// SPDX-License-Identifier: MIT
#include "FlvRepairer.h"

#include "AtomicSink.h"
#include "AvCheck.h"
#include "Errors.h"
#include "FlvWalk.h"
#include "LineEndView.h"
#include "Progress.h"
#include "TransferRetry.h"

extern "C" {
#include <libavcodec/codec_id.h>
}

#include <algorithm>
#include <cmath>
#include <cstring>

namespace repair {

namespace {

constexpr uint64_t kFullCheckBytes = 64ull << 20;
constexpr uint8_t kSound = 8, kPictures = 9, kScript = 18;

void PutBe24(uint8_t* p, uint32_t v)
{
    p[0] = uint8_t(v >> 16);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v);
}

void PutBe32(uint8_t* p, uint32_t v)
{
    p[0] = uint8_t(v >> 24);
    PutBe24(p + 1, v);
}

// Where the metadata keeps a number by this name (the 8 bytes of a big-endian double), or npos.
size_t NumberAt(const std::vector<uint8_t>& data, const char* name)
{
    const size_t n = std::strlen(name);
    for (size_t i = 0; i + 2 + n + 9 <= data.size(); ++i) {
        if (data[i] == 0 && data[i + 1] == n && std::memcmp(&data[i + 2], name, n) == 0
            && data[i + 2 + n] == 0)
            return i + 3 + n;
    }
    return std::string::npos;
}

double GetDouble(const uint8_t* p)
{
    uint64_t bits = 0;
    for (int i = 0; i < 8; ++i)
        bits = bits << 8 | p[i];
    double v;
    std::memcpy(&v, &bits, 8);
    return v;
}

void PutDouble(uint8_t* p, double v)
{
    uint64_t bits;
    std::memcpy(&bits, &v, 8);
    for (int i = 7; i >= 0; --i, bits >>= 8)
        p[i] = uint8_t(bits);
}

// What a tag's first bytes say: the codec, where the coded data begins, whether it sets the decoder
// up rather than carrying a frame.
struct TagCoding {
    int codec = 0;
    size_t skip = 1;
    bool setup = false;
    bool key = false;
};

TagCoding Coding(uint8_t type, const std::vector<uint8_t>& d)
{
    TagCoding t;
    if (d.empty())
        return t;
    if (type == kPictures) {
        const int id = d[0] & 0x0F;
        t.key = (d[0] >> 4) == 1;
        if ((d[0] >> 4) == 5)
            t.setup = true; // a command frame: no picture
        switch (id) {
        case 2:
            t.codec = AV_CODEC_ID_FLV1;
            break;
        case 4:
            t.codec = AV_CODEC_ID_VP6F;
            t.skip = 2;
            break;
        case 7:
            t.codec = AV_CODEC_ID_H264;
            t.skip = 5;
            t.setup = d.size() > 1 && d[1] == 0;
            break;
        default:
            break;
        }
    } else if (type == kSound) {
        const int format = d[0] >> 4;
        t.key = true;
        if (format == 2) {
            t.codec = AV_CODEC_ID_MP3;
        } else if (format == 10) {
            t.codec = AV_CODEC_ID_AAC;
            t.skip = 2;
            t.setup = d.size() > 1 && d[1] == 0;
        }
    }
    return t;
}

struct Track {
    std::unique_ptr<AvCheck> check;
    int codec = 0;
    bool opened = false;
    bool needKey = true;
    uint64_t seen = 0, kept = 0;
    uint32_t lastTime = 0, interval = 0;
};

} // namespace

Recognition FlvRepairer::Recognise(ByteReader& source, std::string_view extension)
{
    Recognition r;
    r.Format = "flv";
    r.Family = "video";
    uint8_t h[13];
    const size_t n = source.ReadAt(0, h, sizeof h);
    if (n >= 9 && h[0] == 'F' && h[1] == 'L' && h[2] == 'V' && h[3] == 1)
        r.Score = 100;
    else
        r.Score = extension == "flv" ? 10 : 0;
    return r;
}

Report FlvRepairer::Repair(
    ByteReader& source, const std::function<AtomicSink&()>& openSink, Progress& progress)
{
    return SalvageOrUndoTransfer(source, progress, [&](ByteReader& reader, bool transferUndone) {
        return Salvage(reader, openSink, progress, transferUndone);
    });
}

std::optional<Report> FlvRepairer::Salvage(
    ByteReader& source, const std::function<AtomicSink&()>& openSink, Progress& progress, bool transferUndone)
{
    Report report;
    report.Family = "video";
    report.Format = "flv";
    progress.SetTotal(3 * source.Size() + 1);
    FlvWalk walk(source, progress);
    const bool found = walk.Run();
    if ((!found || walk.Gaps() > 0) && !transferUndone && LineEndView::LooksConverted(source))
        return std::nullopt;
    if (!found) {
        report.Outcome = Verdict::Unrecoverable;
        report.Messages.push_back("no FLV tag was found");
        return report;
    }
    report.Messages = walk.Findings();
    std::vector<FlvTag>& tags = walk.Tags();
    uint64_t dataBytes = 0;
    for (const FlvTag& t : tags)
        dataBytes += t.Size;
    const bool fullCheck = dataBytes <= kFullCheckBytes;

    Track tracks[2]; // sound, pictures
    std::vector<uint8_t> meta;
    std::vector<uint8_t> data;
    uint64_t dropped = 0, lostFrames = 0;
    bool metaFound = false;
    for (FlvTag& t : tags) {
        progress.Advance(t.Size);
        if ((&t - tags.data()) % 256 == 0)
            progress.Check();
        if (t.Flags & FlvTag::AfterGap) {
            tracks[1].needKey = true;
            for (Track& tr : tracks)
                if (tr.check)
                    tr.check->Flush();
        }
        data.resize(t.Size);
        if (source.ReadAt(t.At + 11, data.data(), t.Size) != t.Size) {
            t.Flags |= FlvTag::Dropped;
            continue;
        }
        if (t.Type == kScript) {
            // The first metadata is kept (and corrected); later copies would contradict it.
            if (!metaFound && t.Size < (1u << 20)) {
                metaFound = true;
                meta = data;
            } else {
                t.Flags |= FlvTag::Dropped;
            }
            continue;
        }
        Track& tr = tracks[t.Type == kPictures ? 1 : 0];
        const TagCoding c = Coding(t.Type, data);
        ++tr.seen;
        if (tr.seen > 1 && t.Time > tr.lastTime)
            tr.interval = tr.interval ? std::min(tr.interval, t.Time - tr.lastTime) : t.Time - tr.lastTime;
        const auto drop = [&] {
            t.Flags |= FlvTag::Dropped;
            ++dropped;
            if (t.Type == kPictures) {
                ++lostFrames;
                tr.needKey = true;
                if (tr.check)
                    tr.check->Flush();
            }
        };
        if (data.size() <= c.skip && !c.setup) {
            drop();
            continue;
        }
        if (c.setup) {
            // The decoder's setup (parameter sets, the sound's configuration): a new decoder from it.
            if (c.codec && data.size() > c.skip) {
                AvStreamCoding coding;
                coding.Video = t.Type == kPictures;
                coding.Codec = c.codec;
                coding.Extra.assign(data.begin() + long(c.skip), data.end());
                tr.check = AvCheck::Open(coding);
                tr.codec = c.codec;
                tr.opened = true;
            }
            continue;
        }
        if (!tr.opened && c.codec) {
            AvStreamCoding coding;
            coding.Video = t.Type == kPictures;
            coding.Codec = c.codec;
            if (!coding.Video) {
                coding.SampleRate = 44100;
                coding.Channels = (data[0] & 1) ? 2 : 1;
            }
            tr.check = AvCheck::Open(coding);
            tr.codec = c.codec;
            tr.opened = true;
        }
        if (t.Type == kPictures && tr.needKey && !c.key) {
            drop();
            continue;
        }
        bool ok = true;
        if (tr.check && (fullCheck || (t.Flags & FlvTag::AfterGap))) {
            bool key = false;
            ok = tr.check->Decode(data.data() + c.skip, data.size() - c.skip, key);
        }
        if (!ok) {
            drop();
            continue;
        }
        if (t.Type == kPictures)
            tr.needKey = false;
        tr.lastTime = std::max(tr.lastTime, t.Time);
        ++tr.kept;
    }

    // The duration the tags show: the last one's time and one more frame.
    uint32_t end = 0;
    for (const Track& tr : tracks)
        if (tr.kept)
            end = std::max(end, tr.lastTime + tr.interval);
    const double duration = end / 1000.0;
    const size_t durationAt = NumberAt(meta, "duration");
    const size_t sizeAt = NumberAt(meta, "filesize");
    bool metaRight = true;
    if (durationAt != std::string::npos && std::abs(GetDouble(&meta[durationAt]) - duration) > 0.5) {
        metaRight = false;
        report.Messages.push_back("the metadata's duration is wrong");
    }
    if (sizeAt != std::string::npos && GetDouble(&meta[sizeAt]) != double(source.Size())) {
        metaRight = false;
        report.Messages.push_back("the metadata's file size is wrong");
    }
    report.PartsTotal = tracks[1].seen;
    // A file cut short: the metadata's duration and rate tell how many pictures there were.
    const size_t rateAt = NumberAt(meta, "framerate");
    if (walk.CutShort() && durationAt != std::string::npos && rateAt != std::string::npos) {
        const double said = GetDouble(&meta[durationAt]) * GetDouble(&meta[rateAt]);
        if (said > double(report.PartsTotal) && said < 1e9)
            report.PartsTotal = uint64_t(std::llround(said));
    }
    report.PartsRecovered = tracks[1].kept;
    if (lostFrames)
        report.Lost.push_back(std::to_string(lostFrames) + " frames");
    if (tracks[0].seen > tracks[0].kept)
        report.Lost.push_back(std::to_string(tracks[0].seen - tracks[0].kept) + " sound frames");
    if (walk.CutShort())
        report.Lost.push_back("the end of the file");
    if (walk.HeaderLost())
        report.Lost.push_back("the head of the file");

    if (!transferUndone && walk.StructureRight() && walk.Gaps() == 0 && dropped == 0 && metaRight) {
        report.Outcome = Verdict::Intact;
        report.Messages.push_back(
            "no damage found: an FLV file of " + std::to_string(tracks[1].kept) + " frames");
        return report;
    }
    if (tracks[0].kept == 0 && tracks[1].kept == 0) {
        report.Outcome = Verdict::Unrecoverable;
        report.Messages.push_back("no frame or sound of the file could be recovered");
        return report;
    }

    AtomicSink& sink = openSink();
    uint8_t head[13] = { 'F', 'L', 'V', 1, 0, 0, 0, 0, 9, 0, 0, 0, 0 };
    head[4] = uint8_t((tracks[0].seen ? 4 : 0) | (tracks[1].seen ? 1 : 0));
    sink.Write(head, sizeof head);
    const auto writeTag = [&](uint8_t type, uint32_t time, const uint8_t* body, uint32_t size) {
        uint8_t h[11] = {};
        h[0] = type;
        PutBe24(h + 1, size);
        PutBe24(h + 4, time & 0xFFFFFF);
        h[7] = uint8_t(time >> 24);
        sink.Write(h, 11);
        sink.Write(body, size);
        uint8_t t[4];
        PutBe32(t, size + 11);
        sink.Write(t, 4);
    };
    uint64_t sizePatch = 0;
    if (!meta.empty()) {
        if (durationAt != std::string::npos)
            PutDouble(&meta[durationAt], duration);
        if (sizeAt != std::string::npos)
            sizePatch = sink.Size() + 11 + sizeAt;
        writeTag(kScript, 0, meta.data(), uint32_t(meta.size()));
    }
    for (const FlvTag& t : tags) {
        progress.Check();
        if ((t.Flags & FlvTag::Dropped) || t.Type == kScript)
            continue;
        data.resize(t.Size);
        if (source.ReadAt(t.At + 11, data.data(), t.Size) != t.Size)
            throw ReadError("the source changed while it was read");
        writeTag(t.Type, t.Time, data.data(), t.Size);
        progress.Advance(t.Size);
    }
    if (sizePatch) {
        uint8_t v[8];
        PutDouble(v, double(sink.Size()));
        sink.WriteAt(sizePatch, v, 8);
    }
    const bool lost = dropped > 0 || walk.CutShort() || walk.Gaps() > 0 || walk.HeaderLost();
    report.Messages.push_back(std::to_string(tracks[1].kept) + " of " + std::to_string(report.PartsTotal)
        + " frames and " + std::to_string(tracks[0].kept) + " of " + std::to_string(tracks[0].seen)
        + " sound frames recovered");
    report.Outcome = lost ? Verdict::Partial : Verdict::Repaired;
    return report;
}

} // namespace repair
