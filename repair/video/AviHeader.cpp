// SPDX-License-Identifier: MIT
#include "AviHeader.h"

#include "AviFormat.h"

#include <algorithm>
#include <cstring>

namespace repair {

namespace {

// Headers are small; a head this big holds no sound header list.
constexpr size_t kHeadLimit = 4 << 20;

size_t Find(const std::vector<uint8_t>& head, size_t from, uint32_t type)
{
    for (size_t i = from; i + 12 <= head.size(); ++i)
        if (AviLe32(&head[i]) == kAviList && AviLe32(&head[i + 8]) == type)
            return i;
    return head.size();
}

void ReadFormat(const uint8_t* p, size_t n, AviStream& s)
{
    AvStreamCoding& c = s.Coding;
    if (s.IsVideo() && n >= 40) {
        c.Video = true;
        c.Width = AviLe32(p + 4);
        c.Height = uint32_t(std::abs(int32_t(AviLe32(p + 8))));
        c.BitsPerSample = AviLe16(p + 14);
        c.Tag = AviLe32(p + 16);
        c.Extra.assign(p + 40, p + n);
    } else if (s.IsAudio() && n >= 16) {
        c.Tag = AviLe16(p);
        c.Channels = AviLe16(p + 2);
        c.SampleRate = AviLe32(p + 4);
        c.BitRate = AviLe32(p + 8) * 8;
        c.BlockAlign = AviLe16(p + 12);
        c.BitsPerSample = AviLe16(p + 14);
        if (n >= 18) {
            const size_t extra = std::min<size_t>(AviLe16(p + 16), n - 18);
            c.Extra.assign(p + 18, p + 18 + extra);
        }
    }
}

// Walks the chunks of one list's body [at, end), calling `visit` for each.
template <typename Visit> void Chunks(const std::vector<uint8_t>& head, size_t at, size_t end, Visit visit)
{
    while (at + 8 <= end) {
        const uint32_t id = AviLe32(&head[at]);
        const uint32_t size = AviLe32(&head[at + 4]);
        const size_t body = at + 8;
        const size_t stop = size > end - body ? end : body + size;
        visit(id, body, stop);
        at = stop + (size & 1);
    }
}

} // namespace

bool AviStream::IsVideo() const
{
    return Type == kAviVideo;
}

bool AviStream::IsAudio() const
{
    return Type == kAviAudio;
}

std::optional<AviHeader> AviHeader::Read(ByteReader& source)
{
    std::vector<uint8_t> head(std::min<uint64_t>(source.Size(), kHeadLimit));
    head.resize(source.ReadAt(0, head.data(), head.size()));
    return Parse(head);
}

std::optional<AviHeader> AviHeader::Parse(const std::vector<uint8_t>& head)
{
    AviHeader h;
    if (head.size() >= 12 && AviLe32(&head[0]) == kAviRiff && AviLe32(&head[8]) == kAviForm) {
        h.RiffHeaderRight = true;
        h.RiffDeclared = AviLe32(&head[4]);
    }
    const size_t hdrl = Find(head, 0, AviTag('h', 'd', 'r', 'l'));
    if (hdrl == head.size())
        return std::nullopt;
    const size_t hdrlEnd = std::min<size_t>(head.size(), hdrl + 8 + uint64_t(AviLe32(&head[hdrl + 4])));
    Chunks(head, hdrl + 12, hdrlEnd, [&](uint32_t id, size_t body, size_t end) {
        if (id == AviTag('a', 'v', 'i', 'h') && end - body >= 20) {
            h.FlagsAt = body + 12;
            h.Flags = AviLe32(&head[body + 12]);
            h.TotalFramesAt = body + 16;
            h.TotalFrames = AviLe32(&head[body + 16]);
        } else if (id == kAviList && end - body >= 4 && AviLe32(&head[body]) == AviTag('s', 't', 'r', 'l')) {
            AviStream s;
            Chunks(head, body + 4, end, [&](uint32_t inner, size_t b, size_t e) {
                if (inner == AviTag('s', 't', 'r', 'h') && e - b >= 48) {
                    s.Type = AviLe32(&head[b]);
                    s.Scale = AviLe32(&head[b + 20]);
                    s.Rate = AviLe32(&head[b + 24]);
                    s.LengthAt = b + 32;
                    s.Length = AviLe32(&head[b + 32]);
                    s.SampleSize = AviLe32(&head[b + 44]);
                } else if (inner == AviTag('s', 't', 'r', 'f')) {
                    ReadFormat(&head[b], e - b, s);
                } else if (inner == AviTag('i', 'n', 'd', 'x')) {
                    h.SuperIndexAt.push_back(b - 8);
                }
            });
            h.Streams.push_back(std::move(s));
        } else if (id == kAviList && end - body >= 12 && AviLe32(&head[body]) == AviTag('o', 'd', 'm', 'l')) {
            Chunks(head, body + 4, end, [&](uint32_t inner, size_t b, size_t e) {
                if (inner == AviTag('d', 'm', 'l', 'h') && e - b >= 4)
                    h.ExtendedFramesAt.push_back(b);
            });
        }
    });
    if (h.Streams.empty() || h.Streams.size() > 100 || h.TotalFramesAt == 0)
        return std::nullopt;
    for (const AviStream& s : h.Streams)
        if (s.Type == 0)
            return std::nullopt;
    const size_t movi = Find(head, hdrl + 12, kAviMovi);
    if (movi == head.size())
        return std::nullopt;
    // The counts are corrected in the head as copied: every one of them must lie before the data.
    const auto before = [&](uint64_t at) { return at + 4 <= movi; };
    if (!before(h.TotalFramesAt) || !before(h.FlagsAt))
        return std::nullopt;
    for (const AviStream& s : h.Streams)
        if (!before(s.LengthAt))
            return std::nullopt;
    std::erase_if(h.ExtendedFramesAt, [&](uint64_t at) { return !before(at); });
    std::erase_if(h.SuperIndexAt, [&](uint64_t at) { return !before(at); });
    h.MoviList = movi;
    h.MoviDeclared = AviLe32(&head[movi + 4]);
    h.Head.assign(head.begin(), head.begin() + long(movi));
    // A header list said to run into the data ends where the data begins.
    const uint64_t declared = AviLe32(&head[hdrl + 4]);
    if (hdrl + 8 + declared > movi) {
        h.HeaderListRight = false;
        AviPut32(&h.Head[hdrl + 4], uint32_t(movi - hdrl - 8));
    }
    return h;
}

} // namespace repair
