// SPDX-License-Identifier: MIT
#include "InflateDecoder.h"

#include <algorithm>

namespace repair {

namespace {

using H = InflateHuffman;

constexpr uint8_t kCodeLengthOrder[19] = { 16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15 };

uint32_t Low(uint64_t bits, unsigned n)
{
    return uint32_t(bits & ((uint64_t(1) << n) - 1));
}

} // namespace

InflateDecoder::InflateDecoder(InflateInput& in)
    : m_in(in)
{
}

InflateDecoder::Status InflateDecoder::ReadHeader()
{
    m_in.Refill();
    m_header = {};
    m_header.Final = m_in.Take(1) != 0;
    const unsigned type = m_in.Take(2);
    switch (type) {
    case 0: {
        // Read as it stands: a zero run here is either the content of stored blocks or caught by the
        // length check, since zeros never pass it.
        m_header.Kind = Type::Stored;
        if (m_in.Overrun() && !m_in.FenceIsZeroRun())
            return Status::Overrun;
        const uint64_t at = (m_in.Tell() + 7) / 8;
        uint8_t lengths[4];
        if (m_in.ReadRaw(at, lengths, 4) < 4) {
            m_in.Seek(m_in.End() * 8 + 1);
            return Status::Overrun;
        }
        const uint32_t length = lengths[0] | (lengths[1] << 8);
        const uint32_t check = lengths[2] | (lengths[3] << 8);
        if (length != (~check & 0xffff))
            return Status::Error;
        m_header.StoredStart = at + 4;
        m_header.StoredLength = length;
        m_in.Seek(m_header.StoredStart * 8);
        return Status::Ok;
    }
    case 1:
        m_header.Kind = Type::Fixed;
        m_lit = &H::FixedLiteralLength();
        m_dist = &H::FixedDistance();
        return m_in.Overrun() ? Status::Overrun : Status::Ok;
    case 2:
        m_header.Kind = Type::Dynamic;
        return ReadTables();
    default:
        return Fail();
    }
}

InflateDecoder::Status InflateDecoder::ReadTables()
{
    m_in.Refill();
    const unsigned literals = m_in.Take(5) + 257;
    const unsigned distances = m_in.Take(5) + 1;
    const unsigned codeLengths = m_in.Take(4) + 4;
    if (literals > 286 || distances > 30)
        return Fail();

    uint8_t lengths[288 + 32] = {};
    for (unsigned i = 0; i < codeLengths; ++i) {
        m_in.Refill();
        lengths[kCodeLengthOrder[i]] = uint8_t(m_in.Take(3));
    }
    if (!m_codeLengths.Build(H::Alphabet::CodeLengths, lengths, 19))
        return Fail();

    const unsigned total = literals + distances;
    std::fill(lengths, lengths + 19, 0);
    for (unsigned i = 0; i < total;) {
        m_in.Refill();
        const uint32_t e = m_codeLengths.Decode(m_in.Bits());
        m_in.Drop(H::Bits(e));
        if (H::KindOf(e) == H::Invalid)
            return Fail();
        const unsigned symbol = H::Value(e);
        if (symbol < 16) {
            lengths[i++] = uint8_t(symbol);
            continue;
        }
        unsigned repeat = 0;
        uint8_t value = 0;
        if (symbol == 16) {
            if (i == 0)
                return Fail();
            value = lengths[i - 1];
            repeat = 3 + m_in.Take(2);
        } else if (symbol == 17) {
            repeat = 3 + m_in.Take(3);
        } else {
            repeat = 11 + m_in.Take(7);
        }
        if (i + repeat > total)
            return Fail();
        std::fill(lengths + i, lengths + i + repeat, value);
        i += repeat;
    }
    if (m_in.Overrun())
        return Status::Overrun;
    if (lengths[256] == 0 || !m_literals.Build(H::Alphabet::LiteralLength, lengths, literals)
        || !m_distances.Build(H::Alphabet::Distance, lengths + literals, distances))
        return Status::Error;
    m_lit = &m_literals;
    m_dist = &m_distances;
    return Status::Ok;
}

InflateDecoder::Status InflateDecoder::DecodeStored(InflateWindow& window)
{
    uint8_t chunk[16 * 1024];
    uint64_t at = m_header.StoredStart;
    const uint64_t end = at + m_header.StoredLength;
    while (at < end) {
        const size_t got = m_in.ReadRaw(at, chunk, size_t(std::min<uint64_t>(sizeof chunk, end - at)));
        if (got == 0)
            break;
        const uint64_t before = window.Position();
        window.Append(chunk, got);
        at += got;
        if (window.Position() - before < got)
            return Status::OutputFull;
    }
    m_in.Seek(at * 8);
    return at < end ? Status::Overrun : Status::EndOfBlock;
}

InflateDecoder::Status InflateDecoder::Decode(InflateWindow& window)
{
    if (m_header.Kind == Type::Stored)
        return DecodeStored(window);
    const H& lit = *m_lit;
    const H& dist = *m_dist;
    for (;;) {
        if (!window.HasRoom() && !window.MakeRoom())
            return Status::OutputFull;
        m_in.Refill();
        const uint64_t bits = m_in.Bits();
        const uint32_t e = lit.Decode(bits);
        unsigned used = H::Bits(e);
        const H::Kind kind = H::KindOf(e);
        if (kind == H::Literal) {
            m_in.Drop(used);
            if (m_in.Overrun()) [[unlikely]]
                return Overran(used);
            window.Literal(uint8_t(H::Value(e)));
            continue;
        }
        if (kind == H::Length) {
            const unsigned length = H::Value(e) + Low(bits >> used, H::Extra(e));
            used += H::Extra(e);
            const uint32_t d = dist.Decode(bits >> used);
            used += H::Bits(d);
            if (H::KindOf(d) == H::Invalid) {
                m_in.Drop(used);
                return m_in.Overrun() ? Overran(used) : Status::Error;
            }
            const unsigned distance = H::Value(d) + Low(bits >> used, H::Extra(d));
            m_in.Drop(used + H::Extra(d));
            if (m_in.Overrun()) [[unlikely]]
                return Overran(used + H::Extra(d));
            if (!window.Match(distance, length))
                return Status::Error;
            continue;
        }
        m_in.Drop(used);
        if (m_in.Overrun())
            return Overran(used);
        return kind == H::EndOfBlock ? Status::EndOfBlock : Status::Error;
    }
}

InflateDecoder::Status InflateDecoder::Overran(unsigned used)
{
    m_symbolStart = m_in.Tell() - used;
    return Status::Overrun;
}

InflateDecoder::Status InflateDecoder::Skim(uint64_t maxSymbols, uint64_t& symbols)
{
    symbols = 0;
    if (m_header.Kind == Type::Stored) {
        const uint64_t end = m_header.StoredStart + m_header.StoredLength;
        if (end > m_in.End())
            return Status::Overrun;
        m_in.Seek(end * 8);
        return Status::EndOfBlock;
    }
    const H& lit = *m_lit;
    const H& dist = *m_dist;
    while (symbols < maxSymbols) {
        ++symbols;
        m_in.Refill();
        const uint64_t bits = m_in.Bits();
        const uint32_t e = lit.Decode(bits);
        unsigned used = H::Bits(e);
        const H::Kind kind = H::KindOf(e);
        if (kind == H::Length) {
            used += H::Extra(e);
            const uint32_t d = dist.Decode(bits >> used);
            used += H::Bits(d) + H::Extra(d);
            if (H::KindOf(d) == H::Invalid) {
                m_in.Drop(H::Bits(e) + H::Extra(e) + H::Bits(d));
                return Fail();
            }
        }
        m_in.Drop(used);
        if (m_in.Overrun())
            return Status::Overrun;
        if (kind == H::EndOfBlock)
            return Status::EndOfBlock;
        if (kind == H::Invalid)
            return Status::Error;
    }
    return Status::Error;
}

} // namespace repair
