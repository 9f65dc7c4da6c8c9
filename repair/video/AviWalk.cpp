// SPDX-License-Identifier: MIT
#include "AviWalk.h"

#include "AviFormat.h"
#include "Progress.h"

#include <algorithm>

namespace repair {

namespace {

bool IsTwoDigits(uint32_t id)
{
    return AviStreamOf(id) >= 0;
}

uint64_t Padded(uint64_t at, uint32_t size)
{
    return at + 8 + size + (size & 1);
}

std::string Range(uint64_t from, uint64_t to)
{
    return "bytes " + std::to_string(from) + "-" + std::to_string(to - 1);
}

} // namespace

AviWalk::AviWalk(ByteReader& source, const AviHeader& header, Progress& progress)
    : m_source(source)
    , m_header(header)
    , m_progress(progress)
    , m_window(source)
    , m_size(source.Size())
    , m_lostAtEnd(header.Streams.size(), 0)
{
}

AviWalk::Seen AviWalk::Classify(uint64_t at)
{
    Seen s;
    const uint8_t* p = m_window.At(at, 12);
    if (!p && !(p = m_window.At(at, 8)))
        return s;
    const bool hasType = at + 12 <= m_size;
    s.id = AviLe32(p);
    s.size = AviLe32(p + 4);
    s.type = hasType ? AviLe32(p + 8) : 0;
    s.next = Padded(at, s.size);
    const uint64_t room = m_size - at - 8;
    const int stream = AviStreamOf(s.id);
    const uint32_t suffix = s.id >> 16;
    if (stream >= 0 && size_t(stream) < m_header.Streams.size()) {
        const AviStream& st = m_header.Streams[size_t(stream)];
        const bool fits = suffix == AviTag('w', 'b', 0, 0) ? st.IsAudio()
            : suffix == AviTag('d', 'c', 0, 0) || suffix == AviTag('d', 'b', 0, 0)
                || suffix == AviTag('p', 'c', 0, 0)
            ? st.IsVideo()
            : suffix == AviTag('t', 'x', 0, 0);
        if (fits && s.size <= kAviMaxChunk)
            s.kind = Kind::Data;
    } else if (((s.id & 0xFFFF) == AviTag('i', 'x', 0, 0) && IsTwoDigits(s.id >> 16)) || s.id == kAviJunk) {
        if (s.size <= room)
            s.kind = Kind::Skip;
    } else if (s.id == kAviIndex) {
        if (s.size % 16 == 0)
            s.kind = Kind::Index;
    } else if (s.id == kAviList && hasType) {
        if (s.type == kAviMovi || s.type == kAviRecord) {
            s.kind = Kind::List;
            s.next = at + 12;
        } else if (s.size <= room && s.size >= 4) {
            s.kind = Kind::Skip;
        }
    } else if (s.id == kAviRiff && s.type == kAviExtension) {
        s.kind = Kind::Riff;
        s.next = at + 12;
    }
    return s;
}

bool AviWalk::Plausible(uint64_t at)
{
    const Seen s = Classify(at);
    if (s.kind == Kind::Data)
        return s.next <= m_size + 1;
    return s.kind != Kind::None;
}

uint64_t AviWalk::Resync(uint64_t from)
{
    for (uint64_t at = from; at + 8 <= m_size; ++at) {
        if ((at & 0xFFFFF) == 0) {
            m_progress.Check();
        }
        const Seen s = Classify(at);
        switch (s.kind) {
        case Kind::None:
            break;
        case Kind::Data:
        case Kind::Skip:
            // Damaged bytes hold chance chunk headers; the one after must agree.
            if (s.next <= m_size + 1 && (s.next >= m_size || Plausible(s.next)))
                return at;
            break;
        case Kind::Index:
            if (s.size > 0)
                return at;
            break;
        case Kind::List:
        case Kind::Riff:
            return at;
        }
    }
    return m_size;
}

void AviWalk::Run()
{
    uint64_t pos = m_header.MoviList + 12;
    uint64_t moviEnd = m_header.MoviList + 8 + uint64_t(m_header.MoviDeclared);
    uint64_t riffEnd = 8 + uint64_t(m_header.RiffDeclared);
    bool moviOpen = true;
    bool afterGap = false;
    if (!m_header.RiffHeaderRight) {
        m_structureRight = false;
        m_findings.push_back("the RIFF header is damaged");
    }
    uint64_t reported = pos;
    m_progress.Advance(pos);
    while (pos + 8 <= m_size) {
        if (pos - reported >= (1 << 20)) {
            m_progress.Advance(pos - reported);
            reported = pos;
        }
        const Seen s = Classify(pos);
        if (s.kind == Kind::None || (s.kind == Kind::Data && s.next > m_size + 1)) {
            const uint64_t to = Resync(pos + 1);
            if (s.kind == Kind::Data && to == m_size) {
                // Cut short inside plain samples: the whole sample frames that are there are kept.
                const AviStream& st = m_header.Streams[size_t(AviStreamOf(s.id))];
                const uint64_t frame = std::max<uint64_t>(st.Coding.BlockAlign, st.SampleSize);
                const uint64_t keep = st.IsAudio() && st.SampleSize ? (m_size - pos - 8) / frame * frame : 0;
                if (keep > 0) {
                    AviChunk c;
                    c.At = pos + 8;
                    c.Id = s.id;
                    c.Size = uint32_t(keep);
                    c.Stream = uint16_t(AviStreamOf(s.id));
                    c.Flags = afterGap ? AviChunk::AfterGap : 0;
                    m_chunks.push_back(c);
                    pos += 8 + keep;
                }
            }
            ++m_gaps;
            m_gapBytes += to - pos;
            m_gapSpans.emplace_back(pos, to);
            m_cutShort = to == m_size;
            m_findings.push_back(to == m_size ? "damaged or cut short at byte " + std::to_string(pos)
                                              : "damaged " + Range(pos, to));
            m_structureRight = false;
            afterGap = true;
            pos = to;
            continue;
        }
        switch (s.kind) {
        case Kind::Data: {
            if (!moviOpen || pos >= moviEnd)
                m_structureRight = false;
            AviChunk c;
            c.At = pos + 8;
            c.Id = s.id;
            c.Size = s.size;
            c.Stream = uint16_t(AviStreamOf(s.id));
            if (afterGap)
                c.Flags |= AviChunk::AfterGap;
            // What follows must look like a chunk; one the end of the file cut short still does.
            if (s.next < m_size && Classify(s.next).kind == Kind::None
                && Classify(pos + 8 + s.size).kind == Kind::None)
                c.Flags |= AviChunk::Unsure;
            afterGap = false;
            m_chunks.push_back(c);
            break;
        }
        case Kind::List:
            if (s.type == kAviMovi && pos != m_header.MoviList) {
                if (!m_extended)
                    m_structureRight = false; // a second data list without an extension RIFF
                moviEnd = pos + 8 + uint64_t(s.size);
                moviOpen = true;
            }
            break;
        case Kind::Riff:
            if (pos != riffEnd || (moviOpen && pos != moviEnd))
                m_structureRight = false;
            if (!m_extended && m_firstMoviEnd == 0)
                m_firstMoviEnd = pos;
            m_extended = true;
            riffEnd = pos + 8 + uint64_t(s.size);
            moviOpen = false;
            break;
        case Kind::Index:
            if (m_index == 0 && !m_extended) {
                if (moviOpen && pos != moviEnd)
                    m_structureRight = false;
                m_firstMoviEnd = pos;
                m_index = pos + 8;
                m_indexSize = std::min<uint64_t>(s.size, m_size - pos - 8) / 16 * 16;
                if (m_indexSize != s.size)
                    m_structureRight = false;
            }
            moviOpen = false;
            break;
        case Kind::Skip:
        case Kind::None:
            break;
        }
        pos = std::min(s.next, m_size);
    }
    if (pos < m_size) {
        m_findings.push_back("stray bytes at the end");
        m_structureRight = false;
    }
    if (riffEnd != m_size && riffEnd != m_size + 1)
        m_structureRight = false;
    if (moviOpen && moviEnd != m_size && moviEnd != riffEnd)
        m_structureRight = false;
    if (m_firstMoviEnd == 0)
        m_firstMoviEnd = m_size;
    m_progress.Advance(m_size > reported ? m_size - reported : 0);
    MatchIndex();
}

void AviWalk::EstimateLost()
{
    // Without an index, what a gap held is judged by its size and the file's data rate; each stream
    // gets stand-ins for that much time, so that the pictures and sound after it keep their timing.
    if (m_gapSpans.empty())
        return;
    const AviStream* clock = nullptr;
    uint64_t pictures = 0, bytes = 0;
    for (const AviStream& s : m_header.Streams)
        if (s.IsVideo() && !clock && s.Scale && s.Rate)
            clock = &s;
    if (!clock)
        return;
    for (const AviChunk& c : m_chunks) {
        bytes += c.Size + 8;
        if (&m_header.Streams[c.Stream] == clock)
            ++pictures;
    }
    if (pictures == 0)
        return;
    const double seconds = double(pictures) * clock->Scale / clock->Rate;
    const double rate = double(bytes) / seconds;
    std::vector<AviChunk> merged;
    merged.reserve(m_chunks.size());
    size_t gap = 0;
    std::vector<uint32_t> lastSize(m_header.Streams.size(), 0);
    for (const AviChunk& c : m_chunks) {
        while (gap < m_gapSpans.size() && m_gapSpans[gap].second < c.At)
            ++gap;
        if ((c.Flags & AviChunk::AfterGap) && gap > 0 && m_gapSpans[gap - 1].second == c.At - 8) {
            const double lost = double(m_gapSpans[gap - 1].second - m_gapSpans[gap - 1].first) / rate;
            for (size_t s = 0; s < m_header.Streams.size(); ++s) {
                const AviStream& st = m_header.Streams[s];
                if (!st.Scale || !st.Rate || (!st.IsVideo() && !st.IsAudio()))
                    continue;
                const double units = lost * st.Rate / st.Scale;
                AviChunk f;
                f.Stream = uint16_t(s);
                f.Id = uint32_t('0' + s / 10) | uint32_t('0' + s % 10) << 8
                    | (st.IsVideo() ? AviTag(0, 0, 'd', 'c') : AviTag(0, 0, 'w', 'b'));
                f.Flags = AviChunk::Filler;
                if (st.IsAudio() && st.SampleSize) {
                    const uint64_t align = std::max<uint32_t>(st.Coding.BlockAlign, st.SampleSize);
                    const uint64_t size = uint64_t(units + 0.5) * st.SampleSize / align * align;
                    for (uint64_t left = size; left > 0;) {
                        f.Size = uint32_t(std::min<uint64_t>(left, std::max<uint64_t>(lastSize[s], align)));
                        merged.push_back(f);
                        left -= f.Size;
                    }
                } else {
                    f.Size = lastSize[s];
                    for (uint64_t n = uint64_t(units + 0.5); n > 0 && n < (1u << 20); --n)
                        merged.push_back(f);
                }
            }
        }
        lastSize[c.Stream] = c.Size;
        merged.push_back(c);
    }
    m_chunks.swap(merged);
}

void AviWalk::MatchIndex()
{
    if (m_indexSize == 0) {
        m_findings.push_back("the index is lost");
        EstimateLost();
        return;
    }
    // Entries count from the `movi` tag, or, in some writers' files, from the start of the file.
    std::vector<uint8_t> buffer(16 * 16);
    const uint64_t count = m_indexSize / 16;
    uint64_t base = UINT64_MAX;
    {
        const size_t n
            = m_source.ReadAt(m_index, buffer.data(), size_t(std::min<uint64_t>(m_indexSize, 16 * 16)));
        for (size_t i = 0; i + 16 <= n && base == UINT64_MAX; i += 16) {
            const uint32_t id = AviLe32(&buffer[i]);
            const uint64_t off = AviLe32(&buffer[i + 8]);
            for (const uint64_t candidate : { m_header.MoviList + 8, uint64_t(0) }) {
                const uint8_t* p = m_window.At(candidate + off, 4);
                if (p && AviLe32(p) == id) {
                    base = candidate;
                    break;
                }
            }
        }
    }
    if (base == UINT64_MAX) {
        m_findings.push_back("the index does not match the data");
        EstimateLost();
        return;
    }
    // One block of entries at a time: the index of a large file is not held whole.
    std::vector<uint8_t> block(16 * 4096);
    uint64_t loaded = UINT64_MAX;
    const auto entry = [&](uint64_t e) -> const uint8_t* {
        if (e / 4096 != loaded) {
            loaded = e / 4096;
            const uint64_t first = loaded * 4096;
            const size_t want = size_t(std::min<uint64_t>(count - first, 4096) * 16);
            if (m_source.ReadAt(m_index + first * 16, block.data(), want) != want)
                return nullptr;
        }
        return &block[size_t(e % 4096) * 16];
    };
    const auto same = [&](const uint8_t* p, const AviChunk& c) {
        return AviLe32(p) == c.Id && AviLe32(p + 12) == c.Size;
    };
    std::vector<AviChunk> merged;
    merged.reserve(m_chunks.size());
    size_t j = 0;
    bool right = true;
    uint64_t fillers = 0;
    constexpr uint64_t kLookAhead = 256;
    int64_t delta = 0;
    uint64_t matched = 0;
    for (uint64_t e = 0; e < count; ++e) {
        if (e % 4096 == 0)
            m_progress.Check();
        const uint8_t* p = entry(e);
        if (!p) {
            right = false;
            break;
        }
        const uint32_t id = AviLe32(p);
        const uint32_t flags = AviLe32(p + 4);
        const uint64_t at = base + AviLe32(p + 8);
        const uint32_t size = AviLe32(p + 12);
        const int stream = AviStreamOf(id);
        if ((id & 0xFFFF) == AviTag('r', 'e', 0, 0))
            continue; // a `rec ` list of an interleaved file
        if (stream < 0 || size_t(stream) >= m_header.Streams.size() || size > kAviMaxChunk) {
            right = false;
            continue;
        }
        if (j == m_chunks.size()) {
            right = false;
            if (m_cutShort)
                ++m_lostAtEnd[size_t(stream)];
            continue;
        }
        // Entries and chunks are matched in order and by place; inserted or lost bytes move the data
        // after them, so the place is taken relative to the last match.
        const AviChunk& chunk = m_chunks[j];
        if (chunk.Id == id && at + delta == chunk.At - 8) {
            AviChunk c = chunk;
            ++j;
            if (delta != 0 || c.Size != size)
                right = false;
            c.Flags |= AviChunk::Indexed;
            if (flags & kAviKeyFrame)
                c.Flags |= AviChunk::Key;
            merged.push_back(c);
            ++matched;
            continue;
        }
        right = false;
        if (!(chunk.Flags & AviChunk::AfterGap)) {
            merged.push_back(chunk); // a chunk no entry names: kept as found
            ++j;
            --e;
            continue;
        }
        // The first chunk after damage: the entries before the one that names it were lost with the
        // damage. It is named in its place, or, when the damage moved the data, by its id and size.
        uint64_t found = count;
        for (uint64_t k = e; k < count && k <= e + kLookAhead && found == count; ++k) {
            const uint8_t* q = entry(k);
            if (q && AviLe32(q) == chunk.Id && base + AviLe32(q + 8) + delta == chunk.At - 8)
                found = k;
        }
        for (uint64_t k = e; k < count && k <= e + kLookAhead && found == count; ++k) {
            const uint8_t* q = entry(k);
            if (q && same(q, chunk)) {
                found = k;
                delta = int64_t(chunk.At - 8) - int64_t(base + AviLe32(q + 8));
            }
        }
        if (found == count) {
            merged.push_back(chunk);
            ++j;
            --e;
            continue;
        }
        for (uint64_t k = e; k < found; ++k) {
            const uint8_t* q = entry(k);
            if (!q)
                break;
            const int lost = AviStreamOf(AviLe32(q));
            if (lost < 0 || size_t(lost) >= m_header.Streams.size() || AviLe32(q + 12) > kAviMaxChunk)
                continue;
            AviChunk c;
            c.Id = AviLe32(q);
            c.Size = AviLe32(q + 12);
            c.Stream = uint16_t(lost);
            c.Flags = AviChunk::Filler | AviChunk::Indexed
                | ((AviLe32(q + 4) & kAviKeyFrame) ? AviChunk::Key : 0);
            merged.push_back(c);
            ++fillers;
        }
        e = found - 1; // the entry that names the chunk comes next
    }
    while (j < m_chunks.size()) {
        if (m_chunks[j].At < m_firstMoviEnd)
            right = false;
        merged.push_back(m_chunks[j++]);
    }
    if (matched == 0) {
        // An index that names none of the chunks tells nothing about the ones lost either.
        std::fill(m_lostAtEnd.begin(), m_lostAtEnd.end(), 0);
        m_findings.push_back("the index does not match the data");
        m_structureRight = false;
        EstimateLost();
        return;
    }
    m_chunks.swap(merged);
    m_indexed = right && (!m_extended || !m_header.SuperIndexAt.empty());
    if (!right) {
        m_findings.push_back("the index is wrong");
        m_structureRight = false;
    }
    if (fillers)
        m_findings.push_back("the index places " + std::to_string(fillers) + " chunks lost to damage");
}

} // namespace repair
