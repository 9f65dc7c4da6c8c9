// SPDX-License-Identifier: MIT
#include "Mp3Walk.h"

#include "InfoFrame.h"

#include <algorithm>
#include <cstring>

namespace repair {

namespace {

// The longest frame there is (layer I at 448 kbit/s, 32 kHz, or layer II/III at the top rate) and a
// header after it.
constexpr size_t kFrameLook = 2900;
// Zeros at the very end are a lost tail, not a frame: the frame before them still ends the stream.
constexpr uint64_t kZeroTail = 64 * 1024;
// The reservoir reaches back 511 bytes at most; counting further only needs a bound.
constexpr uint64_t kReservoirBound = 4096;
// The reservoir's reach: 9 bits of back pointer.
constexpr uint32_t kMaxCarry = 511;

bool TagStarts(const uint8_t* p, size_t n)
{
    return (n >= 3 && (std::memcmp(p, "TAG", 3) == 0 || std::memcmp(p, "ID3", 3) == 0))
        || (n >= 8 && std::memcmp(p, "APETAGEX", 8) == 0) || (n >= 6 && std::memcmp(p, "LYRICS", 6) == 0);
}

} // namespace

Mp3Walk::Mp3Walk(ByteWindow& window, uint64_t start, uint64_t end, const Mp3Header& stream)
    : m_window(window)
    , m_pos(start)
    , m_end(end)
    , m_stream(stream)
    , m_lastEnd(start)
{
}

std::optional<Mp3Header> Mp3Walk::FindStream(ByteWindow& window, uint64_t start, uint64_t end)
{
    for (uint64_t at = start; at + 4 <= end; ++at) {
        size_t n = 0;
        const uint8_t* p = window.At(at, 4, n);
        if (p[0] != 0xFF)
            continue;
        const auto first = Mp3Header::Parse(p);
        if (!first)
            continue;
        // Four frames in a row, or a shorter run that ends exactly at the end.
        uint64_t next = at + first->Length;
        int run = 1;
        while (run < 4 && next + 4 <= end) {
            uint8_t h[4];
            window.Read(next, h, 4);
            const auto following = Mp3Header::Parse(h);
            if (!following || !following->SameStream(*first))
                break;
            next += following->Length;
            ++run;
        }
        if (run == 4 || next == end)
            return first;
    }
    return std::nullopt;
}

bool Mp3Walk::Chained(uint64_t at, const Mp3Header& h)
{
    const uint64_t next = at + h.Length;
    if (next > m_end)
        return false;
    if (m_end - next < 4)
        return true;
    uint8_t p[8] = {};
    const size_t n = size_t(std::min<uint64_t>(8, m_end - next));
    m_window.Read(next, p, n);
    if (const auto following = Mp3Header::Parse(p))
        if (following->SameStream(m_stream))
            return true;
    if (TagStarts(p, n))
        return true;
    if (m_end - next <= kZeroTail) {
        for (uint64_t z = next; z < m_end;) {
            size_t available = 0;
            const uint8_t* b = m_window.At(z, size_t(m_end - z), available);
            const size_t count = size_t(std::min<uint64_t>(available, m_end - z));
            if (count == 0 || std::any_of(b, b + count, [](uint8_t c) { return c != 0; }))
                return false;
            z += count;
        }
        return true;
    }
    return false;
}

// A last frame cut short keeps its sound when everything it decodes from lies in the bytes there: its side
// information, the reservoir before it and its own main data. Zeros complete it.
bool Mp3Walk::Completable(const Mp3Header& h, const uint8_t* bytes, uint64_t present)
{
    if (h.Layer != 3 || !m_started || present < h.SideInfoAt() + h.SideInfoSize() || !FrameCrcHolds(h, bytes))
        return false;
    const Mp3SideInfo side = ReadSideInfo(h, bytes);
    const uint64_t own = present - h.SideInfoAt() - h.SideInfoSize();
    return side.Plausible && side.MainDataBegin <= m_reservoir
        && (side.MainBits + 7) / 8 <= side.MainDataBegin + own;
}

// How many of the `limit` bytes before `end` look like main data: the bytes back to the first header of the
// stream (they would belong to a frame, not to its data) or long run of zeros (the usual mark of damage).
uint32_t Mp3Walk::IntactTail(uint64_t end, uint32_t limit)
{
    uint8_t bytes[kMaxCarry + 4] = {};
    limit = std::min(limit, kMaxCarry);
    if (!m_window.Read(end - limit, bytes, limit + std::min<uint64_t>(4, m_end - end)))
        m_window.Read(end - limit, bytes, limit);
    uint32_t zeros = 0;
    for (uint32_t back = 1; back <= limit; ++back) {
        const uint8_t* b = bytes + limit - back;
        zeros = *b ? 0 : zeros + 1;
        if (zeros >= 16)
            return back - zeros;
        if (*b == 0xFF)
            if (const auto h = Mp3Header::Parse(b); h && h->SameStream(m_stream))
                return back - 1;
    }
    return limit;
}

void Mp3Walk::Garbage(uint64_t count)
{
    m_findings.GarbageBytes += count;
    m_findings.EndLost = true;
    m_reservoir = 0;
}

bool Mp3Walk::Next(Mp3Frame& frame)
{
    while (m_pos + 4 <= m_end) {
        size_t n = 0;
        const uint8_t* p = m_window.At(m_pos, 4, n);
        const auto h = p[0] == 0xFF ? Mp3Header::Parse(p) : std::nullopt;
        if (!h || !h->SameStream(m_stream)) {
            if (!m_started && p[0] == 0)
                ++m_findings.PaddingBytes;
            else
                Garbage(1);
            m_findings.LeadingGarbage |= !m_started && p[0] != 0;
            ++m_pos;
            continue;
        }
        if (m_pos + h->Length > m_end) {
            const uint64_t present = m_end - m_pos;
            const uint8_t* bytes = m_window.At(m_pos, kFrameLook, n);
            if (Completable(*h, bytes, present)) {
                frame = { m_pos, *h, false, false, uint32_t(present) };
                m_findings.Completed = true;
                m_findings.EndLost = true; // the frames after it went with the cut
                ++m_findings.Frames;
                m_findings.Bytes += h->Length;
                m_pos = m_end;
                return true;
            }
            // Either the last frame, cut, or a false sync in the bytes that end the file: gone either way.
            ++m_findings.CutShort;
            m_findings.EndLost = true;
            m_reservoir = 0;
            m_pos = m_end;
            return false;
        }
        if (!Chained(m_pos, *h)) {
            Garbage(1);
            ++m_pos;
            continue;
        }
        const uint8_t* bytes = m_window.At(m_pos, kFrameLook, n);
        const uint64_t at = m_pos;
        m_pos += h->Length;
        if (h->Layer == 3) {
            if (!FrameCrcHolds(*h, bytes)) {
                ++m_findings.CrcFailed;
                m_findings.EndLost = true;
                m_reservoir = 0;
                continue;
            }
            if (!m_started && InfoFrame::Find(*h, bytes)) {
                m_started = true;
                m_lastEnd = m_pos;
                m_findings.Bytes += h->Length;
                frame = { at, *h, true, false };
                return true;
            }
            const Mp3SideInfo side = ReadSideInfo(*h, bytes);
            if (!side.Plausible) {
                ++m_findings.Implausible;
                m_findings.EndLost = true;
                m_reservoir = 0;
                continue;
            }
            // A shortfall the decoder can see (fewer bytes before the frame than it borrows, as when it tunes
            // in to a stream) it handles by leaving out what it cannot decode; only where the bytes before
            // are not the ones the frame borrows would it decode the wrong ones.
            frame = { at, *h, false, side.MainDataBegin > m_reservoir && side.MainDataBegin <= m_decoderHas };
            // Right after a loss, the bytes the frame borrows may still be there, as the tail of the frame
            // that was lost: a silent frame in its place carries them, so that this one decodes. What is
            // left of them serves the frames after it, even when this one must stay silent.
            if (frame.Silenced && m_reservoir == 0) {
                const uint32_t carry = std::min(side.MainDataBegin,
                    IntactTail(at, uint32_t(std::min<uint64_t>(at - m_lastEnd, kMaxCarry))));
                if (const auto carrier = carry ? CarrierHeader(bytes, carry) : std::nullopt) {
                    frame.Silenced = carry < side.MainDataBegin;
                    frame.Carry = carry;
                    frame.CarrierHeader = *carrier;
                    ++m_findings.Carriers;
                    ++m_findings.Frames;
                    m_findings.Bytes += Mp3Header::Parse(carrier->data())->Length;
                    m_reservoir = carry;
                    m_decoderHas += Mp3Header::Parse(carrier->data())->DataArea();
                }
            }
            // The second granule's data comes after the first's: when only the first reaches back into what
            // was lost, the frame keeps its second half.
            if (frame.Silenced && h->Version == 3
                && side.FirstGranuleBits >= 8 * uint64_t(side.MainDataBegin - m_reservoir)) {
                frame.Silenced = false;
                frame.QuietFirst = true;
                ++m_findings.HalfSilenced;
            }
            m_reservoir = std::min(m_reservoir + h->DataArea(), kReservoirBound);
            m_decoderHas = std::min(m_decoderHas + h->DataArea(), kReservoirBound);
        } else {
            frame = { at, *h, false, false };
        }
        m_started = true;
        m_lastEnd = m_pos;
        m_findings.EndLost = false;
        m_findings.Silenced += frame.Silenced;
        ++m_findings.Frames;
        m_findings.Bytes += h->Length;
        return true;
    }
    if (m_pos < m_end) {
        Garbage(m_end - m_pos);
        m_pos = m_end;
    }
    return false;
}

} // namespace repair
