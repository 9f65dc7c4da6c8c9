// SPDX-License-Identifier: MIT
#include "Mp4SampleCheck.h"

#include "LibavLog.h"
#include "Mp4NalUnits.h"

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace repair {

namespace {

// A run of zero bytes as long as no compressed audio frame holds: a zeroed sector.
bool ZeroRun(const uint8_t* data, size_t size)
{
    constexpr size_t kRun = 32;
    size_t run = 0;
    for (size_t i = 0; i < size; ++i) {
        run = data[i] ? 0 : run + 1;
        if (run >= kRun)
            return true;
    }
    return size > 0 && run == size;
}

} // namespace

Mp4SampleCheck::Mp4SampleCheck(const AVCodecParameters* codec, bool decode)
{
    LibavLog::Install();
    m_video = codec->codec_type == AVMEDIA_TYPE_VIDEO;
    if (codec->codec_id == AV_CODEC_ID_H264 && codec->extradata)
        m_nalLengthSize = AvcLengthSize(codec->extradata, size_t(codec->extradata_size));
    m_decodeAll = decode;
    // Audio decodes cheaply: its decoder stands by to judge the samples that look zeroed even when the
    // rest is judged by structure only.
    if (!decode && codec->codec_type != AVMEDIA_TYPE_AUDIO)
        return;
    const AVCodec* decoder = avcodec_find_decoder(codec->codec_id);
    if (!decoder)
        return;
    m_decoder = avcodec_alloc_context3(decoder);
    m_frame = av_frame_alloc();
    if (!m_decoder || !m_frame)
        throw std::bad_alloc();
    avcodec_parameters_to_context(m_decoder, codec);
    // One thread, so that every complaint belongs to the sample just sent.
    m_decoder->thread_count = 1;
    m_decoder->err_recognition = AV_EF_CRCCHECK | AV_EF_BITSTREAM | AV_EF_BUFFER;
    if (avcodec_open2(m_decoder, decoder, nullptr) < 0)
        avcodec_free_context(&m_decoder);
}

Mp4SampleCheck::~Mp4SampleCheck()
{
    avcodec_free_context(&m_decoder);
    av_frame_free(&m_frame);
}

void Mp4SampleCheck::Restart()
{
    if (m_decoder)
        avcodec_flush_buffers(m_decoder);
}

bool Mp4SampleCheck::Decode(const AVPacket* packet)
{
    const uint64_t before = LibavLog::Errors();
    int result = avcodec_send_packet(m_decoder, packet);
    bool sound = result >= 0 || result == AVERROR(EAGAIN);
    while (avcodec_receive_frame(m_decoder, m_frame) >= 0) {
        if (m_frame->decode_error_flags || (m_frame->flags & AV_FRAME_FLAG_CORRUPT))
            sound = false;
        av_frame_unref(m_frame);
    }
    return sound && LibavLog::Errors() == before;
}

Mp4SampleVerdict Mp4SampleCheck::Check(const AVPacket* packet)
{
    Mp4SampleVerdict verdict;
    verdict.Spreads = m_video;
    if (packet->flags & AV_PKT_FLAG_CORRUPT)
        verdict.Sound = false;
    if (m_nalLengthSize) {
        const Mp4NalSample nal = CheckNalUnits(packet->data, size_t(packet->size), m_nalLengthSize);
        // Every slice of a picture carries the same reference flag, so the first one tells.
        if (nal.Picture && !nal.Reference && !nal.Idr)
            verdict.Spreads = false;
        if (!nal.Sound)
            verdict.Sound = false;
    }
    // A sample already found damaged is not given to the decoder: it would only spoil its state.
    if (verdict.Sound && m_decoder && (m_decodeAll || ZeroRun(packet->data, size_t(packet->size)))
        && !Decode(packet))
        verdict.Sound = false;
    return verdict;
}

} // namespace repair
