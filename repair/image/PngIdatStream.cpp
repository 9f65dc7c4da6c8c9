// SPDX-License-Identifier: MIT
#include "PngIdatStream.h"

#include "PngChunkWriter.h"
#include "Progress.h"

#include <algorithm>
#include <stdexcept>

namespace repair {

namespace {

constexpr size_t kIn = 64 * 1024;
constexpr size_t kOut = 256 * 1024;
// A block this large is compressed again rather than held back for copying: memory stays bounded.
constexpr size_t kMaxHeld = 8 << 20;

} // namespace

PngIdatStream::PngIdatStream(const PngHeader& header, std::vector<uint8_t> fill, Progress& progress)
    : m_header(header)
    , m_cursor(RowRuns(header))
    , m_fill(std::move(fill))
    , m_progress(progress)
    , m_deflated(kOut)
{
}

PngIdatStream::~PngIdatStream()
{
    if (m_deflating)
        deflateEnd(&m_deflate);
}

void PngIdatStream::Deflate(const uint8_t* raw, size_t count, int flush)
{
    if (count)
        m_adler = adler32(m_adler, raw, uInt(count));
    m_deflate.next_in = const_cast<uint8_t*>(raw);
    m_deflate.avail_in = uInt(count);
    do {
        m_deflate.next_out = m_deflated.data();
        m_deflate.avail_out = uInt(m_deflated.size());
        const int ret = deflate(&m_deflate, flush);
        if (ret == Z_STREAM_ERROR)
            throw std::runtime_error("the image data could not be compressed");
        const size_t n = m_deflated.size() - m_deflate.avail_out;
        if (m_capture)
            m_capture->insert(m_capture->end(), m_deflated.data(), m_deflated.data() + n);
        else
            m_out->ImageData(m_deflated.data(), n);
    } while (m_deflate.avail_out == 0 || m_deflate.avail_in > 0);
}

void PngIdatStream::StartReencoding()
{
    if (deflateInit2(&m_deflate, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::runtime_error("the image data could not be compressed");
    m_deflating = true;
    if (!m_boundarySeen) {
        // Not even the stream's header came through: a new stream from its first byte.
        static const uint8_t kHeader[2] = { 0x78, 0x9c };
        m_out->ImageData(kHeader, 2);
        m_held.clear();
        m_adler = 1;
    } else {
        const int bits = int(m_boundaryBit % 8);
        if (bits)
            deflatePrime(&m_deflate, bits, m_held[0] & ((1 << bits) - 1));
        m_held.clear();
    }
    m_mode = Mode::Reencode;
    std::vector<uint8_t> raw;
    raw.swap(m_pendingRaw);
    Deflate(raw.data(), raw.size());
}

void PngIdatStream::Accept(const uint8_t* raw, size_t count)
{
    m_produced += count;
    if (m_mode == Mode::Copy) {
        m_pendingRaw.insert(m_pendingRaw.end(), raw, raw + count);
        if (m_pendingRaw.size() > kMaxHeld || m_held.size() > kMaxHeld)
            StartReencoding();
    } else if (m_mode == Mode::Reencode) {
        Deflate(raw, count);
    }
}

void PngIdatStream::Boundary(uint64_t bit)
{
    const uint64_t whole = bit / 8;
    if (whole > m_heldStart) {
        const size_t n = size_t(std::min<uint64_t>(whole - m_heldStart, m_held.size()));
        m_out->ImageData(m_held.data(), n);
        m_held.erase(m_held.begin(), m_held.begin() + std::ptrdiff_t(n));
        m_heldStart = whole;
    }
    m_boundaryBit = bit;
    m_boundarySeen = true;
    if (!m_pendingRaw.empty())
        m_adler = adler32(m_adler, m_pendingRaw.data(), uInt(m_pendingRaw.size()));
    m_pendingRaw.clear();
}

void PngIdatStream::FillRest()
{
    // The row cut by the damage keeps what was decoded; the rest of it is zero.
    const uint64_t total = m_cursor.TotalBytes();
    if (m_produced < total) {
        uint64_t start = 0, length = 0;
        m_cursor.RowAt(m_produced, start, length);
        if (start < m_produced) {
            const std::vector<uint8_t> zeros(size_t(start + length - m_produced), 0);
            Deflate(zeros.data(), zeros.size());
            m_produced = start + length;
        }
    }
    // Rows of one colour: a pattern of whole pixels, long enough for any row in a few pieces.
    std::vector<uint8_t> pattern;
    const size_t unit = m_fill.size();
    pattern.reserve(65520 + unit);
    while (pattern.size() < 65520)
        pattern.insert(pattern.end(), m_fill.begin(), m_fill.end());
    const uint8_t filter = 0;
    auto fillRow = [&](uint64_t length) {
        Deflate(&filter, 1);
        for (uint64_t left = length - 1; left > 0;) {
            const size_t n = size_t(std::min<uint64_t>(left, pattern.size() / unit * unit));
            Deflate(pattern.data(), n);
            left -= n;
        }
    };
    while (m_produced < total) {
        uint64_t start = 0, length = 0;
        m_cursor.RowAt(m_produced, start, length);
        const uint64_t runEnd = [&] {
            uint64_t at = 0;
            for (const PngRowRun& run : m_cursor.Runs())
                if ((at += run.RowBytes * run.Rows) > start)
                    return at;
            return total;
        }();
        uint64_t rows = (runEnd - start) / length;
        // Many equal rows: compressed once as a batch that stands alone (no reference before it), whose
        // bytes are then repeated, so that a large loss costs little time.
        const uint64_t batchRows = std::max<uint64_t>(1, (1 << 20) / length);
        if (rows >= 3 * batchRows) {
            Deflate(nullptr, 0, Z_FULL_FLUSH);
            std::vector<uint8_t> batch;
            const uLong before = m_adler;
            m_adler = 1;
            m_capture = &batch;
            for (uint64_t r = 0; r < batchRows; ++r)
                fillRow(length);
            Deflate(nullptr, 0, Z_FULL_FLUSH);
            m_capture = nullptr;
            const uLong batchAdler = m_adler;
            const z_off_t batchBytes = z_off_t(batchRows * length);
            m_adler = before;
            for (; rows >= batchRows; rows -= batchRows) {
                m_out->ImageData(batch.data(), batch.size());
                m_adler = adler32_combine(m_adler, batchAdler, batchBytes);
                m_progress.Check();
            }
        }
        for (; rows > 0; --rows) {
            fillRow(length);
            m_progress.Check();
        }
        m_produced = runEnd;
    }
}

PngStreamResult PngIdatStream::Run(const Input& next, uint64_t proven, PngChunkWriter* out)
{
    m_out = out;
    m_mode = out ? Mode::Copy : Mode::Check;
    PngStreamResult result;
    result.RowsTotal = m_cursor.TotalRows();
    const uint64_t total = m_cursor.TotalBytes();
    z_stream in {};
    if (inflateInit2(&in, 15) != Z_OK)
        throw std::runtime_error("the image data could not be decoded");
    std::vector<uint8_t> input(kIn);
    std::vector<uint8_t> output(kOut);
    bool ended = false;
    uint64_t fed = 0;
    for (;;) {
        if (in.avail_in == 0) {
            // Proven bytes end at the end of a piece, so that what they decode to is known.
            const size_t want
                = fed < proven ? size_t(std::min<uint64_t>(input.size(), proven - fed)) : input.size();
            const size_t n = next(input.data(), want);
            fed += n;
            if (n == 0) {
                result.Problem = "the image data ends early";
                break;
            }
            in.next_in = input.data();
            in.avail_in = uInt(n);
        }
        in.next_out = output.data();
        in.avail_out = uInt(output.size());
        const uint8_t* before = in.next_in;
        const int ret = inflate(&in, Z_BLOCK);
        const size_t consumed = size_t(in.next_in - before);
        m_progress.Advance(consumed);
        if (m_mode == Mode::Copy)
            m_held.insert(m_held.end(), before, before + consumed);
        const size_t got = output.size() - in.avail_out;
        size_t accept = size_t(std::min<uint64_t>(got, total - m_produced));
        bool badRow = false;
        m_cursor.RowStarts(m_produced, m_produced + accept, [&](uint64_t start) {
            if (!badRow && output[size_t(start - m_produced)] > 4) {
                accept = size_t(start - m_produced);
                badRow = true;
            }
        });
        Accept(output.data(), accept);
        if (in.total_in <= proven)
            m_provenProduced = m_produced;
        if (badRow) {
            result.Problem = "the image data holds a row that is not one";
            break;
        }
        if (accept < got) {
            result.Problem = "the image data holds more than the image";
            break;
        }
        if (ret == Z_STREAM_END) {
            ended = true;
            break;
        }
        if (ret == Z_BUF_ERROR && in.avail_in == 0)
            continue;
        if (ret != Z_OK) {
            result.Problem = "the image data is damaged";
            break;
        }
        // A block boundary, unless it follows the last block: new blocks cannot come after that one.
        if (m_mode == Mode::Copy && (in.data_type & 128) && !(in.data_type & 64))
            Boundary(8 * uint64_t(in.total_in) - uint64_t(in.data_type & 63));
        m_progress.Check();
    }
    inflateEnd(&in);
    result.Complete = ended && m_produced == total;
    result.RowsKept = m_cursor.RowsWithin(m_produced);
    // The stream's own checksum vouches for everything once it holds.
    result.RowsRecovered = result.Complete ? result.RowsKept : m_cursor.RowsWithin(m_provenProduced);
    if (ended && m_produced < total)
        result.Problem = "the image data ends early";
    if (!out)
        return result;
    if (m_mode == Mode::Copy && result.Complete) {
        // Whole: the stream as it stands, its checksum included.
        m_out->ImageData(m_held.data(), m_held.size());
        m_out->EndImageData();
        return result;
    }
    if (m_mode == Mode::Copy)
        StartReencoding();
    FillRest();
    Deflate(nullptr, 0, Z_FINISH);
    uint8_t check[4];
    PutBe32(check, uint32_t(m_adler));
    m_out->ImageData(check, 4);
    m_out->EndImageData();
    return result;
}

} // namespace repair
