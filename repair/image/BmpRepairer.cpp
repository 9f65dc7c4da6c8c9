// SPDX-License-Identifier: MIT
#include "BmpRepairer.h"

#include "AtomicSink.h"
#include "BmpHeader.h"
#include "ImageRowLineEndView.h"
#include "Progress.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

namespace repair {

namespace {

constexpr size_t kCopy = 1 << 20;
constexpr uint64_t kSector = 512;
constexpr uint64_t kZeroedRun = 4096;
// The search for inserted bytes holds a few rows in memory: only for rows this long.
constexpr uint64_t kMaxSearchedStride = 4 << 20;
constexpr uint64_t kMaxFill = 64 << 20;

std::string Plural(uint64_t n, const char* one, const char* many)
{
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// Where `inserted` bytes that do not belong went into the pixels from `begin` to `end`: rows of an image
// resemble the rows next to them, except where foreign bytes sit. The row that differs most from the one
// before it holds them; the cut that makes the rows around it most alike says where they begin. -1 when
// the image is too small to tell.
int64_t FindInserted(ByteReader& source, uint64_t begin, uint64_t end, uint64_t stride, uint64_t pixel,
    uint64_t inserted, Progress& progress)
{
    if (stride == 0 || stride > kMaxSearchedStride || end - begin < 4 * stride + inserted)
        return -1;
    std::vector<uint8_t> previous(stride), row(stride);
    uint64_t worst = 0, worstRow = 0;
    source.ReadAt(begin, previous.data(), stride);
    for (uint64_t k = 1; begin + (k + 1) * stride <= end; ++k) {
        if (source.ReadAt(begin + k * stride, row.data(), stride) != stride)
            break;
        uint64_t d = 0;
        for (uint64_t i = 0; i < stride; ++i)
            d += uint64_t(std::abs(int(row[i]) - int(previous[i])));
        if (d > worst) {
            worst = d;
            worstRow = k;
        }
        row.swap(previous);
        progress.Advance(stride);
    }
    // A window from two rows before to two rows after, in which every cut is weighed.
    const uint64_t from = begin + (worstRow >= 2 ? worstRow - 2 : 0) * stride;
    const uint64_t to = std::min(end, begin + (worstRow + 3) * stride + inserted);
    std::vector<uint8_t> x(size_t(to - from));
    if (source.ReadAt(from, x.data(), x.size()) != x.size())
        return -1;
    const size_t n = x.size(), s = size_t(stride), g = size_t(inserted);
    if (n < 2 * s + g + 1)
        return -1;
    // Sums of the differences between each byte and the one a row (and a pixel) before it, in the
    // file as it is and across a cut: a cut at p weighs the pairs before it, across it and after it.
    struct Sums {
        std::vector<uint64_t> Plain, Across;
        size_t Step;
    };
    auto sums = [&](size_t step) {
        Sums t { std::vector<uint64_t>(n + 1, 0), std::vector<uint64_t>(n + 1, 0), step };
        for (size_t i = 0; i < n; ++i) {
            t.Plain[i + 1] = t.Plain[i] + (i >= step ? uint64_t(std::abs(int(x[i]) - int(x[i - step]))) : 0);
            t.Across[i + 1] = t.Across[i]
                + (i >= step && i + g < n ? uint64_t(std::abs(int(x[i + g]) - int(x[i - step]))) : 0);
        }
        return t;
    };
    const Sums rows = sums(s), pixels = sums(size_t(std::max<uint64_t>(1, pixel)));
    auto cost = [&](const Sums& t, size_t p) {
        return (t.Plain[p] - t.Plain[std::min(p, t.Step)]) + (t.Across[p + t.Step] - t.Across[p])
            + (t.Plain[n] - t.Plain[p + t.Step + g]);
    };
    uint64_t best = UINT64_MAX;
    int64_t at = -1;
    for (size_t p = s; p + s + g <= n; ++p) {
        const uint64_t c = cost(rows, p) + cost(pixels, p);
        if (c < best) {
            best = c;
            at = int64_t(from + p);
        }
    }
    return at;
}

} // namespace

Recognition BmpRepairer::Recognise(ByteReader& source, std::string_view extension)
{
    Recognition r;
    r.Format = "bmp";
    r.Family = "image";
    uint8_t head[BmpHeader::kMaxHeaders] = {};
    const size_t n = source.ReadAt(0, head, sizeof head);
    BmpHeader h;
    std::string why;
    const bool parsed = h.Parse(head, n, source.Size(), why);
    if (n >= 2 && head[0] == 'B' && head[1] == 'M' && (parsed || n < 18 || BmpLe32(head + 14) == 40))
        r.Score = 100;
    else if (parsed)
        r.Score = 50; // the signature lost, the header still a bitmap's
    else
        r.Score = extension == "bmp" ? 10 : 0;
    return r;
}

Report BmpRepairer::Repair(
    ByteReader& source, const std::function<AtomicSink&()>& openSink, Progress& progress)
{
    Report report;
    report.Family = "image";
    report.Format = "bmp";
    progress.SetTotal(2 * source.Size() + 1);

    ByteReader* reader = &source;
    uint8_t head[BmpHeader::kMaxHeaders] = {};
    size_t headBytes = source.ReadAt(0, head, sizeof head);
    BmpHeader h;
    std::string why;
    if (!h.Parse(head, headBytes, source.Size(), why)) {
        report.Outcome = Verdict::Unrecoverable;
        report.Messages.push_back(why);
        return report;
    }
    // A text-mode transfer: proven when undoing it gives the size the header declares.
    std::unique_ptr<ImageRowLineEndView> view;
    if (h.DeclaredFileSize != 0 && source.Size() > h.DeclaredFileSize) {
        auto undone = std::make_unique<ImageRowLineEndView>(source);
        uint8_t again[BmpHeader::kMaxHeaders] = {};
        const size_t n = undone->ReadAt(0, again, sizeof again);
        BmpHeader u;
        if (u.Parse(again, n, undone->Size(), why) && undone->Size() == u.DeclaredFileSize
            && undone->Size() < source.Size()) {
            view = std::move(undone);
            reader = view.get();
            std::copy(again, again + n, head);
            headBytes = n;
            h = u;
            report.Messages.push_back("line ends changed by a text-mode transfer: undone");
        }
    }
    const uint64_t size = reader->Size();
    const bool signatureLost = head[0] != 'B' || head[1] != 'M';
    if (signatureLost)
        report.Messages.push_back("the signature is damaged: put right");
    const uint64_t image = h.ImageBytes();
    uint64_t available = size > h.Offset ? size - h.Offset : 0;

    // Bytes inserted into the pixels: the file is longer than it says, and longer than its pixels.
    int64_t insertedAt = -1;
    uint64_t inserted = 0;
    if (h.DeclaredFileSize != 0 && size > h.DeclaredFileSize && available > image) {
        inserted = std::min(size - h.DeclaredFileSize, available - image);
        insertedAt = FindInserted(*reader, h.Offset, std::min(size, h.Offset + image + inserted), h.Stride,
            h.BitsPerPixel / 8, inserted, progress);
        if (insertedAt >= 0) {
            available -= inserted;
            report.Messages.push_back(Plural(inserted, "byte", "bytes")
                + " that do not belong to the image at offset " + std::to_string(insertedAt) + ": removed");
        } else {
            inserted = 0;
        }
    }
    const uint64_t kept = std::min(available, image);
    const uint64_t rowsPresent = kept / h.Stride;

    // Sectors zeroed whole: runs of zeros that begin and end on a sector's edge.
    std::vector<std::pair<uint64_t, uint64_t>> zeroed;
    {
        std::vector<uint8_t> buffer(size_t(std::min<uint64_t>(kCopy, std::max<uint64_t>(size, 1))));
        uint64_t runStart = 0, run = 0;
        const uint64_t end = h.Offset + kept + inserted;
        for (uint64_t at = h.Offset; at < end;) {
            const size_t n
                = reader->ReadAt(at, buffer.data(), size_t(std::min<uint64_t>(buffer.size(), end - at)));
            if (n == 0)
                break;
            for (size_t i = 0; i <= n; ++i) {
                const bool zero = i < n && buffer[i] == 0;
                if (zero) {
                    if (run++ == 0)
                        runStart = at + i;
                    continue;
                }
                if (i == n && at + n < end)
                    break; // the run goes on in the next piece
                if (run >= kZeroedRun && runStart % kSector == 0 && (runStart + run) % kSector == 0)
                    zeroed.emplace_back(runStart, run);
                run = 0;
            }
            at += n;
            progress.Advance(n);
        }
    }

    const bool damage = signatureLost || view || inserted || rowsPresent < h.Rows || !zeroed.empty()
        || h.Offset != h.DeclaredOffset;
    const std::string described = std::to_string(h.Width) + " x " + std::to_string(h.Rows) + " pixels";
    report.PartsTotal = h.Rows;
    if (!damage) {
        report.Outcome = Verdict::Intact;
        report.PartsRecovered = h.Rows;
        report.Messages.push_back("no damage found: a bmp image of " + described);
        return report;
    }
    // A header that claims far more than the file holds would have the fill written out in full.
    if (image - kept > kMaxFill && image / 64 > kept) {
        report.Outcome = Verdict::Unrecoverable;
        report.Messages.push_back("the header claims " + described + ", but only "
            + Plural(kept, "byte", "bytes") + " of them are there");
        return report;
    }
    if (rowsPresent == 0 && kept == 0) {
        report.Outcome = Verdict::Unrecoverable;
        report.Messages.push_back("no row of the image is there");
        return report;
    }

    AtomicSink& sink = openSink();
    // The headers and palette as they stand, their sizes made true.
    std::vector<uint8_t> headers(size_t(h.Offset), 0);
    reader->ReadAt(0, headers.data(), headers.size());
    headers[0] = 'B';
    headers[1] = 'M';
    const uint64_t outputSize = h.Offset + image;
    BmpPut32(&headers[2], uint32_t(std::min<uint64_t>(outputSize, UINT32_MAX)));
    BmpPut32(&headers[10], uint32_t(h.Offset));
    if (h.InfoSize >= 40)
        BmpPut32(&headers[34], uint32_t(std::min<uint64_t>(image, UINT32_MAX)));
    sink.Write(headers.data(), headers.size());

    std::vector<uint8_t> buffer(kCopy);
    auto copy = [&](uint64_t from, uint64_t count) {
        while (count > 0) {
            const size_t n
                = reader->ReadAt(from, buffer.data(), size_t(std::min<uint64_t>(count, buffer.size())));
            if (n == 0)
                break;
            sink.Write(buffer.data(), n);
            from += n;
            count -= n;
            progress.Advance(n);
            progress.Check();
        }
    };
    if (insertedAt >= 0) {
        const uint64_t before = std::min<uint64_t>(uint64_t(insertedAt) - h.Offset, kept);
        copy(h.Offset, before);
        copy(uint64_t(insertedAt) + inserted, kept - before);
    } else {
        copy(h.Offset, kept);
    }
    // Rows lost: black, or the palette's darkest entry.
    uint8_t fill = 0;
    if (h.BitsPerPixel <= 8 && h.PaletteEntries > 0) {
        const size_t entry = h.InfoSize == 12 ? 3 : 4;
        const uint64_t paletteAt = h.MinimumOffset - uint64_t(h.PaletteEntries) * entry;
        unsigned darkest = 3 * 255 + 1, index = 0;
        for (uint32_t i = 0; i < h.PaletteEntries && paletteAt + (i + 1) * entry <= headers.size(); ++i) {
            const uint8_t* c = &headers[size_t(paletteAt + i * entry)];
            if (unsigned(c[0] + c[1] + c[2]) < darkest) {
                darkest = unsigned(c[0] + c[1] + c[2]);
                index = i;
            }
        }
        for (unsigned shift = 0; shift < 8; shift += h.BitsPerPixel)
            fill = uint8_t(fill | index << shift);
    }
    std::fill(buffer.begin(), buffer.end(), fill);
    for (uint64_t left = image - kept; left > 0;) {
        const size_t n = size_t(std::min<uint64_t>(left, buffer.size()));
        sink.Write(buffer.data(), n);
        left -= n;
        progress.Check();
    }

    uint64_t zeroedRows = 0;
    for (const auto& [at, count] : zeroed) {
        const uint64_t first = (at - h.Offset) / h.Stride, last = (at + count - 1 - h.Offset) / h.Stride;
        zeroedRows += last - first + 1;
        report.Messages.push_back(Plural(count, "byte", "bytes") + " zeroed at offset " + std::to_string(at)
            + ", as a damaged disk leaves them: rows " + std::to_string(first + 1) + "-"
            + std::to_string(last + 1) + " of the stored order may be lost");
    }
    report.PartsRecovered = rowsPresent - std::min(rowsPresent, zeroedRows);
    if (rowsPresent < h.Rows) {
        const std::string side = h.Height > 0 ? "top" : "bottom";
        report.Lost.push_back("rows 1-" + std::to_string(h.Rows - rowsPresent) + " from the " + side);
        report.Messages.push_back(Plural(rowsPresent, "row", "rows") + " of " + std::to_string(h.Rows)
            + " there; the " + Plural(h.Rows - rowsPresent, "row", "rows") + " at the " + side + " filled");
    }
    report.Outcome = report.PartsRecovered == h.Rows ? Verdict::Repaired : Verdict::Partial;
    if (report.Outcome == Verdict::Repaired)
        report.Messages.push_back("every row recovered: a bmp image of " + described);
    return report;
}

} // namespace repair
