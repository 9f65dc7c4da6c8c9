// SPDX-License-Identifier: MIT
#include "AviSilence.h"

namespace repair {

namespace {

constexpr uint32_t kTagPcm = 0x0001, kTagFloat = 0x0003, kTagMpeg = 0x0050, kTagMp3 = 0x0055;

} // namespace

uint32_t AviSilence::MpegFrameSize(const uint8_t* p)
{
    if (p[0] != 0xFF || (p[1] & 0xE0) != 0xE0)
        return 0;
    const int version = (p[1] >> 3) & 3; // 0: 2.5, 2: 2, 3: 1
    const int layer = (p[1] >> 1) & 3; // 1: III, 2: II, 3: I
    const int rateIndex = p[2] >> 4, srIndex = (p[2] >> 2) & 3, padding = (p[2] >> 1) & 1;
    if (version == 1 || layer == 0 || rateIndex == 0 || rateIndex == 15 || srIndex == 3)
        return 0;
    static const int kRates[2][3][15] = {
        { { 0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448 },
            { 0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384 },
            { 0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320 } },
        { { 0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256 },
            { 0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160 },
            { 0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160 } },
    };
    static const int kSampleRates[3] = { 44100, 48000, 32000 };
    const bool one = version == 3;
    const int l = 3 - layer; // 0: I, 1: II, 2: III
    const int bitrate = kRates[one ? 0 : 1][l][rateIndex] * 1000;
    const int rate = kSampleRates[srIndex] >> (one ? 0 : version == 2 ? 1 : 2);
    if (l == 0)
        return uint32_t((12 * bitrate / rate + padding) * 4);
    const int factor = (l == 2 && !one) ? 72 : 144;
    return uint32_t(factor * bitrate / rate + padding);
}

std::vector<uint8_t> AviSilence::For(
    const AviStream& stream, const std::vector<uint8_t>& sample, uint32_t size)
{
    const uint32_t tag = stream.Coding.Tag;
    if (tag == kTagPcm || tag == kTagFloat) {
        // Unsigned 8-bit samples are silent at their middle value.
        const uint8_t quiet = tag == kTagPcm && stream.Coding.BitsPerSample == 8 ? 0x80 : 0;
        return std::vector<uint8_t>(size, quiet);
    }
    if ((tag == kTagMpeg || tag == kTagMp3) && sample.size() >= 4) {
        uint8_t head[4] = { sample[0], sample[1], uint8_t(sample[2] & ~2), sample[3] };
        head[1] |= 1; // no checksum: the frame is all zeros after its header
        const uint32_t n = MpegFrameSize(head);
        if (n < 4)
            return {};
        std::vector<uint8_t> frame(n, 0);
        std::copy(head, head + 4, frame.begin());
        return frame;
    }
    return {};
}

} // namespace repair
