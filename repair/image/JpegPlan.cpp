// SPDX-License-Identifier: MIT
#include "JpegPlan.h"

#include "Errors.h"

#include <algorithm>
#include <cstring>

namespace repair {

void JpegPlan::Copy(uint64_t offset, uint64_t length)
{
    if (length == 0)
        return;
    m_size += length;
    if (!m_pieces.empty() && m_pieces.back().Bytes.empty()
        && m_pieces.back().Offset + m_pieces.back().Length == offset) {
        m_pieces.back().Length += length;
        return;
    }
    m_pieces.push_back({ offset, length, {} });
}

void JpegPlan::Add(const std::vector<uint8_t>& bytes)
{
    if (bytes.empty())
        return;
    m_size += bytes.size();
    if (!m_pieces.empty() && !m_pieces.back().Bytes.empty()) {
        auto& last = m_pieces.back().Bytes;
        last.insert(last.end(), bytes.begin(), bytes.end());
        m_pieces.back().Length = last.size();
        return;
    }
    m_pieces.push_back({ 0, bytes.size(), bytes });
}

void JpegPlan::AddMarker(uint8_t code)
{
    Add({ 0xFF, code });
}

size_t JpegPlan::Cursor::Read(uint8_t* buffer, size_t count)
{
    size_t done = 0;
    while (done < count && m_piece < m_plan.m_pieces.size()) {
        const Piece& p = m_plan.m_pieces[m_piece];
        const size_t n = size_t(std::min<uint64_t>(count - done, p.Length - m_at));
        if (p.Bytes.empty()) {
            if (m_source.ReadAt(p.Offset + m_at, buffer + done, n) != n)
                throw ReadError("the source became shorter while it was read");
        } else {
            std::memcpy(buffer + done, p.Bytes.data() + m_at, n);
        }
        done += n;
        m_at += n;
        if (m_at == p.Length) {
            ++m_piece;
            m_at = 0;
        }
    }
    return done;
}

} // namespace repair
