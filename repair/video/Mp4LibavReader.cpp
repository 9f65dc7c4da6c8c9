// SPDX-License-Identifier: MIT
#include "Mp4LibavReader.h"

#include "LibavLog.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/error.h>
#include <libavutil/mem.h>
}

#include <algorithm>

namespace repair {

namespace {

constexpr int kBufferSize = 64 * 1024;

std::string ErrorText(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

} // namespace

Mp4LibavReader::Mp4LibavReader(ByteReader& source)
    : m_source(source)
{
    LibavLog::Install();
}

Mp4LibavReader::~Mp4LibavReader()
{
    if (m_format)
        avformat_close_input(&m_format);
    if (m_io) {
        av_freep(&m_io->buffer);
        avio_context_free(&m_io);
    }
}

// Called from C: an exception must not unwind through libavformat, so it is kept and thrown after.
int Mp4LibavReader::Read(void* opaque, uint8_t* buffer, int size)
{
    auto* self = static_cast<Mp4LibavReader*>(opaque);
    try {
        const size_t n = self->m_source.ReadAt(self->m_position, buffer, size_t(std::max(size, 0)));
        self->m_position += n;
        return n ? int(n) : AVERROR_EOF;
    } catch (...) {
        self->m_failure = std::current_exception();
        return AVERROR(EIO);
    }
}

int64_t Mp4LibavReader::Seek(void* opaque, int64_t offset, int whence)
{
    auto* self = static_cast<Mp4LibavReader*>(opaque);
    const int64_t size = int64_t(self->m_source.Size());
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
    if (offset < 0)
        return AVERROR(EINVAL);
    self->m_position = uint64_t(offset);
    return offset;
}

void Mp4LibavReader::Rethrow()
{
    if (m_failure) {
        std::exception_ptr failure = m_failure;
        m_failure = nullptr;
        std::rethrow_exception(failure);
    }
}

bool Mp4LibavReader::Open()
{
    auto* buffer = static_cast<uint8_t*>(av_malloc(kBufferSize));
    if (!buffer)
        throw std::bad_alloc();
    m_io = avio_alloc_context(buffer, kBufferSize, 0, this, &Read, nullptr, &Seek);
    if (!m_io) {
        av_free(buffer);
        throw std::bad_alloc();
    }
    m_format = avformat_alloc_context();
    if (!m_format)
        throw std::bad_alloc();
    m_format->pb = m_io;
    m_format->flags |= AVFMT_FLAG_CUSTOM_IO;
    const AVInputFormat* mov = av_find_input_format("mov");
    const int result = avformat_open_input(&m_format, nullptr, mov, nullptr);
    Rethrow();
    if (result < 0) {
        // avformat_open_input frees the context on failure.
        m_format = nullptr;
        m_error = LibavLog::LastError().empty() ? ErrorText(result) : LibavLog::LastError();
        return false;
    }
    return true;
}

bool Mp4LibavReader::Next(AVPacket* packet)
{
    const int result = av_read_frame(m_format, packet);
    Rethrow();
    if (result < 0) {
        if (result != AVERROR_EOF)
            m_error = ErrorText(result);
        return false;
    }
    return true;
}

uint64_t Mp4LibavReader::Listed(int index) const
{
    if (!m_format || index < 0 || unsigned(index) >= m_format->nb_streams)
        return 0;
    return uint64_t(std::max(avformat_index_get_entries_count(m_format->streams[index]), 0));
}

} // namespace repair
