// SPDX-License-Identifier: MIT
#include "Mp4LibavWriter.h"

#include "AtomicSink.h"
#include "Errors.h"
#include "LibavLog.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/error.h>
#include <libavutil/mem.h>
}

#include <algorithm>
#include <vector>

namespace repair {

namespace {

constexpr int kBufferSize = 256 * 1024;

} // namespace

Mp4LibavWriter::Mp4LibavWriter(
    AtomicSink& sink, const char* muxer, AVFormatContext* input, const std::vector<bool>& keep)
    : m_sink(sink)
{
    // A constructor that throws runs no destructor: what was made so far is freed here.
    try {
        Start(muxer, input, keep);
    } catch (...) {
        Release();
        throw;
    }
}

void Mp4LibavWriter::Start(const char* muxer, AVFormatContext* input, const std::vector<bool>& keep)
{
    LibavLog::Install();
    if (avformat_alloc_output_context2(&m_format, nullptr, muxer, nullptr) < 0 || !m_format)
        throw WriteError(std::string("no writer for ") + muxer + " files");
    auto* buffer = static_cast<uint8_t*>(av_malloc(kBufferSize));
    if (!buffer)
        throw std::bad_alloc();
    m_io = avio_alloc_context(buffer, kBufferSize, 1, this, nullptr, &WriteBytes, &Seek);
    if (!m_io) {
        av_free(buffer);
        throw std::bad_alloc();
    }
    m_format->pb = m_io;
    m_format->flags |= AVFMT_FLAG_CUSTOM_IO;
    m_map.assign(input->nb_streams, -1);
    for (unsigned i = 0; i < input->nb_streams; ++i)
        m_inputTimeBase.push_back({ input->streams[i]->time_base.num, input->streams[i]->time_base.den });
    for (unsigned i = 0; i < input->nb_streams; ++i) {
        if (i >= keep.size() || !keep[i])
            continue;
        const AVStream* in = input->streams[i];
        AVStream* out = avformat_new_stream(m_format, nullptr);
        if (!out)
            throw std::bad_alloc();
        Check(avcodec_parameters_copy(out->codecpar, in->codecpar), "copying a stream's parameters");
        // The input's tag may not be one the output's kind allows; the muxer picks its own.
        if (avformat_query_codec(m_format->oformat, in->codecpar->codec_id, FF_COMPLIANCE_NORMAL) != 1
            || std::string(muxer) != "mov")
            out->codecpar->codec_tag = 0;
        out->time_base = in->time_base;
        out->disposition = in->disposition;
        av_dict_copy(&out->metadata, in->metadata, 0);
        m_map[i] = out->index;
    }
    av_dict_copy(&m_format->metadata, input->metadata, 0);
    Check(avformat_write_header(m_format, nullptr), "starting the fixed file");
}

Mp4LibavWriter::~Mp4LibavWriter()
{
    Release();
}

void Mp4LibavWriter::Release()
{
    if (m_format)
        avformat_free_context(m_format);
    m_format = nullptr;
    if (m_io) {
        av_freep(&m_io->buffer);
        avio_context_free(&m_io);
    }
}

void Mp4LibavWriter::Check(int result, const char* what)
{
    if (m_failure) {
        std::exception_ptr failure = m_failure;
        m_failure = nullptr;
        std::rethrow_exception(failure);
    }
    if (result < 0) {
        char text[AV_ERROR_MAX_STRING_SIZE] = {};
        av_strerror(result, text, sizeof text);
        throw WriteError(std::string(what) + ": " + text);
    }
}

// Called from C: an exception must not unwind through libavformat, so it is kept and thrown after.
int Mp4LibavWriter::WriteBytes(void* opaque, uint8_t* bytes, int size)
{
    auto* self = static_cast<Mp4LibavWriter*>(opaque);
    try {
        const uint64_t end = self->m_sink.Size();
        size_t count = size_t(std::max(size, 0));
        if (self->m_position > end)
            throw WriteError("the writer went past the end of the fixed file");
        // The muxer goes back to patch sizes; what lies inside is overwritten, the rest appended.
        const size_t inside = size_t(std::min<uint64_t>(count, end - self->m_position));
        if (inside)
            self->m_sink.WriteAt(self->m_position, bytes, inside);
        if (count > inside)
            self->m_sink.Write(bytes + inside, count - inside);
        self->m_position += count;
        return size;
    } catch (...) {
        self->m_failure = std::current_exception();
        return AVERROR(EIO);
    }
}

int64_t Mp4LibavWriter::Seek(void* opaque, int64_t offset, int whence)
{
    auto* self = static_cast<Mp4LibavWriter*>(opaque);
    const int64_t size = int64_t(self->m_sink.Size());
    switch (whence & ~AVSEEK_FORCE) {
    case AVSEEK_SIZE:
        return size;
    case SEEK_SET:
        break;
    case SEEK_CUR:
        offset += int64_t(self->m_position);
        break;
    case SEEK_END:
        offset += size;
        break;
    default:
        return AVERROR(EINVAL);
    }
    if (offset < 0 || offset > size)
        return AVERROR(EINVAL);
    self->m_position = uint64_t(offset);
    return offset;
}

void Mp4LibavWriter::Write(AVPacket* packet)
{
    const int index = packet->stream_index;
    if (index < 0 || unsigned(index) >= m_map.size() || m_map[size_t(index)] < 0)
        return;
    AVStream* out = m_format->streams[m_map[size_t(index)]];
    const auto [num, den] = m_inputTimeBase[size_t(index)];
    av_packet_rescale_ts(packet, AVRational { num, den }, out->time_base);
    packet->stream_index = out->index;
    packet->pos = -1;
    Check(av_interleaved_write_frame(m_format, packet), "writing a sample");
}

void Mp4LibavWriter::Finish()
{
    Check(av_write_trailer(m_format), "finishing the fixed file");
    avio_flush(m_io);
    Check(0, "flushing the fixed file");
}

} // namespace repair
