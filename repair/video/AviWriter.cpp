// SPDX-License-Identifier: MIT
#include "AviWriter.h"

#include "AtomicSink.h"
#include "AviFormat.h"
#include "Errors.h"
#include "Progress.h"

#include <algorithm>

namespace repair {

namespace {

// Readers of the older layout address a RIFF with 32-bit offsets; large files split before 1 GiB.
constexpr uint64_t kRiffLimit = 1ull << 30;

} // namespace

AviWriter::AviWriter(AtomicSink& sink, ByteReader& source, Progress& progress)
    : m_sink(sink)
    , m_source(source)
    , m_progress(progress)
    , m_buffer(1 << 20)
{
}

void AviWriter::Header(uint32_t id, uint32_t size)
{
    uint8_t h[8];
    AviPut32(h, id);
    AviPut32(h + 4, size);
    m_sink.Write(h, 8);
}

void AviWriter::Begin(const std::vector<uint8_t>& head)
{
    m_riff = m_sink.Size();
    m_sink.Write(head.data(), head.size());
    m_movi = m_sink.Size();
    Header(kAviList, 0);
    uint8_t movi[4];
    AviPut32(movi, kAviMovi);
    m_sink.Write(movi, 4);
}

void AviWriter::Entry(uint32_t id, uint32_t size, bool key)
{
    if (!m_first)
        return;
    uint8_t e[16];
    AviPut32(e, id);
    AviPut32(e + 4, key ? kAviKeyFrame : 0);
    AviPut32(e + 8, uint32_t(m_sink.Size() - (m_movi + 8)));
    AviPut32(e + 12, size);
    m_index.insert(m_index.end(), e, e + 16);
}

void AviWriter::Copy(uint32_t id, uint64_t at, uint32_t size, bool key)
{
    if (m_sink.Size() - m_riff + size + 16 > kRiffLimit)
        OpenExtension();
    Entry(id, size, key);
    Header(id, size);
    for (uint32_t done = 0; done < size;) {
        const size_t want = std::min<size_t>(m_buffer.size(), size - done);
        if (m_source.ReadAt(at + done, m_buffer.data(), want) != want)
            throw ReadError("the source changed while it was read");
        m_sink.Write(m_buffer.data(), want);
        done += uint32_t(want);
    }
    if (size & 1)
        m_sink.Write("", 1);
    m_progress.Advance(size + 8);
}

void AviWriter::Put(uint32_t id, const uint8_t* data, uint32_t size, bool key)
{
    if (m_sink.Size() - m_riff + size + 16 > kRiffLimit)
        OpenExtension();
    Entry(id, size, key);
    Header(id, size);
    if (size)
        m_sink.Write(data, size);
    if (size & 1)
        m_sink.Write("", 1);
}

void AviWriter::CloseRiff()
{
    uint8_t size[4];
    AviPut32(size, uint32_t(m_sink.Size() - m_movi - 8));
    m_sink.WriteAt(m_movi + 4, size, 4);
    if (m_first) {
        Header(kAviIndex, uint32_t(m_index.size()));
        m_sink.Write(m_index.data(), m_index.size());
        m_index.clear();
        m_index.shrink_to_fit();
    }
    AviPut32(size, uint32_t(m_sink.Size() - m_riff - 8));
    m_sink.WriteAt(m_riff + 4, size, 4);
}

void AviWriter::OpenExtension()
{
    CloseRiff();
    m_first = false;
    m_riff = m_sink.Size();
    uint8_t h[24];
    AviPut32(h, kAviRiff);
    AviPut32(h + 4, 0);
    AviPut32(h + 8, kAviExtension);
    AviPut32(h + 12, kAviList);
    AviPut32(h + 16, 0);
    AviPut32(h + 20, kAviMovi);
    m_sink.Write(h, sizeof h);
    m_movi = m_riff + 12;
}

void AviWriter::Finish()
{
    CloseRiff();
}

} // namespace repair
