// SPDX-License-Identifier: MIT
#include "WavFormat.h"

#include "LittleEndian.h"

namespace repair {

namespace {

// Bounds past anything real: a claim beyond them is damage, not a format.
constexpr uint32_t kMaxChannels = 256;
constexpr uint32_t kMaxRate = 10'000'000;

bool PlainLayout(uint16_t tag, const std::vector<uint8_t>& body)
{
    if (tag == WavFormat::kPcm || tag == WavFormat::kFloat)
        return true;
    // The extensible form names its real tag in the first two bytes of its sub-format.
    if (tag == WavFormat::kExtensible && body.size() >= 26) {
        const uint16_t sub = Le16(body.data() + 24);
        return sub == WavFormat::kPcm || sub == WavFormat::kFloat;
    }
    return false;
}

} // namespace

std::optional<WavFormat> WavFormat::Parse(const uint8_t* body, size_t size)
{
    if (size < 16)
        return std::nullopt;
    WavFormat f;
    f.Tag = Le16(body);
    f.Channels = Le16(body + 2);
    f.SampleRate = Le32(body + 4);
    f.ByteRate = Le32(body + 8);
    f.BlockAlign = Le16(body + 12);
    f.Bits = Le16(body + 14);
    f.Body.assign(body, body + size);
    return f;
}

bool WavFormat::Sound() const
{
    if (Tag == 0 || Channels == 0 || Channels > kMaxChannels || SampleRate == 0 || SampleRate > kMaxRate
        || BlockAlign == 0)
        return false;
    if (!PlainLayout(Tag, Body))
        return true; // compressed: its blocks are its own business
    const uint32_t sampleBytes = (uint32_t(Bits) + 7) / 8;
    return Bits != 0 && BlockAlign == Channels * sampleBytes && ByteRate == SampleRate * BlockAlign;
}

std::string WavFormat::Describe() const
{
    std::string text = std::to_string(Channels) + (Channels == 1 ? " channel, " : " channels, ")
        + std::to_string(SampleRate) + " Hz";
    if (Bits)
        text += ", " + std::to_string(Bits) + " bits";
    return text;
}

std::vector<uint8_t> WavFormat::PlainBody() const
{
    std::vector<uint8_t> body(16);
    PutLe16(body.data(), Tag);
    PutLe16(body.data() + 2, Channels);
    PutLe32(body.data() + 4, SampleRate);
    PutLe32(body.data() + 8, ByteRate);
    PutLe16(body.data() + 12, BlockAlign);
    PutLe16(body.data() + 14, Bits);
    return body;
}

std::optional<WavFormat> RebuildFormat(
    const uint8_t* leftovers, size_t size, bool hasFact, uint32_t factFrames, uint64_t dataSize)
{
    // An extensible body holds more than these fields can prove; only the plain layouts are rebuilt.
    if (size != 16 && size != 18)
        return std::nullopt;
    uint64_t tag = Le16(leftovers), channels = Le16(leftovers + 2), rate = Le32(leftovers + 4),
             byteRate = Le32(leftovers + 8), align = Le16(leftovers + 12), bits = Le16(leftovers + 14);
    if (!align && hasFact && factFrames && dataSize && dataSize % factFrames == 0)
        align = dataSize / factFrames;
    // Each rule fills one unknown from two known fields; a few rounds settle every order of loss.
    for (int round = 0; round < 3; ++round) {
        if (!rate && byteRate && align && byteRate % align == 0)
            rate = byteRate / align;
        if (!byteRate && rate && align)
            byteRate = rate * align;
        if (!align && rate && byteRate && byteRate % rate == 0)
            align = byteRate / rate;
        if (!align && channels && bits && bits % 8 == 0)
            align = channels * bits / 8;
        if (!channels && align && bits && bits % 8 == 0 && align % (bits / 8) == 0)
            channels = align / (bits / 8);
        if (!bits && align && channels && align % channels == 0)
            bits = align / channels * 8;
    }
    // Compressed formats need a fact chunk; without one, a lost tag is plain samples, as its fields say.
    if (!tag && !hasFact && (bits == 8 || bits == 16 || bits == 24))
        tag = WavFormat::kPcm;
    if (tag != WavFormat::kPcm || !channels || !rate || !byteRate || !align || !bits)
        return std::nullopt;
    if (channels > 0xFFFF || align > 0xFFFF || rate > 0xFFFFFFFF || byteRate > 0xFFFFFFFF || bits > 0xFFFF)
        return std::nullopt;
    WavFormat f;
    f.Tag = uint16_t(tag);
    f.Channels = uint16_t(channels);
    f.SampleRate = uint32_t(rate);
    f.ByteRate = uint32_t(byteRate);
    f.BlockAlign = uint16_t(align);
    f.Bits = uint16_t(bits);
    f.Body = f.PlainBody();
    if (!f.Sound() || (dataSize && dataSize % align != 0 && hasFact))
        return std::nullopt;
    return f;
}

} // namespace repair
