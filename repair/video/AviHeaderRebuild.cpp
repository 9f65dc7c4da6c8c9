// SPDX-License-Identifier: MIT
// The header list made anew for a file that lost it: part of AviHeader.
#include "AviHeader.h"

#include "AviFormat.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace repair {

namespace {

constexpr size_t kHeadLimit = 4 << 20;
constexpr uint64_t kSurveyBytes = 16 << 20;
constexpr uint64_t kSurveyChunks = 20000;
constexpr uint32_t kVideoSuffixes[] = { AviTag(0, 0, 'd', 'c'), AviTag(0, 0, 'd', 'b') };
constexpr uint32_t kAudioSuffix = AviTag(0, 0, 'w', 'b');

// What the first stretch of the data says about one stream.
struct Survey {
    uint32_t Suffix = 0;
    uint64_t Chunks = 0, Bytes = 0;
    std::vector<uint8_t> First; // its first chunk that is not empty
};

class Bytes {
public:
    void U32(uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            m_b.push_back(uint8_t(v >> (8 * i)));
    }
    void U16(uint16_t v)
    {
        m_b.push_back(uint8_t(v));
        m_b.push_back(uint8_t(v >> 8));
    }
    void Raw(const std::vector<uint8_t>& v) { m_b.insert(m_b.end(), v.begin(), v.end()); }
    size_t Size() const { return m_b.size(); }
    // Starts a chunk; End() writes its size.
    size_t Begin(uint32_t id)
    {
        U32(id);
        U32(0);
        return m_b.size();
    }
    void End(size_t body)
    {
        AviPut32(&m_b[body - 4], uint32_t(m_b.size() - body));
        if ((m_b.size() - body) & 1)
            m_b.push_back(0);
    }
    std::vector<uint8_t>& Get() { return m_b; }

private:
    std::vector<uint8_t> m_b;
};

uint32_t VideoTag(const std::vector<uint8_t>& d)
{
    if (d.size() >= 2 && d[0] == 0xFF && d[1] == 0xD8)
        return AviTag('M', 'J', 'P', 'G');
    for (size_t i = 0; i + 4 < d.size() && i < 64; ++i) {
        if (d[i] != 0 || d[i + 1] != 0 || d[i + 2] != 1)
            continue;
        const uint8_t code = d[i + 3];
        if (code == 0xB0 || code == 0xB5 || code == 0xB6 || code <= 0x2F)
            return AviTag('F', 'M', 'P', '4');
        const int nal = code & 0x1F;
        if (nal == 7 || nal == 5 || nal == 9 || nal == 6)
            return AviTag('H', '2', '6', '4');
    }
    return 0;
}

// The frame rates cameras and encoders use; a measured rate close to one of them is that one.
void FrameRate(double fps, uint32_t& scale, uint32_t& rate)
{
    const std::pair<uint32_t, uint32_t> usual[] = { { 1001, 24000 }, { 1, 24 }, { 1, 25 }, { 1001, 30000 },
        { 1, 30 }, { 1, 50 }, { 1001, 60000 }, { 1, 60 }, { 1, 15 }, { 1, 10 } };
    for (const auto& [s, r] : usual) {
        if (std::abs(fps - double(r) / s) < 0.01 * fps) {
            scale = s;
            rate = r;
            return;
        }
    }
    scale = 1;
    rate = uint32_t(std::clamp(std::lround(fps), 1L, 240L));
}

} // namespace

std::optional<AviHeader> AviHeader::Rebuild(ByteReader& source)
{
    std::vector<uint8_t> head(std::min<uint64_t>(source.Size(), kHeadLimit));
    head.resize(source.ReadAt(0, head.data(), head.size()));
    size_t movi = head.size();
    for (size_t i = 0; i + 12 <= head.size() && movi == head.size(); ++i)
        if (AviLe32(&head[i]) == kAviList && AviLe32(&head[i + 8]) == kAviMovi)
            movi = i;
    if (movi == head.size())
        return std::nullopt;

    std::map<int, Survey> found;
    uint64_t chunks = 0;
    const uint64_t size = source.Size();
    for (uint64_t at = movi + 12; at + 8 <= size && at < movi + kSurveyBytes && chunks < kSurveyChunks;) {
        uint8_t h[12];
        if (source.ReadAt(at, h, 12) < 8)
            break;
        const uint32_t id = AviLe32(h), length = AviLe32(h + 4);
        if (id == kAviList && AviLe32(h + 8) == kAviRecord) {
            at += 12;
            continue;
        }
        const int stream = AviStreamOf(id);
        const uint32_t suffix = id & 0xFFFF0000u;
        const bool video = std::find(std::begin(kVideoSuffixes), std::end(kVideoSuffixes), suffix)
            != std::end(kVideoSuffixes);
        if (stream < 0 || length > kAviMaxChunk || (!video && suffix != kAudioSuffix))
            break;
        Survey& s = found[stream];
        if (s.Suffix == 0)
            s.Suffix = video ? kVideoSuffixes[0] : kAudioSuffix;
        if ((s.Suffix == kAudioSuffix) == video)
            break;
        ++s.Chunks;
        s.Bytes += length;
        if (s.First.empty() && length > 0) {
            s.First.resize(std::min<uint32_t>(length, 1 << 20));
            s.First.resize(source.ReadAt(at + 8, s.First.data(), s.First.size()));
        }
        ++chunks;
        at += 8 + uint64_t(length) + (length & 1);
    }
    if (found.empty() || found.rbegin()->first >= 100)
        return std::nullopt;
    const int streams = found.rbegin()->first + 1;

    // The stream headers that are left belong to the last streams, in order.
    std::vector<std::pair<std::vector<uint8_t>, std::vector<uint8_t>>> left;
    for (size_t i = 0; i + 16 <= movi; ++i) {
        if (AviLe32(&head[i]) != AviTag('s', 't', 'r', 'h'))
            continue;
        const uint32_t n = AviLe32(&head[i + 4]);
        const size_t next = i + 8 + n + (n & 1);
        if (n < 48 || n > 64 || next + 8 > movi || AviLe32(&head[next]) != AviTag('s', 't', 'r', 'f'))
            continue;
        const uint32_t f = AviLe32(&head[next + 4]);
        if (f > 65536 || next + 8 + f > movi)
            continue;
        left.emplace_back(std::vector<uint8_t>(head.begin() + long(i + 8), head.begin() + long(i + 8 + n)),
            std::vector<uint8_t>(head.begin() + long(next + 8), head.begin() + long(next + 8 + f)));
        i = next + 8 + f - 1;
    }
    if (left.size() > size_t(streams))
        left.erase(left.begin(), left.end() - streams);

    // The sound's clock gives the pictures' rate: chunks interleave by time.
    double seconds = 0;
    for (size_t k = 0; k < left.size(); ++k) {
        const auto& strh = left[k].first;
        const auto it = found.find(streams - int(left.size()) + int(k));
        if (AviLe32(strh.data()) != kAviAudio || it == found.end())
            continue;
        const uint32_t scale = AviLe32(&strh[20]), rate = AviLe32(&strh[24]), sample = AviLe32(&strh[44]);
        if (scale && rate)
            seconds = sample ? double(it->second.Bytes) / sample * scale / rate
                             : double(it->second.Chunks) * scale / rate;
    }

    Bytes out;
    out.U32(kAviRiff);
    out.U32(0);
    out.U32(kAviForm);
    const size_t hdrl = out.Begin(kAviList);
    out.U32(AviTag('h', 'd', 'r', 'l'));
    const size_t avih = out.Begin(AviTag('a', 'v', 'i', 'h'));
    for (int i = 0; i < 14; ++i)
        out.U32(0);
    out.End(avih);
    uint32_t width = 0, height = 0, scale = 1, rate = 25;
    for (int n = 0; n < streams; ++n) {
        const size_t leftAt = size_t(n - (streams - int(left.size())));
        const auto it = found.find(n);
        const size_t strl = out.Begin(kAviList);
        out.U32(AviTag('s', 't', 'r', 'l'));
        if (n >= streams - int(left.size())) {
            const size_t strh = out.Begin(AviTag('s', 't', 'r', 'h'));
            out.Raw(left[leftAt].first);
            out.End(strh);
            const size_t strf = out.Begin(AviTag('s', 't', 'r', 'f'));
            out.Raw(left[leftAt].second);
            out.End(strf);
        } else if (it != found.end() && it->second.Suffix != kAudioSuffix) {
            AvStreamCoding coding;
            coding.Video = true;
            coding.Tag = VideoTag(it->second.First);
            const std::unique_ptr<AvCheck> check = coding.Tag ? AvCheck::Open(coding) : nullptr;
            bool key = false;
            if (!check || !check->Decode(it->second.First.data(), it->second.First.size(), key)
                || !check->Width())
                return std::nullopt;
            width = check->Width();
            height = check->Height();
            if (seconds > 0)
                FrameRate(double(it->second.Chunks) / seconds, scale, rate);
            const size_t strh = out.Begin(AviTag('s', 't', 'r', 'h'));
            for (const uint32_t v :
                { kAviVideo, coding.Tag, 0u, 0u, 0u, scale, rate, 0u, 0u, 1u << 20, ~0u, 0u })
                out.U32(v);
            out.U16(0);
            out.U16(0);
            out.U16(uint16_t(width));
            out.U16(uint16_t(height));
            out.End(strh);
            const size_t strf = out.Begin(AviTag('s', 't', 'r', 'f'));
            for (const uint32_t v : { 40u, width, height })
                out.U32(v);
            out.U16(1);
            out.U16(24);
            for (const uint32_t v : { coding.Tag, width * height * 3, 0u, 0u, 0u, 0u })
                out.U32(v);
            out.End(strf);
        } else {
            return std::nullopt; // sound whose coding the data does not tell
        }
        out.End(strl);
    }
    out.End(hdrl);
    // The main header: the picture rate, the stream count and the size; the frame count is set later.
    std::vector<uint8_t>& built = out.Get();
    AviPut32(&built[avih], uint32_t(1000000.0 * scale / rate));
    AviPut32(&built[avih + 12], 0x110); // an index, interleaved
    AviPut32(&built[avih + 24], uint32_t(streams));
    AviPut32(&built[avih + 28], 1 << 20);
    AviPut32(&built[avih + 32], width);
    AviPut32(&built[avih + 36], height);
    const size_t length = built.size();
    for (const uint32_t v : { kAviList, 4u, kAviMovi })
        out.U32(v);
    std::optional<AviHeader> h = Parse(built);
    if (!h)
        return std::nullopt;
    h->Head.resize(length);
    h->MoviList = movi;
    h->MoviDeclared = AviLe32(&head[movi + 4]);
    h->RiffHeaderRight = false;
    h->RiffDeclared = 0;
    h->Rebuilt = true;
    return h;
}

} // namespace repair
