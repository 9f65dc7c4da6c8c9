// SPDX-License-Identifier: MIT
#include "PngChunkWriter.h"

#include "AtomicSink.h"
#include "PngChunkWalk.h"
#include "PngFormat.h"

#include <zlib.h>

namespace repair {

namespace {

constexpr size_t kImageChunk = 64 * 1024;

} // namespace

PngChunkWriter::PngChunkWriter(AtomicSink& sink)
    : m_sink(sink)
{
    m_pending.reserve(kImageChunk);
}

void PngChunkWriter::Signature()
{
    m_sink.Write(kPngSignature, sizeof kPngSignature);
}

void PngChunkWriter::Chunk(uint32_t type, const uint8_t* data, size_t count)
{
    uint8_t head[8];
    PutBe32(head, uint32_t(count));
    PutBe32(head + 4, type);
    m_sink.Write(head, 8);
    if (count)
        m_sink.Write(data, count);
    uint8_t tail[4];
    uLong crc = crc32(0, head + 4, 4);
    if (count) // a null buffer would restart the checksum
        crc = crc32(crc, data, uInt(count));
    PutBe32(tail, uint32_t(crc));
    m_sink.Write(tail, 4);
}

void PngChunkWriter::Copy(PngChunkWalk& walk, const PngChunk& chunk)
{
    const uint64_t length = chunk.KnownBytes();
    uint8_t head[8];
    PutBe32(head, uint32_t(length));
    PutBe32(head + 4, chunk.Type);
    m_sink.Write(head, 8);
    uLong crc = crc32(0, head + 4, 4);
    std::vector<uint8_t> buffer(size_t(std::min<uint64_t>(length, 1 << 16)));
    for (uint64_t done = 0; done < length;) {
        const size_t n = walk.ReadData(chunk, done, buffer.data(), buffer.size());
        if (n == 0)
            break;
        m_sink.Write(buffer.data(), n);
        crc = crc32(crc, buffer.data(), uInt(n));
        done += n;
    }
    uint8_t tail[4];
    PutBe32(tail, uint32_t(crc));
    m_sink.Write(tail, 4);
}

void PngChunkWriter::ImageData(const uint8_t* data, size_t count)
{
    while (count > 0) {
        const size_t n = std::min(count, kImageChunk - m_pending.size());
        m_pending.insert(m_pending.end(), data, data + n);
        data += n;
        count -= n;
        if (m_pending.size() == kImageChunk)
            FlushImageData();
    }
}

void PngChunkWriter::EndImageData()
{
    if (!m_pending.empty())
        FlushImageData();
}

void PngChunkWriter::FlushImageData()
{
    Chunk(kIdat, m_pending.data(), m_pending.size());
    m_pending.clear();
}

} // namespace repair
