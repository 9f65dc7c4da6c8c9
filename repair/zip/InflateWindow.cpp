// SPDX-License-Identifier: MIT
#include "InflateWindow.h"

#include <algorithm>

namespace repair {

namespace {

constexpr size_t kSlack = InflateWindow::kMaxMatch + 8;
constexpr size_t kInitialSize = 96 * 1024;
// Output held back for one block beyond this is handed on before the block's end is checked: no real
// encoder makes blocks this long, and memory stays bounded for those that do.
constexpr size_t kMaxHeld = 1024 * 1024;

} // namespace

InflateWindow::InflateWindow(ContentSink& out, uint64_t maxOutput, As overflow)
    : m_out(out)
    , m_maxOutput(maxOutput)
    , m_bytes(kInitialSize)
    , m_flags(kInitialSize)
    , m_overflow(overflow)
{
    m_data = m_bytes.data();
    m_next = m_data;
    Restart(true);
}

void InflateWindow::Restart(bool streamStart)
{
    m_base = Position();
    m_next = m_data;
    m_pending = m_base;
    m_unknownEnd = m_base;
    m_streamStart = streamStart;
    UpdateLimits();
}

void InflateWindow::UpdateLimits()
{
    m_knownFrom = m_data + (std::max(m_unknownEnd, m_base) - m_base);
    const uint64_t room = m_bytes.size() - kSlack;
    const uint64_t allowed = m_maxOutput > m_base ? m_maxOutput - m_base : 0;
    m_limit = m_data + std::min(room, allowed);
}

bool InflateWindow::Known(uint64_t position) const
{
    if (position >= m_unknownEnd)
        return true;
    return position >= m_base && m_flags[position - m_base] != 0;
}

void InflateWindow::MarkUnknown(uint64_t position)
{
    const uint64_t from = std::max(m_unknownEnd, m_base);
    if (position > from)
        std::memset(m_flags.data() + (from - m_base), 1, position - from);
    m_flags[position - m_base] = 0;
    m_unknownEnd = position + 1;
    m_knownFrom = m_data + (m_unknownEnd - m_base);
}

bool InflateWindow::MatchSlow(unsigned distance, unsigned length)
{
    const uint64_t at = Position();
    if (m_streamStart && distance > at - m_base)
        return false;
    for (unsigned i = 0; i < length; ++i) {
        const uint64_t here = at + i;
        const uint64_t from = here - distance;
        if (here >= distance && Known(from)) {
            m_next[i] = m_data[from - m_base];
        } else {
            m_next[i] = 0;
            MarkUnknown(here);
        }
    }
    m_next += length;
    return true;
}

void InflateWindow::Append(const uint8_t* bytes, size_t count)
{
    while (count > 0) {
        if (!HasRoom() && !MakeRoom())
            return;
        const size_t n = std::min<size_t>(count, size_t(m_limit - m_next) + kMaxMatch);
        std::memcpy(m_next, bytes, n);
        m_next += n;
        bytes += n;
        count -= n;
    }
}

bool InflateWindow::MakeRoom()
{
    if (Position() >= m_maxOutput)
        return false;
    if (Position() - m_pending > kMaxHeld)
        Flush(m_overflow);
    const uint64_t used = uint64_t(m_next - m_data);
    const uint64_t keepFrom = std::min(m_pending, Position() - std::min<uint64_t>(Position(), kHistory));
    const size_t drop = size_t(std::max(keepFrom, m_base) - m_base);
    // Sliding pays once it frees a good part of the buffer; otherwise grow it.
    if (drop >= m_bytes.size() / 4)
        Relocate(drop, m_bytes.size());
    else
        Relocate(drop, std::max<size_t>(m_bytes.size() * 2, size_t(used - drop) + kSlack * 2));
    return Position() < m_maxOutput;
}

void InflateWindow::Relocate(size_t keepFrom, size_t newSize)
{
    const size_t used = size_t(m_next - m_data);
    const size_t kept = used - keepFrom;
    if (newSize != m_bytes.size()) {
        std::vector<uint8_t> bytes(newSize);
        std::vector<uint8_t> flags(newSize);
        std::memcpy(bytes.data(), m_data + keepFrom, kept);
        std::memcpy(flags.data(), m_flags.data() + keepFrom, kept);
        m_bytes.swap(bytes);
        m_flags.swap(flags);
    } else if (keepFrom > 0) {
        std::memmove(m_bytes.data(), m_data + keepFrom, kept);
        if (m_unknownEnd > m_base + keepFrom)
            std::memmove(m_flags.data(), m_flags.data() + keepFrom, kept);
    }
    m_data = m_bytes.data();
    m_next = m_data + kept;
    m_base += keepFrom;
    UpdateLimits();
}

void InflateWindow::FlushTo(As how, uint64_t position)
{
    uint64_t at = m_pending;
    const uint64_t end = std::clamp(position, m_pending, Position());
    while (at < end) {
        uint64_t run = at;
        const bool known = Known(at);
        if (known && at >= m_unknownEnd)
            run = end;
        else
            while (run < end && Known(run) == known)
                ++run;
        if (known) {
            Emit(how, m_data + (at - m_base), size_t(run - at));
        } else {
            m_out.Hole(run - at);
            m_totals.Holes += run - at;
        }
        at = run;
    }
    m_pending = Position();
}

void InflateWindow::Emit(As how, const uint8_t* bytes, size_t count)
{
    if (how == As::Data) {
        m_out.Data(bytes, count);
        m_totals.Data += count;
    } else {
        m_out.Unsure(bytes, count);
        m_totals.Unsure += count;
    }
}

} // namespace repair
