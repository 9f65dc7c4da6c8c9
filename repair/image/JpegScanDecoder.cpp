// SPDX-License-Identifier: MIT
#include "JpegScanDecoder.h"

#include "JpegPlan.h"
#include "Progress.h"

#include <algorithm>
#include <cstdlib>

namespace repair {

namespace {

constexpr int kMaxDcCategory = 11; // 8-bit samples
constexpr int kMaxAcSize = 10;
constexpr uint64_t kMaxFilledBlocks = uint64_t(1) << 24;

int Category(int value)
{
    int magnitude = std::abs(value), s = 0;
    while (magnitude) {
        ++s;
        magnitude >>= 1;
    }
    return s;
}

} // namespace

JpegScanDecoder::JpegScanDecoder(ByteReader& source, const JpegFrame& frame, const JpegScan& scan,
    const JpegTables& tables, uint32_t restartInterval, JpegHistory* history)
    : m_source(source)
    , m_frame(frame)
    , m_scan(scan)
    , m_tables(tables)
    , m_interval(restartInterval)
    , m_history(history && !history->empty() ? history : nullptr)
    , m_bits(source)
{
}

void JpegScanDecoder::ResetState()
{
    m_pred.fill(0);
    m_eobrun = 0;
}

template <class Visit> bool JpegScanDecoder::ForBlocks(uint64_t mcu, Visit&& visit)
{
    if (m_scan.Components.size() == 1) {
        const size_t ci = size_t(m_scan.Components[0]);
        const JpegComponent& c = m_frame.Components[ci];
        const uint64_t bx = mcu % c.BlocksWide, by = mcu / c.BlocksWide;
        m_scratch = 0;
        uint64_t* word = m_history ? &(*m_history)[ci][by * c.PaddedWide + bx] : &m_scratch;
        return visit(0, word);
    }
    const uint64_t mx = mcu % m_frame.McusWide, my = mcu / m_frame.McusWide;
    for (size_t s = 0; s < m_scan.Components.size(); ++s) {
        const size_t ci = size_t(m_scan.Components[s]);
        const JpegComponent& c = m_frame.Components[ci];
        for (uint64_t v = 0; v < c.V; ++v)
            for (uint64_t h = 0; h < c.H; ++h) {
                m_scratch = 0;
                uint64_t* word = m_history ? &(*m_history)[ci][(my * c.V + v) * c.PaddedWide + mx * c.H + h]
                                           : &m_scratch;
                if (!visit(int(s), word))
                    return false;
            }
    }
    return true;
}

bool JpegScanDecoder::DecodeMcu(uint64_t mcu)
{
    // A failed MCU is replaced by ours, so it must leave no trace in what later scans depend on.
    uint64_t* single = nullptr;
    uint64_t saved = 0;
    const bool ok = ForBlocks(mcu, [&](int s, uint64_t* word) {
        if (!single) {
            single = word;
            saved = *word;
        }
        return DecodeBlock(s, word);
    });
    if (!ok && single && m_scan.Components.size() == 1)
        *single = saved;
    return ok;
}

bool JpegScanDecoder::DecodeBlock(int s, uint64_t* history)
{
    const auto& dc = m_tables.Dc[m_scan.Td[size_t(s)]];
    const auto& ac = m_tables.Ac[m_scan.Ta[size_t(s)]];
    uint32_t v = 0;
    if (!m_frame.Progressive || m_scan.Ss == 0) {
        if (m_frame.Progressive && m_scan.Ah != 0)
            return m_bits.Read(1, v);
        const int t = m_bits.Decode(dc);
        if (t < 0 || t > kMaxDcCategory || !m_bits.Read(t, v))
            return false;
        m_pred[size_t(s)] += (t && v < (1u << (t - 1))) ? int(v) - (1 << t) + 1 : int(v);
        if (m_frame.Progressive)
            return true;
        for (int k = 1; k < 64;) {
            const int rs = m_bits.Decode(ac);
            if (rs < 0)
                return false;
            const int r = rs >> 4, size = rs & 15;
            if (size) {
                k += r;
                if (k > 63 || size > kMaxAcSize || !m_bits.Read(size, v))
                    return false;
                ++k;
            } else {
                if (r != 15)
                    break;
                k += 16;
                if (k > 64)
                    return false;
            }
        }
        return true;
    }
    const int se = m_scan.Se;
    if (m_scan.Ah == 0) {
        if (m_eobrun > 0) {
            --m_eobrun;
            return true;
        }
        for (int k = m_scan.Ss; k <= se; ++k) {
            const int rs = m_bits.Decode(ac);
            if (rs < 0)
                return false;
            const int r = rs >> 4, size = rs & 15;
            if (size) {
                k += r;
                if (k > se || size > kMaxAcSize || !m_bits.Read(size, v))
                    return false;
                *history |= uint64_t(1) << k;
            } else if (r < 15) {
                m_eobrun = 1u << r;
                if (r) {
                    if (!m_bits.Read(r, v))
                        return false;
                    m_eobrun += v;
                }
                --m_eobrun;
                break;
            } else {
                k += 15;
                if (k > se)
                    return false;
            }
        }
        return true;
    }
    // Refinement: each coefficient already non-zero takes a correction bit wherever the coding passes it.
    int k = m_scan.Ss;
    if (m_eobrun == 0) {
        for (; k <= se; ++k) {
            const int rs = m_bits.Decode(ac);
            if (rs < 0)
                return false;
            int r = rs >> 4;
            const int size = rs & 15;
            if (size) {
                if (size != 1 || !m_bits.Read(1, v))
                    return false;
            } else if (r != 15) {
                m_eobrun = 1u << r;
                if (r) {
                    if (!m_bits.Read(r, v))
                        return false;
                    m_eobrun += v;
                }
                break;
            }
            do {
                if ((*history >> k) & 1) {
                    if (!m_bits.Read(1, v))
                        return false;
                } else if (--r < 0) {
                    break;
                }
                ++k;
            } while (k <= se);
            if (size) {
                if (k > se)
                    return false;
                *history |= uint64_t(1) << k;
            }
        }
    }
    if (m_eobrun > 0) {
        for (; k <= se; ++k)
            if (((*history >> k) & 1) && !m_bits.Read(1, v))
                return false;
        --m_eobrun;
    }
    return true;
}

bool JpegScanDecoder::PutDc(const JpegHuffman& table, int diff, JpegBitWriter& out)
{
    const int t = Category(diff);
    if (t > kMaxDcCategory || !table.Has(uint8_t(t)))
        return false;
    out.Put(table.Code(uint8_t(t)), table.Size(uint8_t(t)));
    if (t)
        out.Put(uint32_t(diff < 0 ? diff - 1 : diff) & ((1u << t) - 1), t);
    return true;
}

bool JpegScanDecoder::FillBlock(int s, uint64_t* history, JpegBitWriter& out)
{
    const auto& dc = m_tables.Dc[m_scan.Td[size_t(s)]];
    const auto& ac = m_tables.Ac[m_scan.Ta[size_t(s)]];
    if (!m_frame.Progressive || m_scan.Ss == 0) {
        if (m_frame.Progressive && m_scan.Ah != 0) {
            out.Put(0, 1);
            return true;
        }
        // Back to the level of mid-grey where the table allows; otherwise the colour of the block before.
        int& pred = m_pred[size_t(s)];
        if (PutDc(dc, -pred, out))
            pred = 0;
        else if (!PutDc(dc, 0, out))
            return false;
        if (m_frame.Progressive)
            return true;
        if (!ac.Has(0))
            return false;
        out.Put(ac.Code(0), ac.Size(0));
        return true;
    }
    if (m_eobrun == 0 && !PutEobRun(ac, m_fillLeft, out))
        return false;
    --m_eobrun;
    if (m_scan.Ah != 0)
        for (int k = m_scan.Ss; k <= m_scan.Se; ++k)
            if ((*history >> k) & 1)
                out.Put(0, 1);
    return true;
}

bool JpegScanDecoder::PutEobRun(const JpegHuffman& ac, uint64_t wanted, JpegBitWriter& out)
{
    // One run over the blocks left where a symbol's range holds it; a run past the interval's end is
    // harmless (the decoder drops it at the end), so the shortest run present serves when nothing fits.
    int fit = -1, below = -1, above = -1;
    for (int r = 0; r <= 14; ++r) {
        if (!ac.Has(uint8_t(r << 4)))
            continue;
        const uint64_t low = uint64_t(1) << r;
        if (low <= wanted && wanted < 2 * low)
            fit = r;
        if (low <= wanted)
            below = r;
        else if (above < 0)
            above = r;
    }
    const int best = fit >= 0 ? fit : (below >= 0 ? below : above);
    if (best < 0)
        return false;
    const uint64_t low = uint64_t(1) << best;
    const uint64_t run = wanted < low ? low : std::min(wanted, 2 * low - 1);
    out.Put(ac.Code(uint8_t(best << 4)), ac.Size(uint8_t(best << 4)));
    if (best)
        out.Put(uint32_t(run - low), best);
    m_eobrun = uint32_t(run);
    return true;
}

bool JpegScanDecoder::FillMcus(uint64_t mcu, uint64_t count, JpegBitWriter& out)
{
    // A frame that claims a vast image over a few bytes of data would have us write gigabytes of ours.
    uint64_t perMcu = 0;
    for (int ci : m_scan.Components)
        perMcu += m_scan.Components.size() == 1
            ? 1
            : uint64_t(m_frame.Components[size_t(ci)].H) * m_frame.Components[size_t(ci)].V;
    m_filledBlocks += count * perMcu;
    if (m_filledBlocks > kMaxFilledBlocks) {
        m_tooMuchLost = true;
        return false;
    }
    m_fillLeft = count;
    for (uint64_t i = 0; i < count; ++i, m_fillLeft = count - i)
        if (!ForBlocks(mcu + i, [&](int s, uint64_t* word) { return FillBlock(s, word, out); }))
            return false;
    return true;
}

bool JpegScanDecoder::MarkerFollows(uint64_t& dataEnd, uint64_t& markerAt, uint8_t& code)
{
    uint64_t offset = 0;
    int used = 0;
    m_bits.Position(offset, used);
    dataEnd = used ? offset + (m_bits.ByteAt(offset) == 0xFF ? 2 : 1) : offset;
    uint64_t p = dataEnd;
    while (m_bits.ByteAt(p) == 0xFF && m_bits.ByteAt(p + 1) == 0xFF)
        ++p;
    const int b = m_bits.ByteAt(p);
    if (b < 0) {
        markerAt = p;
        code = 0;
        return true;
    }
    const int c = m_bits.ByteAt(p + 1);
    if (b != 0xFF || c <= 0)
        return false;
    markerAt = p;
    code = uint8_t(c);
    return true;
}

bool PlausibleJpegSegment(JpegBitReader& bytes, uint64_t size, uint64_t at, uint8_t code)
{
    const bool known = code == jpeg::kDht || code == jpeg::kSos || code == jpeg::kDqt || code == jpeg::kDri
        || code == jpeg::kDnl || jpeg::IsAppOrCom(code);
    if (!known)
        return false;
    const int hi = bytes.ByteAt(at + 2), lo = bytes.ByteAt(at + 3);
    if (hi < 0 || lo < 0)
        return false;
    const uint64_t length = uint64_t(hi) << 8 | uint64_t(lo);
    if (length < 2 || at + 2 + length > size)
        return false;
    if (code == jpeg::kSos) {
        const int ns = bytes.ByteAt(at + 4);
        return ns >= 1 && ns <= 4 && length == uint64_t(6 + 2 * ns);
    }
    return bytes.ByteAt(at + 2 + length) == 0xFF;
}

bool FindJpegMarker(JpegBitReader& bytes, uint64_t size, uint64_t from, uint64_t& markerAt, uint8_t& code)
{
    for (uint64_t p = from;; ++p) {
        const int b = bytes.ByteAt(p);
        if (b < 0) {
            code = 0;
            return false;
        }
        if (b != 0xFF)
            continue;
        const int c = bytes.ByteAt(p + 1);
        if (c <= 0 || c == 0xFF)
            continue;
        if (jpeg::IsRst(uint8_t(c)) || c == jpeg::kEoi || PlausibleJpegSegment(bytes, size, p, uint8_t(c))) {
            markerAt = p;
            code = uint8_t(c);
            return true;
        }
    }
}

std::string JpegScanDecoder::Rows(uint64_t first, uint64_t end) const
{
    uint64_t perRow = 0, rowHeight = 0;
    if (m_scan.Components.size() == 1) {
        const JpegComponent& c = m_frame.Components[size_t(m_scan.Components[0])];
        perRow = c.BlocksWide;
        rowHeight = 8u * m_frame.Vmax / c.V;
    } else {
        perRow = m_frame.McusWide;
        rowHeight = 8u * m_frame.Vmax;
    }
    const uint64_t top = first / perRow * rowHeight;
    const uint64_t bottom = std::min<uint64_t>(m_frame.Height, ((end - 1) / perRow + 1) * rowHeight) - 1;
    return top == bottom ? "row " + std::to_string(top)
                         : "rows " + std::to_string(top) + "-" + std::to_string(bottom);
}

JpegScanOutcome JpegScanDecoder::Run(uint64_t dataStart, JpegPlan& plan, Progress& progress)
{
    JpegScanOutcome out;
    const uint64_t total = m_scan.Mcus(m_frame);
    out.Mcus = total;
    uint64_t markerAt = 0;
    uint8_t code = 0;

    if (m_frame.Progressive && m_scan.Ss > 0 && m_scan.Ah > 0 && !m_history) {
        // Without the history a refining scan's length cannot be followed: kept as far as its end.
        uint64_t from = dataStart;
        while (FindMarker(from, markerAt, code) && jpeg::IsRst(code))
            from = markerAt + 2;
        out.End = code && !jpeg::IsRst(code) ? markerAt : m_source.Size();
        plan.Copy(dataStart, out.End - dataStart);
        progress.Advance(out.End - dataStart);
        out.Unchecked = true;
        out.Kept = total;
        return out;
    }

    const uint64_t per = m_interval ? m_interval : total;
    const uint64_t intervals = (total + per - 1) / per;
    uint64_t start = dataStart, cleanBytes = 0, cleanCount = 0;
    // Records lost stretches as ranges of rows, merging neighbours.
    std::vector<std::pair<uint64_t, uint64_t>> lost;
    auto addLost = [&](uint64_t from, uint64_t to) {
        if (from >= to)
            return;
        out.Damaged = true;
        if (!lost.empty() && lost.back().second == from)
            lost.back().second = to;
        else
            lost.emplace_back(from, to);
    };
    // The marker before interval `j`: the source's own where it is the right one just before `dataAt`,
    // so that the plan of a sound stretch stays one piece however many intervals it holds.
    auto emitRst = [&](uint64_t j, uint64_t dataAt = 0) {
        if (j == 0)
            return;
        const uint8_t marker = uint8_t(jpeg::kRst0 + ((j - 1) & 7));
        if (dataAt >= 2 && m_bits.ByteAt(dataAt - 2) == 0xFF && m_bits.ByteAt(dataAt - 1) == marker)
            plan.Copy(dataAt - 2, 2);
        else
            plan.AddMarker(marker);
    };
    auto fillIntervals = [&](uint64_t from, uint64_t to) {
        for (uint64_t i = from; i < to; ++i) {
            const uint64_t first = i * per, n = std::min(per, total - first);
            emitRst(i);
            ResetState();
            JpegBitWriter w;
            if (!FillMcus(first, n, w))
                out.Filled = false;
            plan.Add(w.Finish());
            addLost(first, first + n);
        }
    };
    auto finish = [&](uint64_t end) {
        out.End = end;
        out.TooMuchLost = m_tooMuchLost;
        for (const auto& [a, b] : lost)
            out.Lost.push_back(Rows(a, b));
        return out;
    };

    for (uint64_t j = 0; j < intervals;) {
        progress.Check();
        const uint64_t first = j * per, n = std::min(per, total - first);
        m_bits.Reset(start);
        ResetState();
        uint64_t k = 0, atOffset = start, lastReported = start;
        int atBits = 0;
        std::array<int, 4> pred {};
        uint32_t eobrun = 0;
        for (; k < n; ++k) {
            m_bits.Position(atOffset, atBits);
            pred = m_pred;
            eobrun = m_eobrun;
            if (!DecodeMcu(first + k)) {
                m_pred = pred;
                m_eobrun = eobrun;
                break;
            }
            if ((k & 1023) == 1023) {
                progress.Check();
                progress.Advance(atOffset - lastReported);
                lastReported = atOffset;
            }
        }
        uint64_t dataEnd = 0;
        const bool decoded = k == n;
        const bool exact = decoded && MarkerFollows(dataEnd, markerAt, code);
        if (decoded)
            m_bits.Position(atOffset, atBits);
        progress.Advance(atOffset - lastReported);
        if (exact) {
            emitRst(j, start);
            plan.Copy(start, dataEnd - start);
            out.Kept += n;
            cleanBytes += dataEnd - start;
            ++cleanCount;
            if (j + 1 < intervals) {
                if (jpeg::IsRst(code)) {
                    start = markerAt + 2;
                    ++j;
                    continue;
                }
                // The scan ends before its count: the intervals after this one are lost.
                fillIntervals(j + 1, intervals);
                return finish(code ? markerAt : m_source.Size());
            }
            if (jpeg::IsRst(code)) {
                // More intervals than the image holds: what follows the last one is dropped.
                out.Damaged = true;
                uint64_t from = markerAt + 2;
                while (FindMarker(from, markerAt, code) && jpeg::IsRst(code))
                    from = markerAt + 2;
                return finish(code && !jpeg::IsRst(code) ? markerAt : m_source.Size());
            }
            return finish(code ? markerAt : m_source.Size());
        }

        const bool atEnd = m_bits.Stopped() && m_bits.StopOffset() >= m_source.Size();
        if (per == total || atEnd || (decoded && j + 1 == intervals)) {
            // Keep the MCUs that decoded, then ours to the scan's end.
            emitRst(j);
            plan.Copy(start, atOffset - start);
            JpegBitWriter w;
            if (atBits)
                w.Put(uint32_t(m_bits.ByteAt(atOffset)) >> (8 - atBits), atBits);
            if (!FillMcus(first + k, n - k, w))
                out.Filled = false;
            plan.Add(w.Finish());
            out.Kept += k;
            out.Damaged = true;
            addLost(first + k, first + n);
            fillIntervals(j + 1, intervals);
            if (atEnd)
                return finish(m_source.Size());
            const uint64_t from = m_bits.Stopped() ? m_bits.StopOffset() : atOffset;
            uint64_t from2 = from;
            while (FindMarker(from2, markerAt, code) && jpeg::IsRst(code))
                from2 = markerAt + 2;
            return finish(code && !jpeg::IsRst(code) && markerAt >= from ? markerAt : m_source.Size());
        }

        // A damaged interval in the middle: all of it becomes ours, and decoding resumes at the next
        // restart marker, whose number (with the bytes skipped) tells which interval follows it.
        fillIntervals(j, j + 1);
        const uint64_t from = m_bits.Stopped() ? m_bits.StopOffset() : atOffset;
        if (!FindMarker(from, markerAt, code)) {
            fillIntervals(j + 1, intervals);
            return finish(m_source.Size());
        }
        if (!jpeg::IsRst(code)) {
            fillIntervals(j + 1, intervals);
            return finish(markerAt);
        }
        const uint64_t average = cleanCount ? cleanBytes / cleanCount : 0;
        const uint64_t guess = average ? (markerAt - start) / average : 0; // intervals the damage spans
        uint64_t next = 0;
        uint64_t bestDistance = UINT64_MAX;
        for (uint64_t t = 0; t < 8 + guess; ++t) {
            const uint64_t i = j + 1 + t;
            if (i >= intervals || ((i - 1) & 7) != uint64_t(code - jpeg::kRst0))
                continue;
            const uint64_t distance = t + 1 > guess ? t + 1 - guess : guess - t - 1;
            if (distance < bestDistance) {
                bestDistance = distance;
                next = i;
            }
        }
        if (next == 0) {
            fillIntervals(j + 1, intervals);
            uint64_t from2 = markerAt + 2;
            while (FindMarker(from2, markerAt, code) && jpeg::IsRst(code))
                from2 = markerAt + 2;
            return finish(code && !jpeg::IsRst(code) ? markerAt : m_source.Size());
        }
        fillIntervals(j + 1, next);
        start = markerAt + 2;
        j = next;
    }
    return finish(start);
}

} // namespace repair
