// SPDX-License-Identifier: MIT
#include "PngChunkWalk.h"

#include "PngFormat.h"
#include "Progress.h"

#include <algorithm>
#include <cstring>
#include <zlib.h>

namespace repair {

namespace {

constexpr size_t kBuffer = 1 << 20;
// Damage is searched for only in chunks this small: the search holds the chunk in memory, and the chance
// that a wrong correction matches the checksum grows with the length.
constexpr uint64_t kMaxSearched = 4 << 20;
// A run of zeros this long in compressed data is a zeroed sector, not data.
constexpr size_t kZeroRun = 32;

uint32_t CrcOf(const uint8_t* bytes, size_t count, uint32_t crc = 0)
{
    return uint32_t(crc32(crc, bytes, uInt(count)));
}

// The checksum's table, and which entry has each top byte (one each): enough to run it backwards.
struct CrcTables {
    const z_crc_t* Forward = get_crc_table();
    uint8_t ByTop[256] {};
    CrcTables()
    {
        for (int i = 0; i < 256; ++i)
            ByTop[Forward[i] >> 24] = uint8_t(i);
    }
};

const CrcTables& Tables()
{
    static const CrcTables tables;
    return tables;
}

// The position (from the start of `n` checked bytes) and value of a single damaged byte that explains
// `syndrome`, the difference between the computed and the stored checksum; -1 when none does.
int64_t SingleByteError(uint32_t syndrome, uint64_t n, uint8_t& error)
{
    const CrcTables& t = Tables();
    uint32_t u = syndrome;
    for (uint64_t d = 0; d < n; ++d) {
        const uint8_t e = t.ByTop[u >> 24];
        if (e != 0 && t.Forward[e] == u) {
            error = e;
            return int64_t(n - 1 - d);
        }
        const uint8_t index = t.ByTop[u >> 24];
        u = ((u ^ uint32_t(t.Forward[index])) << 8) | index;
    }
    return -1;
}

} // namespace

uint64_t PngChunk::KnownBytes() const
{
    uint64_t n = 0;
    for (const PngPiece& p : Data)
        n += p.Length;
    return n;
}

PngChunkWalk::PngChunkWalk(ByteReader& source, Progress& progress)
    : m_source(source)
    , m_progress(progress)
    , m_buffer(size_t(std::clamp<uint64_t>(source.Size(), 1, kBuffer)))
{
}

uint32_t PngChunkWalk::Crc(uint32_t crc, uint64_t offset, uint64_t length)
{
    while (length > 0) {
        const size_t n
            = m_source.ReadAt(offset, m_buffer.data(), size_t(std::min<uint64_t>(length, m_buffer.size())));
        if (n == 0)
            break;
        crc = CrcOf(m_buffer.data(), n, crc);
        offset += n;
        length -= n;
        m_progress.Check();
    }
    return crc;
}

bool PngChunkWalk::CrcMatches(uint64_t at, uint32_t type, uint64_t length)
{
    uint8_t t[4];
    PutBe32(t, type);
    uint8_t stored[4];
    if (m_source.ReadAt(at + 8 + length, stored, 4) != 4)
        return false;
    return Crc(CrcOf(t, 4), at + 8, length) == Be32(stored);
}

bool PngChunkWalk::Plausible(uint64_t at, bool known)
{
    uint8_t h[8];
    if (m_source.ReadAt(at, h, 8) != 8)
        return false;
    const uint32_t length = Be32(h);
    const uint32_t type = Be32(h + 4);
    if (length > kMaxChunkLength || !(known ? KnownChunkType(type) : LooksLikeChunkType(type)))
        return false;
    return at + 12 + length <= m_source.Size() || KnownChunkType(type);
}

uint64_t PngChunkWalk::Resync(uint64_t from)
{
    const uint64_t size = m_source.Size();
    const size_t step = size_t(std::min<uint64_t>(kBuffer, size));
    std::vector<uint8_t> window(step + 8);
    for (uint64_t base = from; base + 8 <= size; base += step) {
        m_progress.Check();
        const size_t n = m_source.ReadAt(base, window.data(), window.size());
        for (size_t i = 0; i + 8 <= n && i < step; ++i) {
            const uint32_t type = Be32(&window[i + 4]);
            if (!LooksLikeChunkType(type) || !KnownChunkType(type))
                continue;
            const uint32_t length = Be32(&window[i]);
            if (length > kMaxChunkLength)
                continue;
            const uint64_t at = base + i;
            // A header found by chance in the middle of data rarely has a checksum that holds, or a
            // chunk header right after it; one that runs past the end is taken as a file cut short.
            if (at + 12 + length > size)
                return at;
            if (CrcMatches(at, type, length) || at + 12 + length == size || Plausible(at + 12 + length, true))
                return at;
        }
    }
    return size;
}

uint64_t PngChunkWalk::KnownPrefix(uint64_t offset, uint64_t length)
{
    size_t run = 0;
    for (uint64_t done = 0; done < length;) {
        const size_t n = m_source.ReadAt(
            offset + done, m_buffer.data(), size_t(std::min<uint64_t>(length - done, m_buffer.size())));
        if (n == 0)
            break;
        for (size_t i = 0; i < n; ++i) {
            run = m_buffer[i] == 0 ? run + 1 : 0;
            if (run == kZeroRun)
                return done + i + 1 - kZeroRun;
        }
        done += n;
    }
    return length;
}

uint64_t PngChunkWalk::FindStart()
{
    uint8_t head[4096] = {};
    const size_t n = m_source.ReadAt(0, head, sizeof head);
    if (n >= 8 && std::memcmp(head, kPngSignature, 8) == 0) {
        m_signatureSound = true;
        return 8;
    }
    // The signature once a transfer that only gave lone LFs a CR is undone: its own CR LF lost its CR.
    static constexpr uint8_t kLoneLfUndone[7] = { 0x89, 'P', 'N', 'G', '\n', 0x1a, '\n' };
    if (n >= 7 && std::memcmp(head, kLoneLfUndone, 7) == 0) {
        m_signatureSound = true;
        return 7;
    }
    for (size_t i = 4; i + 8 <= n; ++i)
        if (Be32(head + i) == kIhdr && Be32(head + i - 4) == 13)
            return i - 4;
    return 0;
}

void PngChunkWalk::AddGap(uint64_t from, uint64_t to)
{
    if (to <= from)
        return;
    if (!m_chunks.empty() && m_chunks.back().Kind == PngChunk::State::Gap
        && m_chunks.back().Offset + m_chunks.back().Span == from) {
        m_chunks.back().Span += to - from;
        return;
    }
    PngChunk gap;
    gap.Kind = PngChunk::State::Gap;
    gap.Offset = from;
    gap.Span = to - from;
    m_chunks.push_back(gap);
}

void PngChunkWalk::PutRightInPlace(PngChunk& chunk, uint32_t computed, uint32_t stored)
{
    const uint32_t syndrome = computed ^ stored;
    int bytesHit = 0;
    for (int shift = 0; shift < 32; shift += 8)
        bytesHit += ((syndrome >> shift) & 0xff) != 0;
    if (bytesHit == 1) { // only the stored checksum was hit
        chunk.Kind = PngChunk::State::Corrected;
        return;
    }
    const uint64_t prefix = KnownPrefix(chunk.Offset + 8, chunk.Length);
    if (prefix == chunk.Length && chunk.Length + 4 <= kMaxSearched) {
        uint8_t error = 0;
        const int64_t at = SingleByteError(syndrome, chunk.Length + 4, error);
        if (at >= 0 && at < 4) { // the type itself
            const uint32_t type = chunk.Type ^ uint32_t(error) << (8 * (3 - at));
            if (LooksLikeChunkType(type)) {
                chunk.Kind = PngChunk::State::Corrected;
                chunk.Type = type;
                return;
            }
        } else if (at >= 4) {
            uint8_t was = 0;
            m_source.ReadAt(chunk.Offset + 8 + uint64_t(at - 4), &was, 1);
            chunk.Kind = PngChunk::State::Corrected;
            chunk.Patched = true;
            chunk.PatchAt = uint64_t(at - 4);
            chunk.PatchValue = uint8_t(was ^ error);
            return;
        }
    }
    // Where the damage is cannot be told, unless a zeroed stretch shows it: the bytes are kept as they
    // read, for a decoder to use as far as it can, without vouching for them.
    chunk.Kind = PngChunk::State::Damaged;
    chunk.Data = { { chunk.Offset + 8, prefix } };
    chunk.Truncated = prefix < chunk.Length;
}

bool PngChunkWalk::RemoveInserted(PngChunk& chunk, uint64_t next)
{
    const uint64_t declaredEnd = chunk.Offset + 12 + chunk.Length;
    // The length was damaged: the next chunk says where this one ends.
    const uint64_t implied = next - chunk.Offset - 12;
    if (next >= chunk.Offset + 12 && implied <= kMaxChunkLength
        && CrcMatches(chunk.Offset, chunk.Type, implied)) {
        chunk.Kind = PngChunk::State::Corrected;
        chunk.Length = uint32_t(implied);
        chunk.Data = { { chunk.Offset + 8, implied } };
        return true;
    }
    if (next <= declaredEnd || next - chunk.Offset - 8 > kMaxSearched)
        return false;
    // A stretch inserted somewhere in the data: find where its removal makes the checksum hold.
    const uint64_t length = chunk.Length;
    const uint64_t inserted = next - declaredEnd;
    std::vector<uint8_t> bytes(size_t(4 + length + inserted));
    PutBe32(bytes.data(), chunk.Type);
    if (m_source.ReadAt(chunk.Offset + 8, bytes.data() + 4, bytes.size() - 4) != bytes.size() - 4)
        return false;
    uint8_t storedBytes[4];
    m_source.ReadAt(next - 4, storedBytes, 4);
    const uint32_t stored = Be32(storedBytes);
    const uint32_t whole = CrcOf(bytes.data(), bytes.size());
    uint32_t before = CrcOf(bytes.data(), 4);
    uint32_t through = CrcOf(bytes.data(), size_t(4 + inserted));
    for (uint64_t p = 0; p <= length; ++p) {
        const uint32_t candidate = uint32_t(crc32_combine(before ^ through, 0, z_off_t(length - p))) ^ whole;
        if (candidate == stored) {
            chunk.Kind = PngChunk::State::Corrected;
            chunk.Data = { { chunk.Offset + 8, p }, { chunk.Offset + 8 + p + inserted, length - p } };
            return true;
        }
        if (p < length) {
            before = CrcOf(&bytes[size_t(4 + p)], 1, before);
            through = CrcOf(&bytes[size_t(4 + p + inserted)], 1, through);
        }
        if ((p & 0xffff) == 0)
            m_progress.Check();
    }
    return false;
}

bool PngChunkWalk::InPlace(PngChunk& chunk)
{
    const uint64_t end = chunk.Offset + 12 + chunk.Length;
    uint8_t t[4];
    PutBe32(t, chunk.Type);
    const uint32_t computed = Crc(CrcOf(t, 4), chunk.Offset + 8, chunk.Length);
    uint8_t storedBytes[4];
    m_source.ReadAt(end - 4, storedBytes, 4);
    chunk.Span = 12 + uint64_t(chunk.Length);
    chunk.Data = { { chunk.Offset + 8, chunk.Length } };
    if (computed == Be32(storedBytes)) {
        m_chunks.push_back(chunk);
        if (chunk.Type == kIend) {
            m_endFound = true;
            m_afterEnd = m_source.Size() - end;
        }
        return true;
    }
    if (end == m_source.Size() || Plausible(end, false)) {
        PutRightInPlace(chunk, computed, Be32(storedBytes));
        m_chunks.push_back(chunk);
        return true;
    }
    return false;
}

void PngChunkWalk::Run()
{
    const uint64_t size = m_source.Size();
    uint64_t pos = FindStart();
    AddGap(m_signatureSound ? 8 : 0, pos);
    while (pos < size) {
        m_progress.Advance(pos - m_reported);
        m_reported = pos;
        uint8_t h[8];
        if (size - pos < 12) {
            AddGap(pos, size);
            break;
        }
        m_source.ReadAt(pos, h, 8);
        PngChunk chunk;
        chunk.Offset = pos;
        chunk.Length = Be32(h);
        chunk.Type = Be32(h + 4);
        if (chunk.Length > kMaxChunkLength || !LooksLikeChunkType(chunk.Type)) {
            // A damaged type, when a chunk follows where the length says this one ends.
            const uint64_t end = pos + 12 + uint64_t(chunk.Length);
            if (chunk.Length <= kMaxChunkLength && end <= size && (end == size || Plausible(end, true))
                && InPlace(chunk)) {
                pos = end;
                continue;
            }
            const uint64_t next = Resync(pos + 1);
            AddGap(pos, next);
            pos = next;
            continue;
        }
        const uint64_t end = pos + 12 + chunk.Length;
        // Past the end: a file cut short, unless a chunk follows, and then the length is what is wrong.
        const uint64_t following = end > size ? Resync(pos + 8) : size;
        if (end > size && following == size) {
            if (!KnownChunkType(chunk.Type)) {
                const uint64_t next = Resync(pos + 1);
                AddGap(pos, next);
                pos = next;
                continue;
            }
            // Cut short: what is there is right, up to a zeroed stretch.
            const uint64_t there = std::min<uint64_t>(size - pos - 8, chunk.Length);
            chunk.Kind = PngChunk::State::Cut;
            chunk.Span = size - pos;
            chunk.Data = { { pos + 8, KnownPrefix(pos + 8, there) } };
            chunk.Truncated = true;
            m_chunks.push_back(chunk);
            break;
        }
        if (end <= size && InPlace(chunk)) {
            pos = end;
            if (m_endFound)
                break;
            continue;
        }
        // The chunk does not end where its length says: bytes inserted, or its length damaged.
        const uint64_t next = end > size ? following : Resync(pos + 8);
        if (KnownChunkType(chunk.Type)) {
            chunk.Span = next - pos;
            if (next == size || !RemoveInserted(chunk, next)) {
                chunk.Kind = PngChunk::State::Damaged;
                const uint64_t there = std::min<uint64_t>(next - pos - 8, chunk.Length);
                const uint64_t prefix = KnownPrefix(pos + 8, there);
                chunk.Data = { { pos + 8, prefix } };
                chunk.Truncated = prefix < chunk.Length;
            }
            m_chunks.push_back(chunk);
        } else {
            AddGap(pos, next);
        }
        pos = next;
    }
    m_progress.Advance(size - std::min(size, m_reported));
    m_reported = size;
}

size_t PngChunkWalk::ReadData(const PngChunk& chunk, uint64_t offset, uint8_t* buffer, size_t count)
{
    size_t done = 0;
    uint64_t pieceStart = 0;
    for (const PngPiece& piece : chunk.Data) {
        if (done == count)
            break;
        const uint64_t at = offset + done;
        if (at < pieceStart + piece.Length) {
            const uint64_t within = at - pieceStart;
            const size_t want = size_t(std::min<uint64_t>(count - done, piece.Length - within));
            const size_t n = m_source.ReadAt(piece.Offset + within, buffer + done, want);
            if (chunk.Patched && chunk.PatchAt >= at && chunk.PatchAt < at + n)
                buffer[done + size_t(chunk.PatchAt - at)] = chunk.PatchValue;
            done += n;
            if (n < want)
                break;
        }
        pieceStart += piece.Length;
    }
    return done;
}

} // namespace repair
