// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <utility>
#include <vector>

struct AVFormatContext;
struct AVIOContext;
struct AVPacket;

namespace repair {

class AtomicSink;

// libavformat's MP4 or QuickTime muxer writing into the fixed file: the streams of an opened input copied
// as they are (never re-encoded), the sample tables built from the packets written. Failures of the sink
// are thrown again as they came; the muxer's own refusals throw WriteError.
class Mp4LibavWriter {
public:
    // `muxer` is "mp4" or "mov"; `keep[i]` says whether input stream i is written. The input is read
    // only here, and may be closed while the writer goes on.
    Mp4LibavWriter(
        AtomicSink& sink, const char* muxer, AVFormatContext* input, const std::vector<bool>& keep);
    ~Mp4LibavWriter();
    Mp4LibavWriter(const Mp4LibavWriter&) = delete;
    Mp4LibavWriter& operator=(const Mp4LibavWriter&) = delete;

    // Takes the packet of input stream `packet->stream_index` (its timestamps in the input's time base).
    void Write(AVPacket* packet);
    void Finish();

private:
    void Start(const char* muxer, AVFormatContext* input, const std::vector<bool>& keep);
    void Release();
    static int WriteBytes(void* opaque, uint8_t* bytes, int size);
    static int64_t Seek(void* opaque, int64_t offset, int whence);
    void Check(int result, const char* what);

    AtomicSink& m_sink;
    uint64_t m_position = 0;
    AVIOContext* m_io = nullptr;
    AVFormatContext* m_format = nullptr;
    std::vector<int> m_map; // input stream -> output stream, -1 when not written
    std::vector<std::pair<int, int>> m_inputTimeBase; // of each input stream
    std::exception_ptr m_failure;
};

} // namespace repair
