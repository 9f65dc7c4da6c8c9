// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

struct AVCodecContext;
struct AVCodecParameters;
struct AVFrame;
struct AVPacket;

namespace repair {

// What checking one sample found.
struct Mp4SampleVerdict {
    bool Sound = true;
    // Damage here reaches the samples that refer to this one, up to the next key sample.
    bool Spreads = true;
};

// Judges the samples of one stream in decoding order: for H.264 by walking its NAL units, and, when asked,
// by decoding with libavcodec and counting the decoder's complaints (every sample, or when asked not to,
// only the audio samples that hold a long run of zero bytes).
class Mp4SampleCheck {
public:
    Mp4SampleCheck(const AVCodecParameters* codec, bool decode);
    ~Mp4SampleCheck();
    Mp4SampleCheck(const Mp4SampleCheck&) = delete;
    Mp4SampleCheck& operator=(const Mp4SampleCheck&) = delete;

    Mp4SampleVerdict Check(const AVPacket* packet);
    // Forgets the decoder's state: the next sample checked is a key sample after dropped ones.
    void Restart();
    bool Decodes() const { return m_decoder != nullptr; }

private:
    bool Decode(const AVPacket* packet);

    bool m_video = false;
    bool m_decodeAll = false; // else only the audio samples that look zeroed are decoded
    int m_nalLengthSize = 0; // H.264 in MP4 form; 0 for other codecs
    AVCodecContext* m_decoder = nullptr;
    AVFrame* m_frame = nullptr;
};

} // namespace repair
