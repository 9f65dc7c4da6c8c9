// SPDX-License-Identifier: MIT
#include "Mp3Header.h"

namespace repair {

namespace {

constexpr int kBitrates[2][3][15] = {
    { { 0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448 },
        { 0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384 },
        { 0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320 } },
    { { 0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256 },
        { 0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160 },
        { 0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160 } },
};
constexpr int kRates[4][3]
    = { { 11025, 12000, 8000 }, { 0, 0, 0 }, { 22050, 24000, 16000 }, { 44100, 48000, 32000 } };

// Reads bits from the most significant down.
class Bits {
public:
    explicit Bits(const uint8_t* p)
        : m_p(p)
    {
    }
    uint32_t Take(int n)
    {
        uint32_t v = 0;
        for (int i = 0; i < n; ++i, ++m_bit)
            v = v << 1 | ((m_p[m_bit / 8] >> (7 - m_bit % 8)) & 1);
        return v;
    }

private:
    const uint8_t* m_p;
    size_t m_bit = 0;
};

uint16_t FrameCrc(const Mp3Header& h, const uint8_t* frame)
{
    uint16_t crc = 0xFFFF;
    const auto feed = [&crc](uint8_t byte) {
        for (int i = 7; i >= 0; --i) {
            const bool top = ((crc >> 15) ^ (byte >> i)) & 1;
            crc = uint16_t(crc << 1);
            if (top)
                crc ^= 0x8005;
        }
    };
    feed(frame[2]);
    feed(frame[3]);
    for (uint32_t i = 0; i < h.SideInfoSize(); ++i)
        feed(frame[6 + i]);
    return crc;
}

} // namespace

std::optional<Mp3Header> Mp3Header::Parse(const uint8_t* p)
{
    if (p[0] != 0xFF || (p[1] & 0xE0) != 0xE0)
        return std::nullopt;
    Mp3Header h;
    h.Version = (p[1] >> 3) & 3;
    const int layerBits = (p[1] >> 1) & 3;
    const int rateIndex = p[2] >> 4;
    const int sampleIndex = (p[2] >> 2) & 3;
    if (h.Version == 1 || layerBits == 0 || rateIndex == 0 || rateIndex == 15 || sampleIndex == 3
        || (p[3] & 3) == 2)
        return std::nullopt;
    h.Layer = 4 - layerBits;
    h.Protected = (p[1] & 1) == 0;
    h.Bitrate = kBitrates[h.Version == 3 ? 0 : 1][h.Layer - 1][rateIndex];
    h.SampleRate = kRates[h.Version][sampleIndex];
    h.Mode = p[3] >> 6;
    const uint32_t padding = (p[2] >> 1) & 1;
    const uint32_t bits = uint32_t(h.Bitrate) * 1000;
    if (h.Layer == 1) {
        h.Length = (12 * bits / uint32_t(h.SampleRate) + padding) * 4;
        h.Samples = 384;
    } else if (h.Layer == 2 || h.Version == 3) {
        h.Length = 144 * bits / uint32_t(h.SampleRate) + padding;
        h.Samples = 1152;
    } else {
        h.Length = 72 * bits / uint32_t(h.SampleRate) + padding;
        h.Samples = 576;
    }
    if (h.Layer == 3 && h.Length < h.SideInfoAt() + h.SideInfoSize())
        return std::nullopt;
    return h;
}

uint32_t Mp3Header::SideInfoSize() const
{
    if (Layer != 3)
        return 0;
    if (Version == 3)
        return Mode == 3 ? 17 : 32;
    return Mode == 3 ? 9 : 17;
}

uint32_t Mp3Header::DataArea() const
{
    return Length - SideInfoAt() - SideInfoSize();
}

bool Mp3Header::SameStream(const Mp3Header& o) const
{
    return Version == o.Version && Layer == o.Layer && SampleRate == o.SampleRate
        && Channels() == o.Channels();
}

std::optional<std::array<uint8_t, 4>> CarrierHeader(const uint8_t* header, uint32_t carry)
{
    std::array<uint8_t, 4> p { header[0], uint8_t(header[1] | 1), uint8_t(header[2] & 0x0D), header[3] };
    for (int index = 1; index < 15; ++index) {
        p[2] = uint8_t((p[2] & 0x0F) | index << 4);
        const auto h = Mp3Header::Parse(p.data());
        if (h && h->Layer == 3 && h->DataArea() >= carry)
            return p;
    }
    return std::nullopt;
}

Mp3SideInfo ReadSideInfo(const Mp3Header& h, const uint8_t* frame)
{
    Mp3SideInfo info;
    Bits bits(frame + h.SideInfoAt());
    const bool one = h.Version == 3;
    const int channels = h.Channels();
    info.MainDataBegin = bits.Take(one ? 9 : 8);
    bits.Take(one ? (channels == 1 ? 5 : 3) : (channels == 1 ? 1 : 2));
    if (one)
        bits.Take(4 * channels);
    uint64_t mainBits = 0;
    bool sound = true;
    for (int granule = 0; granule < (one ? 2 : 1); ++granule) {
        for (int ch = 0; ch < channels; ++ch) {
            const uint32_t part = bits.Take(12);
            mainBits += part;
            if (granule == 0)
                info.FirstGranuleBits += part;
            const uint32_t bigValues = bits.Take(9);
            bits.Take(8); // global gain
            bits.Take(one ? 4 : 9);
            const bool switched = bits.Take(1);
            if (switched) {
                const uint32_t blockType = bits.Take(2);
                bits.Take(1 + 10 + 9);
                if (blockType == 0)
                    sound = false; // a switched window with the normal block type: not from an encoder
            } else {
                bits.Take(15 + 4 + 3);
            }
            bits.Take(one ? 3 : 2);
            if (bigValues > 288)
                sound = false;
        }
    }
    // A frame's main data ends within its own frame: what it claims must fit what lies before and in it.
    info.MainBits = mainBits;
    info.Plausible = sound && mainBits <= 8 * uint64_t(info.MainDataBegin + h.DataArea());
    return info;
}

void QuietFirstGranule(const Mp3Header& h, uint8_t* frame)
{
    if (h.Layer != 3 || h.Version != 3)
        return;
    const int channels = h.Channels();
    const size_t head = 9 + (channels == 1 ? 5 : 3) + 4 * size_t(channels);
    uint8_t* side = frame + h.SideInfoAt();
    for (int ch = 0; ch < channels; ++ch) {
        const size_t at
            = head + size_t(ch) * 59 + 21; // the global gain, after the part length and big values
        for (size_t bit = at; bit < at + 8; ++bit)
            side[bit / 8] &= uint8_t(~(0x80 >> (bit % 8)));
    }
    StoreFrameCrc(h, frame);
}

bool FrameCrcHolds(const Mp3Header& h, const uint8_t* frame)
{
    if (!h.Protected || h.Layer != 3)
        return true;
    return FrameCrc(h, frame) == uint16_t(frame[4] << 8 | frame[5]);
}

void StoreFrameCrc(const Mp3Header& h, uint8_t* frame)
{
    if (!h.Protected || h.Layer != 3)
        return;
    const uint16_t crc = FrameCrc(h, frame);
    frame[4] = uint8_t(crc >> 8);
    frame[5] = uint8_t(crc);
}

uint16_t TagCrc(const uint8_t* bytes, size_t count, uint16_t crc)
{
    for (size_t i = 0; i < count; ++i) {
        crc ^= bytes[i];
        for (int k = 0; k < 8; ++k)
            crc = (crc & 1) ? uint16_t((crc >> 1) ^ 0xA001) : uint16_t(crc >> 1);
    }
    return crc;
}

} // namespace repair
