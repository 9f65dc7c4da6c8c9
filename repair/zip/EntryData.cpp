// SPDX-License-Identifier: MIT
#include "EntryData.h"

#include "Progress.h"
#include "ZipRecords.h"

#include <algorithm>
#include <cstring>
#include <vector>
#include <zlib.h>

namespace repair {

namespace {

constexpr size_t kChunk = 256 * 1024;

uint32_t Crc(uint32_t crc, const uint8_t* bytes, size_t count)
{
    while (count > 0) {
        const auto n = uInt(std::min<size_t>(count, 1u << 30));
        crc = uint32_t(crc32(crc, bytes, n));
        bytes += n;
        count -= n;
    }
    return crc;
}

void Deliver(ContentSink* out, Delivery delivery, const uint8_t* bytes, size_t count)
{
    if (!out || count == 0)
        return;
    if (delivery == Delivery::Data)
        out->Data(bytes, count);
    else if (delivery == Delivery::Unsure)
        out->Unsure(bytes, count);
}

// Buffers kept per thread: an archive of many small members would otherwise allocate and clear them
// for every member.
uint8_t* Buffer(int which, size_t size)
{
    thread_local std::vector<uint8_t> buffers[3];
    std::vector<uint8_t>& b = buffers[which];
    if (b.size() < size)
        b.resize(size);
    return b.data();
}

struct Inflater {
    z_stream stream {};
    Inflater()
    {
        if (inflateInit2(&stream, -15) != Z_OK)
            throw std::bad_alloc();
    }
    ~Inflater() { inflateEnd(&stream); }
};

} // namespace

DataCheck ReadEntryData(ByteReader& in, uint64_t begin, uint64_t end, uint16_t method, uint64_t maxOutput,
    ContentSink* out, Delivery delivery, Progress* progress)
{
    DataCheck check;
    end = std::min(end, in.Size());
    if (begin > end)
        begin = end;
    // Checks and hands on what the data yields, cut at maxOutput; answers how much was taken.
    const auto take = [&](const uint8_t* data, size_t n) {
        if (check.Produced + n > maxOutput) {
            n = size_t(maxOutput - check.Produced);
            check.OverLimit = true;
        }
        check.Crc32 = Crc(check.Crc32, data, n);
        Deliver(out, delivery, data, n);
        check.Produced += n;
        return n;
    };
    uint8_t* const input = Buffer(0, kChunk);
    if (method != 8) {
        for (uint64_t at = begin; at < end;) {
            size_t n = in.ReadAt(at, input, size_t(std::min<uint64_t>(kChunk, end - at)));
            if (n == 0)
                break;
            n = take(input, n);
            check.Consumed += n;
            at += n;
            if (progress)
                progress->Advance(n);
            if (check.OverLimit)
                return check;
        }
        check.Ended = true;
        return check;
    }

    uint8_t* const output = Buffer(1, kChunk);
    Inflater z;
    uint64_t at = begin;
    bool inputEnded = false;
    for (;;) {
        if (z.stream.avail_in == 0 && !inputEnded) {
            const size_t n = in.ReadAt(at, input, size_t(std::min<uint64_t>(kChunk, end - at)));
            at += n;
            inputEnded = n == 0 || at >= end;
            z.stream.next_in = input;
            z.stream.avail_in = uInt(n);
            if (progress)
                progress->Advance(n);
        }
        z.stream.next_out = output;
        z.stream.avail_out = uInt(kChunk);
        const uLong inBefore = z.stream.total_in;
        const int rc = inflate(&z.stream, Z_NO_FLUSH);
        const size_t produced = take(output, kChunk - z.stream.avail_out);
        check.Consumed = z.stream.total_in;
        if (check.OverLimit)
            return check;
        if (rc == Z_STREAM_END) {
            check.Ended = true;
            return check;
        }
        if (rc != Z_OK && rc != Z_BUF_ERROR) {
            check.Failed = true;
            return check;
        }
        // No progress with the input exhausted: the stream was cut short.
        if (inputEnded && z.stream.avail_in == 0 && produced == 0 && z.stream.total_in == inBefore)
            return check;
    }
}

std::optional<Descriptor> ReadDescriptor(ByteReader& in, uint64_t at, uint64_t dataLength, bool zip64)
{
    uint8_t b[24];
    const size_t n = in.ReadAt(at, b, sizeof b);
    const size_t sizeBytes = zip64 ? 8 : 4;
    for (const bool signed_ : { true, false }) {
        const size_t skip = signed_ ? 4 : 0;
        if (signed_ && (n < 4 || Le32(b) != kDescriptorSignature))
            continue;
        const size_t length = skip + 4 + 2 * sizeBytes;
        if (n < length)
            continue;
        Descriptor d;
        d.DataLength = dataLength;
        d.Size = length;
        d.Crc32 = Le32(b + skip);
        d.CompressedSize = zip64 ? Le64(b + skip + 4) : Le32(b + skip + 4);
        d.UncompressedSize = zip64 ? Le64(b + skip + 12) : Le32(b + skip + 8);
        if (d.CompressedSize == dataLength || (!zip64 && d.CompressedSize == (dataLength & 0xFFFFFFFFu)))
            return d;
    }
    return std::nullopt;
}

std::optional<Descriptor> FindDescriptor(
    ByteReader& in, uint64_t begin, uint64_t end, bool checkCrc, Progress* progress)
{
    end = std::min(end, in.Size());
    uint8_t* const chunk = Buffer(2, kChunk + 24);
    uint32_t crc = 0;
    uint64_t crcAt = begin; // the CRC covers [begin, crcAt)
    for (uint64_t at = begin; at < end; at += kChunk) {
        const size_t n = in.ReadAt(at, chunk, size_t(std::min<uint64_t>(kChunk + 24, end - at)));
        if (progress)
            progress->Advance(std::min<size_t>(n, kChunk));
        const size_t inChunk = std::min<size_t>(n, kChunk);
        for (size_t i = 0; i < inChunk; ++i) {
            if (i + 16 > n)
                break;
            const uint8_t* p = chunk + i;
            const uint64_t length = at + i - begin;
            // The signed form only: an unsigned descriptor is too easily matched by chance.
            if (Le32(p) != kDescriptorSignature)
                continue;
            const bool small = Le32(p + 8) == uint32_t(length);
            const bool large = i + 24 <= n && Le64(p + 8) == length;
            if (!small && !large)
                continue;
            if (checkCrc) {
                crc = Crc(crc, chunk + (crcAt - at), size_t(at + i - crcAt));
                crcAt = at + i;
                if (Le32(p + 4) != crc)
                    continue;
            }
            Descriptor d;
            d.DataLength = length;
            d.Crc32 = Le32(p + 4);
            d.CompressedSize = length;
            d.Size = small ? 16 : 24;
            d.UncompressedSize = small ? Le32(p + 12) : Le64(p + 16);
            return d;
        }
        if (checkCrc && crcAt < at + inChunk) {
            crc = Crc(crc, chunk + (crcAt - at), size_t(at + inChunk - crcAt));
            crcAt = at + inChunk;
        }
    }
    return std::nullopt;
}

std::optional<uint64_t> FindLocalHeader(ByteReader& in, uint64_t from, uint64_t end)
{
    end = std::min(end, in.Size());
    uint8_t* const chunk = Buffer(2, kChunk + 3);
    for (uint64_t at = from; at < end; at += kChunk) {
        const size_t n = in.ReadAt(at, chunk, size_t(std::min<uint64_t>(kChunk + 3, end - at)));
        const size_t inChunk = std::min<size_t>(n, kChunk);
        for (size_t i = 0; i < inChunk && i + 4 <= n; ++i) {
            if (chunk[i] != 'P' || chunk[i + 1] != 'K' || chunk[i + 2] != 3 || chunk[i + 3] != 4)
                continue;
            if (ReadLocalHeader(in, at + i))
                return at + i;
        }
    }
    return std::nullopt;
}

} // namespace repair
