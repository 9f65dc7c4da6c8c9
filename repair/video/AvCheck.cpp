// SPDX-License-Identifier: MIT
#include "AvCheck.h"

#include "LibavLog.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/log.h>
}

#include <cstring>

namespace repair {

struct AvCheck::State {
    AVCodecContext* context = nullptr;
    AVCodecParserContext* parser = nullptr;
    AVPacket* packet = nullptr;
    AVFrame* frame = nullptr;
    bool video = false;

    ~State()
    {
        av_frame_free(&frame);
        av_packet_free(&packet);
        if (parser)
            av_parser_close(parser);
        avcodec_free_context(&context);
    }
};

std::unique_ptr<AvCheck> AvCheck::Open(const AvStreamCoding& coding)
{
    // The decoders report much damage only as log messages: counted, never printed.
    LibavLog::Install();
    const AVCodecTag* const videoTags[] = { avformat_get_riff_video_tags(), nullptr };
    const AVCodecTag* const audioTags[] = { avformat_get_riff_audio_tags(), nullptr };
    const AVCodecID id = coding.Codec ? AVCodecID(coding.Codec)
                                      : av_codec_get_id(coding.Video ? videoTags : audioTags, coding.Tag);
    if (id == AV_CODEC_ID_NONE || id == AV_CODEC_ID_RAWVIDEO)
        return nullptr;
    // Plain samples decode whatever their bytes: nothing to learn from decoding them.
    if (id >= AV_CODEC_ID_PCM_S16LE && id < AV_CODEC_ID_ADPCM_IMA_QT)
        return nullptr;
    const AVCodec* codec = avcodec_find_decoder(id);
    if (!codec)
        return nullptr;
    auto state = std::make_unique<State>();
    state->video = coding.Video;
    state->context = avcodec_alloc_context3(codec);
    state->packet = av_packet_alloc();
    state->frame = av_frame_alloc();
    if (!state->context || !state->packet || !state->frame)
        return nullptr;
    AVCodecContext* c = state->context;
    c->codec_tag = coding.Tag;
    c->thread_count = 1;
    // Sound decoders take the strict checks as far as a frame's borrowed bits from the one before, which
    // a stand-in for a lost frame cannot give; a player's checks are enough there.
    c->err_recognition = coding.Video ? AV_EF_CRCCHECK | AV_EF_BITSTREAM | AV_EF_BUFFER | AV_EF_EXPLODE
                                      : AV_EF_CRCCHECK | AV_EF_EXPLODE;
    if (coding.Video) {
        c->width = int(coding.Width);
        c->height = int(coding.Height);
    } else {
        c->sample_rate = int(coding.SampleRate);
        av_channel_layout_default(&c->ch_layout, int(coding.Channels));
        c->block_align = int(coding.BlockAlign);
        c->bit_rate = coding.BitRate;
    }
    c->bits_per_coded_sample = int(coding.BitsPerSample);
    if (!coding.Extra.empty() && coding.Extra.size() < (1u << 20)) {
        c->extradata = static_cast<uint8_t*>(av_mallocz(coding.Extra.size() + AV_INPUT_BUFFER_PADDING_SIZE));
        if (!c->extradata)
            return nullptr;
        std::memcpy(c->extradata, coding.Extra.data(), coding.Extra.size());
        c->extradata_size = int(coding.Extra.size());
    }
    const uint64_t before = LibavLog::Errors();
    if (avcodec_open2(c, codec, nullptr) < 0 || LibavLog::Errors() != before)
        return nullptr;
    if (coding.Video) {
        state->parser = av_parser_init(id);
        if (state->parser)
            state->parser->flags |= PARSER_FLAG_COMPLETE_FRAMES;
    }
    return std::unique_ptr<AvCheck>(new AvCheck(std::move(state)));
}

AvCheck::AvCheck(std::unique_ptr<State> state)
    : m_state(std::move(state))
{
}

AvCheck::~AvCheck() = default;

bool AvCheck::Decode(const uint8_t* data, size_t size, bool& key)
{
    key = false;
    if (size == 0) {
        key = !m_state->video;
        return true;
    }
    if (size > (1u << 30))
        return false;
    // The decoders read a little past the end of a packet: a padded copy.
    if (av_new_packet(m_state->packet, int(size)) < 0)
        return false;
    std::memcpy(m_state->packet->data, data, size);
    const uint64_t before = LibavLog::Errors();
    int ret = avcodec_send_packet(m_state->context, m_state->packet);
    av_packet_unref(m_state->packet);
    bool good = ret >= 0;
    bool any = false;
    while (good) {
        ret = avcodec_receive_frame(m_state->context, m_state->frame);
        if (ret == AVERROR(EAGAIN) || ret == AVERROR_EOF)
            break;
        if (ret < 0) {
            good = false;
            break;
        }
        any = true;
        if (m_state->frame->decode_error_flags || (m_state->frame->flags & AV_FRAME_FLAG_CORRUPT))
            good = false;
        if (m_state->frame->key_frame || m_state->frame->pict_type == AV_PICTURE_TYPE_I)
            key = true;
        av_frame_unref(m_state->frame);
    }
    if (m_state->video && !any)
        key = IsKey(data, size);
    if (!m_state->video)
        key = true;
    return good && LibavLog::Errors() == before;
}

bool AvCheck::IsKey(const uint8_t* data, size_t size)
{
    if (!m_state->video)
        return true;
    if (!m_state->parser || size == 0 || size > (1u << 30))
        return size != 0;
    std::vector<uint8_t> padded(size + AV_INPUT_BUFFER_PADDING_SIZE, 0);
    std::memcpy(padded.data(), data, size);
    uint8_t* out = nullptr;
    int outSize = 0;
    m_state->parser->key_frame = -1;
    m_state->parser->pict_type = AV_PICTURE_TYPE_NONE;
    av_parser_parse2(m_state->parser, m_state->context, &out, &outSize, padded.data(), int(size),
        AV_NOPTS_VALUE, AV_NOPTS_VALUE, 0);
    if (m_state->parser->key_frame == 1 || m_state->parser->pict_type == AV_PICTURE_TYPE_I)
        return true;
    if (m_state->parser->key_frame == 0 || m_state->parser->pict_type != AV_PICTURE_TYPE_NONE)
        return false;
    return true;
}

uint32_t AvCheck::Width() const
{
    return m_state->context->width > 0 ? uint32_t(m_state->context->width) : 0;
}

uint32_t AvCheck::Height() const
{
    return m_state->context->height > 0 ? uint32_t(m_state->context->height) : 0;
}

void AvCheck::Flush()
{
    avcodec_flush_buffers(m_state->context);
}

} // namespace repair
