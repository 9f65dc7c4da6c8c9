// SPDX-License-Identifier: MIT
#pragma once

#include "ByteReader.h"

#include <cstdint>
#include <exception>
#include <string>

struct AVFormatContext;
struct AVIOContext;
struct AVPacket;

namespace repair {

// The MP4/QuickTime demuxer of libavformat reading through a ByteReader: the container's streams and its
// packets in file order. Read failures of the source (and only those) are thrown again as they came.
class Mp4LibavReader {
public:
    explicit Mp4LibavReader(ByteReader& source);
    ~Mp4LibavReader();
    Mp4LibavReader(const Mp4LibavReader&) = delete;
    Mp4LibavReader& operator=(const Mp4LibavReader&) = delete;

    // Reads the movie's header; false (with Error()) when the container cannot be opened.
    bool Open();
    AVFormatContext* Format() const { return m_format; }
    // The next packet; false at the end or where the container cannot be read further (Error() then).
    bool Next(AVPacket* packet);
    // The samples the tables of stream `index` list.
    uint64_t Listed(int index) const;
    const std::string& Error() const { return m_error; }

private:
    static int Read(void* opaque, uint8_t* buffer, int size);
    static int64_t Seek(void* opaque, int64_t offset, int whence);
    void Rethrow();

    ByteReader& m_source;
    uint64_t m_position = 0;
    AVIOContext* m_io = nullptr;
    AVFormatContext* m_format = nullptr;
    std::exception_ptr m_failure;
    std::string m_error;
};

} // namespace repair
