// SPDX-License-Identifier: MIT
#include "GifWalk.h"

#include "GifLzwDecoder.h"
#include "GifLzwEncoder.h"
#include "Progress.h"

#include <cstring>

namespace repair {

namespace {

constexpr size_t kCache = 64 * 1024;

uint32_t Le16(const uint8_t* p)
{
    return uint32_t(p[0] | p[1] << 8);
}

size_t TableBytes(uint8_t flags)
{
    return (flags & 0x80) ? size_t(3) << ((flags & 7) + 1) : 0;
}

} // namespace

GifWalk::GifWalk(ByteReader& source, Progress& progress)
    : m_source(source)
    , m_progress(progress)
    , m_cache(kCache)
{
}

int GifWalk::ByteAt(uint64_t offset)
{
    if (offset < m_cacheStart || offset >= m_cacheStart + m_cacheLength) {
        if (offset >= m_source.Size())
            return -1;
        m_cacheStart = offset;
        m_cacheLength = m_source.ReadAt(offset, m_cache.data(), m_cache.size());
        if (m_cacheLength == 0)
            return -1;
    }
    return m_cache[size_t(offset - m_cacheStart)];
}

bool GifWalk::Read(uint64_t offset, uint8_t* out, size_t n)
{
    return m_source.ReadAt(offset, out, n) == n;
}

void GifWalk::Copy(uint64_t offset, uint64_t length)
{
    if (length == 0)
        return;
    if (!m_pieces.empty()) {
        Piece& last = m_pieces.back();
        if (!last.Recode && last.Bytes.empty() && last.Offset + last.Length == offset) {
            last.Length += length;
            return;
        }
    }
    Piece p;
    p.Offset = offset;
    p.Length = length;
    m_pieces.push_back(std::move(p));
}

bool GifWalk::ChainEnd(uint64_t at, uint64_t& end)
{
    for (;;) {
        const int size = ByteAt(at);
        if (size < 0)
            return false;
        if (size == 0) {
            end = at + 1;
            return true;
        }
        at += 1 + uint64_t(size);
        if (at > m_source.Size())
            return false;
    }
}

bool GifWalk::PlausibleBlock(uint64_t at)
{
    const int b = ByteAt(at);
    if (b == 0x3B)
        return at + 1 >= m_source.Size() || ByteAt(at + 1) == 0;
    if (b == 0x21) {
        const int label = ByteAt(at + 1);
        if (label == 0xF9)
            return ByteAt(at + 2) == 4 && ByteAt(at + 7) == 0;
        if (label == 0xFF)
            return ByteAt(at + 2) == 11;
        uint64_t end = 0;
        return (label == 0xFE || label == 0x01) && ChainEnd(at + 2, end);
    }
    if (b != 0x2C)
        return false;
    uint8_t d[10];
    if (!Read(at, d, sizeof d))
        return false;
    const uint32_t left = Le16(d + 1), top = Le16(d + 3), w = Le16(d + 5), h = Le16(d + 7);
    if (w == 0 || h == 0)
        return false;
    if (m_found.Width && m_found.Height && (left + w > m_found.Width || top + h > m_found.Height))
        return false;
    const int m = ByteAt(at + 10 + TableBytes(d[9]));
    return m >= 2 && m <= 8 && ByteAt(at + 11 + TableBytes(d[9])) > 0;
}

bool GifWalk::Resync(uint64_t from, uint64_t& at)
{
    for (uint64_t q = from; q < m_source.Size(); ++q) {
        if ((q & 0xFFFF) == 0)
            m_progress.Check();
        if (PlausibleBlock(q)) {
            at = q;
            return true;
        }
    }
    return false;
}

GifFindings GifWalk::Run()
{
    uint8_t head[13];
    if (!Read(0, head, sizeof head)
        || (std::memcmp(head, "GIF87a", 6) != 0 && std::memcmp(head, "GIF89a", 6) != 0)) {
        m_found.Damaged = true;
        m_found.Messages.push_back("the start of the image is lost, and with it its size and colours");
        return m_found;
    }
    m_found.Width = Le16(head + 6);
    m_found.Height = Le16(head + 8);
    m_background = head[11];
    m_globalColours = unsigned(TableBytes(head[10]) / 3);
    const uint64_t start = 13 + TableBytes(head[10]);
    if (start > m_source.Size()) {
        m_found.Damaged = true;
        m_found.Messages.push_back("cut short within the colour table");
        return m_found;
    }
    Copy(0, start);
    m_progress.Advance(start);
    uint64_t at = start;
    bool trailer = false;
    for (;;) {
        m_progress.Check();
        const int b = ByteAt(at);
        if (b < 0)
            break;
        if (b == 0x3B) {
            trailer = true;
            break;
        }
        uint64_t next = 0;
        if (b == 0x2C) {
            if (!Frame(at, next))
                break;
            at = next;
            continue;
        }
        uint64_t end = 0;
        if (b == 0x21 && ByteAt(at + 1) >= 0 && ChainEnd(at + 2, end)
            && (ByteAt(end) < 0 || ByteAt(end) == 0x21 || ByteAt(end) == 0x2C || ByteAt(end) == 0x3B)) {
            if (ByteAt(at + 1) == 0xF9 && ByteAt(at + 2) == 4)
                m_transparent = (ByteAt(at + 3) & 1) ? ByteAt(at + 6) : -1;
            Copy(at, end - at);
            m_progress.Advance(end - at);
            at = end;
            continue;
        }
        m_found.Damaged = true;
        const bool more = Resync(at + 1, next);
        const uint64_t to = more ? next : m_source.Size();
        m_found.Messages.push_back(std::to_string(to - at)
            + " bytes that belong to no block skipped at offset " + std::to_string(at));
        m_progress.Advance(to - at);
        if (!more)
            break;
        at = next;
    }
    if (m_found.TooLarge)
        return m_found;
    if (!trailer) {
        m_found.Damaged = true;
        m_found.Messages.push_back("the trailer is missing: the file was cut short");
    }
    Piece end;
    end.Bytes = { 0x3B };
    m_pieces.push_back(std::move(end));
    return m_found;
}

bool GifWalk::Frame(uint64_t at, uint64_t& next)
{
    uint8_t d[10];
    const uint64_t size = m_source.Size();
    if (!Read(at, d, sizeof d)) {
        m_found.Damaged = true;
        m_found.Messages.push_back("cut short within a frame's descriptor");
        return false;
    }
    const uint32_t w = Le16(d + 5), h = Le16(d + 7);
    const uint64_t table = TableBytes(d[9]);
    const int m = ByteAt(at + 10 + table);
    if (m < 0) {
        m_found.Damaged = true;
        m_found.Messages.push_back("cut short within a frame's colour table");
        return false;
    }
    if (w == 0 || h == 0 || m < 2 || m > 8) {
        m_found.Damaged = true;
        m_found.Messages.push_back("a damaged frame descriptor skipped at offset " + std::to_string(at));
        if (!Resync(at + 1, next))
            next = size;
        return true;
    }
    const uint64_t pixels = uint64_t(w) * h;
    if (pixels > kMaxFramePixels) {
        m_found.TooLarge = true;
        m_found.Messages.push_back("a frame claims " + std::to_string(w) + " x " + std::to_string(h)
            + " pixels, more than is plausible: refused");
        return false;
    }
    const uint64_t dataStart = at + 11 + table;
    GifLzwDecoder decoder(m);
    const unsigned colours = table ? unsigned(table / 3) : (m_globalColours ? m_globalColours : 256u);
    bool outside = false;
    uint64_t got = 0, q = dataStart;
    bool chainEnded = false;
    std::vector<uint8_t> block(255);
    for (;;) {
        const int s = ByteAt(q);
        if (s < 0)
            break;
        if (s == 0) {
            chainEnded = true;
            ++q;
            break;
        }
        const size_t avail = size_t(std::min<uint64_t>(uint64_t(s), size - q - 1));
        if (!decoder.Ended() && !decoder.Failed() && !outside && got <= pixels
            && Read(q + 1, block.data(), avail))
            decoder.Feed(block.data(), avail, [&](const uint8_t* px, size_t n) {
                // An index past the colour table is damage the codes alone do not show.
                for (size_t i = 0; i < n && !outside; ++i)
                    outside = px[i] >= colours;
                if (!outside)
                    got += n;
            });
        q += 1 + uint64_t(s);
        if (avail < size_t(s)) {
            q = size;
            break;
        }
    }
    const bool chainSound = chainEnded && (ByteAt(q) < 0 || PlausibleBlock(q));
    const uint64_t number = ++m_found.Frames;
    m_found.Rows += h;
    // More pixels than the frame holds: codes were changed somewhere, though each of them decodes.
    const bool excess = got > pixels;
    const bool whole = chainSound && !decoder.Failed() && !outside && got == pixels;
    if (whole) {
        Copy(at, q - at);
        ++m_found.WholeFrames;
        ++m_found.FramesWritten;
        m_found.RowsKept += h;
    } else {
        m_found.Damaged = true;
        const uint64_t kept = std::min(got, pixels);
        if (kept == 0) {
            m_found.Lost.push_back("frame " + std::to_string(number));
        } else {
            Copy(at, dataStart - at);
            ++m_found.FramesWritten;
            Piece p;
            p.Recode = true;
            p.Offset = dataStart;
            p.MinCodeSize = m;
            p.Kept = kept;
            p.Pixels = pixels;
            const int fill = m_transparent >= 0 ? m_transparent : m_background;
            p.Fill = uint8_t(fill < (1 << m) && unsigned(fill) < colours ? fill : 0);
            m_pieces.push_back(std::move(p));
            const uint64_t rows = excess ? 0 : kept / w;
            m_found.RowsKept += rows;
            m_found.Lost.push_back("frame " + std::to_string(number)
                + (excess               ? ": its rows, which decode but may hold errors"
                        : (d[9] & 0x40) ? ": " + std::to_string(h - rows) + " of its interlaced rows"
                                        : ": rows " + std::to_string(rows) + "-" + std::to_string(h - 1)));
        }
    }
    m_transparent = -1;
    m_progress.Advance(std::min(q, size) - at);
    if (chainSound) {
        next = std::min(q, size);
        return true;
    }
    // The chain does not lead to a block: damage inside it, or the file cut short.
    if (!Resync(dataStart, next))
        next = size;
    return true;
}

void GifWalk::RecodeFrame(const Piece& p, const std::function<void(const uint8_t*, size_t)>& write)
{
    GifLzwDecoder decoder(p.MinCodeSize);
    GifLzwEncoder encoder(p.MinCodeSize);
    uint64_t left = p.Kept;
    std::vector<uint8_t> block(255);
    for (uint64_t q = p.Offset; left > 0 && !decoder.Ended() && !decoder.Failed();) {
        const int s = ByteAt(q);
        if (s <= 0)
            break;
        const size_t avail = size_t(std::min<uint64_t>(uint64_t(s), m_source.Size() - q - 1));
        if (!Read(q + 1, block.data(), avail))
            break;
        decoder.Feed(block.data(), avail, [&](const uint8_t* px, size_t n) {
            const size_t take = size_t(std::min<uint64_t>(n, left));
            encoder.Put(px, take);
            left -= take;
        });
        const std::vector<uint8_t> out = encoder.Take();
        write(out.data(), out.size());
        q += 1 + uint64_t(s);
    }
    for (uint64_t rest = p.Pixels - p.Kept + left; rest > 0;) {
        const uint64_t n = std::min<uint64_t>(rest, 1 << 20);
        encoder.Repeat(p.Fill, n);
        rest -= n;
        m_progress.Check();
        const std::vector<uint8_t> out = encoder.Take();
        write(out.data(), out.size());
    }
    encoder.Finish();
    const std::vector<uint8_t> out = encoder.Take();
    write(out.data(), out.size());
}

} // namespace repair
