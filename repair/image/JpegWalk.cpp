// SPDX-License-Identifier: MIT
#include "JpegWalk.h"

#include "Progress.h"

#include <algorithm>
#include <cstdio>

namespace repair {

namespace {

std::string Hex(uint8_t code)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", code);
    return text;
}

} // namespace

JpegWalk::JpegWalk(ByteReader& source, Progress& progress)
    : m_source(source)
    , m_progress(progress)
    , m_bytes(source)
{
}

bool JpegWalk::Resync(uint64_t from, uint64_t& at)
{
    uint8_t code = 0;
    while (FindJpegMarker(m_bytes, m_source.Size(), from, at, code)) {
        if (!jpeg::IsRst(code))
            return true;
        from = at + 2;
    }
    return false;
}

JpegFindings JpegWalk::Run()
{
    const uint64_t size = m_source.Size();
    uint64_t at = 2;
    bool rebuilt = false;
    if (m_bytes.ByteAt(0) == 0xFF && m_bytes.ByteAt(1) == jpeg::kSoi) {
        m_plan.Copy(0, 2);
    } else if (FindHeaders(at)) {
        // The image's own tables, frame and first scan header survived the damage: a new start before them.
        rebuilt = true;
        m_plan.AddMarker(jpeg::kSoi);
        m_found.Damaged = true;
        m_found.Messages.push_back(
            "the start of the file was lost: the headers of an image found at offset " + std::to_string(at));
        m_found.Lost.push_back("the file's start (metadata)");
    } else {
        m_found.Damaged = true;
        m_found.Messages.push_back("the start of the image is lost, and with it what is needed to decode it");
        return m_found;
    }
    uint64_t endMarker = 0;
    bool ended = false;
    for (;;) {
        m_progress.Check();
        const int b = m_bytes.ByteAt(at);
        if (b < 0)
            break;
        uint64_t p = at;
        if (b == 0xFF)
            while (m_bytes.ByteAt(p + 1) == 0xFF)
                ++p;
        const int c = b == 0xFF ? m_bytes.ByteAt(p + 1) : -2;
        if (c == -1)
            break;
        if (c == jpeg::kEoi) {
            ended = true;
            endMarker = p + 2;
            break;
        }
        const int hi = m_bytes.ByteAt(p + 2), lo = m_bytes.ByteAt(p + 3);
        const uint64_t length = hi >= 0 && lo >= 0 ? uint64_t(hi) << 8 | uint64_t(lo) : 0;
        if (c >= 0 && lo < 0)
            break; // cut short within a marker
        if (c < 0 || c == 0 || c == 1 || c == jpeg::kSoi || jpeg::IsRst(uint8_t(c)) || length < 2) {
            uint64_t found = 0;
            const bool more = Resync(p + 1, found);
            m_found.Damaged = true;
            m_found.Messages.push_back(std::to_string((more ? found : size) - at)
                + " bytes that belong to no segment skipped at offset " + std::to_string(at));
            m_progress.Advance((more ? found : size) - at);
            if (!more)
                break;
            at = found;
            continue;
        }
        if (p + 2 + length > size) {
            m_found.Damaged = true;
            m_found.Messages.push_back("cut short within a " + Hex(uint8_t(c)) + " segment");
            break;
        }
        std::vector<uint8_t> body(size_t(length - 2));
        if (m_source.ReadAt(p + 4, body.data(), body.size()) != body.size())
            break;
        uint64_t next = 0;
        if (!Segment(p, uint8_t(c), body, next))
            break;
        at = next;
    }
    if (m_found.Unsupported || m_found.TooMuchLost)
        return m_found;
    if (rebuilt && ended && size - endMarker > kTrailingSlack) {
        // Much more follows the image found: it was one embedded in the lost start (a thumbnail), and the
        // image itself cannot be told apart.
        m_found.Kept = 0;
        m_found.Messages.push_back(
            "what remains of the headers belongs to an embedded thumbnail, not to the image");
        return m_found;
    }
    if (!m_haveFrame || m_found.Scans == 0) {
        m_found.Damaged = true;
        m_found.Kept = 0;
        m_found.Messages.push_back("no image data could be found");
        return m_found;
    }
    if (!ended) {
        m_found.Damaged = true;
        m_found.Messages.push_back("the end marker is missing: the file was cut short");
        // Later scans of a progressive image cannot be counted; they may be lost.
        if (m_frame.Progressive) {
            m_found.Complete = false;
            m_found.Lost.push_back("any scans after scan " + std::to_string(m_found.Scans));
        }
    }
    for (size_t i = 0; i < m_covered.size(); ++i)
        if (!m_covered[i]) {
            m_found.Complete = false;
            m_found.Lost.push_back("colour component " + std::to_string(m_frame.Components[i].Id));
        }
    m_plan.AddMarker(jpeg::kEoi);
    return m_found;
}

bool JpegWalk::FindHeaders(uint64_t& start)
{
    // Chains of segments that hold a frame header and lead to a scan; the last such scan is the image's
    // (an embedded thumbnail comes before it), and its chain is taken from its earliest segment.
    const uint64_t limit = std::min<uint64_t>(m_source.Size(), kHeadSearch);
    uint64_t bestScan = 0;
    bool found = false;
    for (uint64_t p = 0; p + 4 < limit; ++p) {
        if (m_bytes.ByteAt(p) != 0xFF)
            continue;
        const int first = m_bytes.ByteAt(p + 1);
        if (first != jpeg::kDqt && first != jpeg::kDht && first != jpeg::kDri && !jpeg::IsSof(uint8_t(first)))
            continue;
        bool frame = false;
        uint64_t q = p;
        for (int segments = 0; segments < 64; ++segments) {
            const int code = m_bytes.ByteAt(q + 1);
            if (m_bytes.ByteAt(q) != 0xFF || code < 0)
                break;
            if (code == jpeg::kSos) {
                if (frame && (!found || q > bestScan)) {
                    bestScan = q;
                    start = p;
                    found = true;
                }
                break;
            }
            if (code != jpeg::kDqt && code != jpeg::kDht && code != jpeg::kDri && !jpeg::IsSof(uint8_t(code))
                && !jpeg::IsAppOrCom(uint8_t(code)))
                break;
            frame = frame || jpeg::IsSof(uint8_t(code));
            const int hi = m_bytes.ByteAt(q + 2), lo = m_bytes.ByteAt(q + 3);
            if (hi < 0 || lo < 0 || (hi << 8 | lo) < 2)
                break;
            q += 2 + uint64_t(hi << 8 | lo);
        }
    }
    return found;
}

bool JpegWalk::Segment(uint64_t at, uint8_t code, const std::vector<uint8_t>& body, uint64_t& next)
{
    next = at + 4 + body.size();
    std::string why;
    bool keep = true;
    if (code == jpeg::kSos)
        return Scan(at, body, next, next);
    if (jpeg::IsSof(code)) {
        if (m_haveFrame) {
            why = "a second frame header";
            keep = false;
        } else if (!ParseJpegFrame(code, body.data(), body.size(), m_frame, why)) {
            if (code < 0xC0 || code > 0xC2 || (body.size() >= 1 && body[0] != 8)) {
                m_found.Unsupported = true;
                m_found.Messages.push_back("the image uses " + why);
                return false;
            }
            why = "a damaged frame header (" + why + ")";
            keep = false;
        } else {
            m_haveFrame = true;
            m_found.Progressive = m_frame.Progressive;
            m_found.Width = m_frame.Width;
            m_found.Height = m_frame.Height;
            m_covered.assign(m_frame.Components.size(), false);
            std::array<int8_t, 64> none;
            none.fill(-1);
            m_progression.assign(m_frame.Components.size(), none);
            if (m_frame.Progressive && m_frame.Blocks() <= kMaxHistoryBlocks)
                for (const auto& c : m_frame.Components)
                    m_history.emplace_back(size_t(c.PaddedWide) * c.PaddedHigh, 0);
        }
    } else if (code == jpeg::kDht) {
        if (!Tables(body)) {
            why = "a damaged Huffman table";
            keep = false;
        }
    } else if (code == jpeg::kDqt) {
        if (!Quantisation(body)) {
            why = "a damaged quantisation table";
            keep = false;
        }
    } else if (code == jpeg::kDri) {
        if (body.size() != 2) {
            why = "a damaged restart interval";
            keep = false;
        } else {
            m_restart = uint32_t(body[0] << 8 | body[1]);
        }
    } else if (code != jpeg::kDnl && !jpeg::IsAppOrCom(code)) {
        why = "an unknown marker " + Hex(code);
        keep = false;
    }
    if (keep) {
        m_plan.Copy(at, 4 + body.size());
    } else {
        m_found.Damaged = true;
        m_found.Messages.push_back(why + " dropped at offset " + std::to_string(at));
    }
    m_progress.Advance(4 + body.size());
    return true;
}

bool JpegWalk::Tables(const std::vector<uint8_t>& body)
{
    for (size_t i = 0; i < body.size();) {
        const int tc = body[i] >> 4, th = body[i] & 15;
        if (tc > 1 || th > 3 || i + 17 > body.size())
            return false;
        size_t total = 0;
        for (size_t k = 0; k < 16; ++k)
            total += body[i + 1 + k];
        if (i + 17 + total > body.size())
            return false;
        JpegHuffman& table = tc ? m_tables.Ac[size_t(th)] : m_tables.Dc[size_t(th)];
        if (!table.Build(&body[i + 1], &body[i + 17], total))
            return false;
        i += 17 + total;
    }
    return true;
}

bool JpegWalk::Quantisation(const std::vector<uint8_t>& body)
{
    for (size_t i = 0; i < body.size();) {
        const int pq = body[i] >> 4, tq = body[i] & 15;
        const size_t n = pq ? 128 : 64;
        if (pq > 1 || tq > 3 || i + 1 + n > body.size())
            return false;
        m_quant[tq] = true;
        i += 1 + n;
    }
    return true;
}

bool JpegWalk::Scan(uint64_t at, const std::vector<uint8_t>& body, uint64_t dataStart, uint64_t& next)
{
    JpegScan scan;
    std::string why;
    if (!m_haveFrame)
        why = "a scan without a frame header";
    else if (!ParseJpegScan(body.data(), body.size(), m_frame, scan, why))
        why = "a scan with " + why;
    else
        why.clear();
    for (size_t s = 0; why.empty() && s < scan.Components.size(); ++s) {
        const bool needDc = !m_frame.Progressive || (scan.Ss == 0 && scan.Ah == 0);
        const bool needAc = !m_frame.Progressive || scan.Ss > 0;
        if ((needDc && !m_tables.Dc[scan.Td[s]].Defined()) || (needAc && !m_tables.Ac[scan.Ta[s]].Defined())
            || !m_quant[m_frame.Components[size_t(scan.Components[s])].Tq])
            why = "a scan whose tables are lost";
    }
    if (why.empty() && m_frame.Progressive) {
        // A refining scan must follow the scans it refines; when one of those was lost it cannot be used.
        for (int ci : scan.Components) {
            const auto& bits = m_progression[size_t(ci)];
            if (scan.Ss > 0 && bits[0] < 0)
                why = "a scan that refines a lost one";
            for (int k = scan.Ss; k <= scan.Se; ++k)
                if (scan.Ah != (bits[size_t(k)] < 0 ? 0 : bits[size_t(k)]))
                    why = "a scan that refines a lost one";
        }
    }
    if (!why.empty()) {
        m_found.Damaged = true;
        uint64_t end = 0;
        if (!Resync(dataStart, end))
            end = m_source.Size();
        m_found.Messages.push_back(why + " dropped at offset " + std::to_string(at));
        m_progress.Advance(end - at);
        next = end;
        return true;
    }
    m_plan.Copy(at, 4 + body.size());
    m_progress.Advance(4 + body.size());
    JpegScanDecoder decoder(
        m_source, m_frame, scan, m_tables, m_restart, m_frame.Progressive ? &m_history : nullptr);
    const JpegScanOutcome out = decoder.Run(dataStart, m_plan, m_progress);
    ++m_found.Scans;
    if (out.TooMuchLost) {
        m_found.TooMuchLost = true;
        m_found.Messages.push_back("the image claims " + std::to_string(m_frame.Width) + " x "
            + std::to_string(m_frame.Height) + " pixels, far more than its data holds");
        return false;
    }
    m_found.Mcus += out.Mcus;
    m_found.Kept += out.Kept;
    const std::string name = m_frame.Progressive ? "scan " + std::to_string(m_found.Scans) + ": " : "";
    if (out.Damaged) {
        m_found.Damaged = true;
        for (const auto& rows : out.Lost)
            m_found.Lost.push_back(name + rows);
        if (out.Lost.empty()) {
            // The MCUs all decoded but the data did not end where they did: somewhere it is wrong.
            m_found.Messages.push_back(name + "bytes that belong to no MCU dropped");
            m_found.Lost.push_back(name + "an unknown part of the rows, which may hold errors");
        }
    }
    if (!out.Filled)
        m_found.Messages.push_back(name + "some lost MCUs could not be filled in: the tables lack the codes");
    if (out.Unchecked)
        m_found.Messages.push_back(name + "kept without a check: the image is too large to follow");
    for (int ci : scan.Components) {
        m_covered[size_t(ci)] = true;
        for (int k = scan.Ss; k <= scan.Se; ++k)
            m_progression[size_t(ci)][size_t(k)] = int8_t(scan.Al);
    }
    next = out.End;
    return true;
}

} // namespace repair
