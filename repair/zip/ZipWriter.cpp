// SPDX-License-Identifier: MIT
#include "AtomicSink.h"
#include "Errors.h"
#include "Progress.h"
#include "ZipArchive.h"
#include "ZipRecords.h"

#include <algorithm>
#include <vector>
#include <zlib.h>

namespace repair {

namespace {

constexpr uint64_t kMax32 = 0xFFFFFFFFu;
constexpr uint16_t kZip64Version = 45;

// The run of fields a local header (from byte 4) and a central record (from byte 6) share; sizes as they
// are to stand in the 32-bit fields.
void PutSharedFields(
    uint8_t* p, const ZipEntryInfo& info, bool zip64, uint32_t csize, uint32_t usize, size_t extraSize)
{
    Put16(p, zip64 ? std::max(info.VersionNeeded, kZip64Version) : info.VersionNeeded);
    Put16(p + 2, info.Flags);
    Put16(p + 4, info.Method);
    Put16(p + 6, info.DosTime);
    Put16(p + 8, info.DosDate);
    Put32(p + 10, info.Crc32);
    Put32(p + 14, csize);
    Put32(p + 18, usize);
    Put16(p + 22, uint16_t(info.Name.size()));
    Put16(p + 24, uint16_t(extraSize));
}

struct Written {
    ZipEntryInfo info;
    uint64_t localOffset = 0;
};

} // namespace

struct ZipWriter::Impl : ContentSink {
    explicit Impl(AtomicSink& s)
        : sink(s)
    {
    }
    ~Impl() override
    {
        if (deflating)
            deflateEnd(&stream);
    }

    AtomicSink& sink;
    Progress* progress = nullptr;
    std::vector<Written> written;
    bool finished = false;

    // The member being written through BeginEntry().
    bool open = false;
    bool deflating = false;
    bool localZip64 = false;
    Written current;
    z_stream stream {};
    std::vector<uint8_t> out = std::vector<uint8_t>(256 * 1024);

    void WriteLocal(const ZipEntryInfo& info, bool zip64)
    {
        std::string extra;
        if (zip64) {
            uint8_t z[20];
            Put16(z, kZip64ExtraId);
            Put16(z + 2, 16);
            Put64(z + 4, info.UncompressedSize);
            Put64(z + 12, info.CompressedSize);
            extra.assign(reinterpret_cast<char*>(z), sizeof z);
        }
        if (extra.size() + info.LocalExtra.size() <= 0xFFFF)
            extra += info.LocalExtra;
        uint8_t h[30];
        Put32(h, kLocalSignature);
        PutSharedFields(h + 4, info, zip64, zip64 ? uint32_t(kMax32) : uint32_t(info.CompressedSize),
            zip64 ? uint32_t(kMax32) : uint32_t(info.UncompressedSize), extra.size());
        sink.Write(h, sizeof h);
        sink.Write(info.Name.data(), info.Name.size());
        sink.Write(extra.data(), extra.size());
    }

    void Check()
    {
        if (finished)
            throw std::logic_error("ZipWriter: the archive is already finished");
        if (open)
            throw std::logic_error("ZipWriter: a member is still open");
    }

    void Data(const uint8_t* bytes, size_t count) override { Deflate(bytes, count, Z_NO_FLUSH); }
    void Hole(uint64_t) override { }
    // What the salvage could not prove is kept: the member is reported as possibly holding errors.
    void Unsure(const uint8_t* bytes, size_t count) override { Deflate(bytes, count, Z_NO_FLUSH); }

    void Deflate(const uint8_t* bytes, size_t count, int flush)
    {
        if (!open)
            throw std::logic_error("ZipWriter: no member is open");
        if (count > 0)
            current.info.Crc32 = uint32_t(crc32_z(current.info.Crc32, bytes, count));
        current.info.UncompressedSize += count;
        stream.next_in = const_cast<uint8_t*>(bytes);
        stream.avail_in = 0;
        size_t left = count;
        do {
            if (stream.avail_in == 0 && left > 0) {
                const auto n = uInt(std::min<size_t>(left, 1u << 30));
                stream.avail_in = n;
                left -= n;
            }
            stream.next_out = out.data();
            stream.avail_out = uInt(out.size());
            const int rc = deflate(&stream, left == 0 ? flush : Z_NO_FLUSH);
            if (rc == Z_STREAM_ERROR)
                throw std::runtime_error("deflate failed");
            const size_t n = out.size() - stream.avail_out;
            sink.Write(out.data(), n);
            current.info.CompressedSize += n;
            if (rc == Z_STREAM_END)
                break;
        } while (stream.avail_in > 0 || left > 0 || stream.avail_out == 0 || flush == Z_FINISH);
    }
};

ZipWriter::ZipWriter(AtomicSink& sink)
    : m_impl(new Impl(sink))
{
}

ZipWriter::~ZipWriter() = default;

void ZipWriter::SetProgress(Progress* progress)
{
    m_impl->progress = progress;
}

void ZipWriter::CopyEntry(const SalvagedEntry& entry, ByteReader& view)
{
    Impl& d = *m_impl;
    d.Check();
    Written w;
    w.info = entry.Info;
    w.info.CompressedSize = entry.DataLength;
    w.localOffset = d.sink.Size();
    // Traditional encryption checks its password against the time when a descriptor follows, against the
    // CRC otherwise: an encrypted member keeps its descriptor so that its password still checks.
    const bool descriptor = entry.Info.Encrypted() && (entry.Info.Flags & kFlagDescriptor);
    if (!descriptor)
        w.info.Flags &= uint16_t(~kFlagDescriptor);
    const bool zip64 = w.info.CompressedSize >= kMax32 || w.info.UncompressedSize >= kMax32;
    d.WriteLocal(w.info, zip64);
    std::vector<uint8_t> buffer(1 << 20);
    for (uint64_t at = entry.DataOffset, left = entry.DataLength; left > 0;) {
        const size_t n = view.ReadAt(at, buffer.data(), size_t(std::min<uint64_t>(buffer.size(), left)));
        if (n == 0)
            throw ReadError("the source ended while a member was copied");
        d.sink.Write(buffer.data(), n);
        at += n;
        left -= n;
        if (d.progress)
            d.progress->Advance(n);
    }
    if (descriptor) {
        uint8_t b[24];
        Put32(b, kDescriptorSignature);
        Put32(b + 4, w.info.Crc32);
        if (zip64) {
            Put64(b + 8, w.info.CompressedSize);
            Put64(b + 16, w.info.UncompressedSize);
        } else {
            Put32(b + 8, uint32_t(w.info.CompressedSize));
            Put32(b + 12, uint32_t(w.info.UncompressedSize));
        }
        d.sink.Write(b, zip64 ? 24 : 16);
    }
    d.written.push_back(std::move(w));
}

ContentSink& ZipWriter::BeginEntry(const ZipEntryInfo& info)
{
    Impl& d = *m_impl;
    d.Check();
    d.current = {};
    d.current.info = info;
    d.current.info.Method = 8;
    // Not encrypted (what is written is decoded content), no descriptor (sizes are patched in), normal
    // deflate options.
    d.current.info.Flags &= uint16_t(~(kFlagEncrypted | kFlagDescriptor | 6));
    d.current.info.VersionNeeded = std::max<uint16_t>(info.VersionNeeded, 20);
    d.current.info.Crc32 = 0;
    d.current.info.CompressedSize = 0;
    d.current.info.UncompressedSize = 0;
    d.current.localOffset = d.sink.Size();
    // Room for 64-bit sizes only where the member may need them.
    d.localZip64 = info.UncompressedSize >= 0x7FFFFFFF;
    d.WriteLocal(d.current.info, d.localZip64);
    d.stream = {};
    if (deflateInit2(&d.stream, 6, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::bad_alloc();
    d.deflating = true;
    d.open = true;
    return d;
}

void ZipWriter::EndEntry()
{
    Impl& d = *m_impl;
    if (!d.open)
        throw std::logic_error("ZipWriter: no member is open");
    d.Deflate(nullptr, 0, Z_FINISH);
    deflateEnd(&d.stream);
    d.deflating = false;
    d.open = false;
    ZipEntryInfo& info = d.current.info;
    const bool zip64 = info.CompressedSize >= kMax32 || info.UncompressedSize >= kMax32;
    if (zip64 && !d.localZip64)
        throw WriteError("a salvaged member grew past 4 GiB");
    uint8_t b[16];
    Put32(b, info.Crc32);
    d.sink.WriteAt(d.current.localOffset + 14, b, 4);
    if (d.localZip64) {
        Put64(b, info.UncompressedSize);
        Put64(b + 8, info.CompressedSize);
        d.sink.WriteAt(d.current.localOffset + 30 + info.Name.size() + 4, b, 16);
    } else {
        Put32(b, uint32_t(info.CompressedSize));
        Put32(b + 4, uint32_t(info.UncompressedSize));
        d.sink.WriteAt(d.current.localOffset + 18, b, 8);
    }
    d.written.push_back(std::move(d.current));
}

void ZipWriter::Finish()
{
    Impl& d = *m_impl;
    d.Check();
    d.finished = true;
    const uint64_t directoryStart = d.sink.Size();
    for (const Written& w : d.written) {
        const ZipEntryInfo& info = w.info;
        uint8_t z[28];
        size_t zn = 4;
        if (info.UncompressedSize >= kMax32) {
            Put64(z + zn, info.UncompressedSize);
            zn += 8;
        }
        if (info.CompressedSize >= kMax32) {
            Put64(z + zn, info.CompressedSize);
            zn += 8;
        }
        if (w.localOffset >= kMax32) {
            Put64(z + zn, w.localOffset);
            zn += 8;
        }
        std::string extra;
        if (zn > 4) {
            Put16(z, kZip64ExtraId);
            Put16(z + 2, uint16_t(zn - 4));
            extra.assign(reinterpret_cast<char*>(z), zn);
        }
        if (extra.size() + info.CentralExtra.size() <= 0xFFFF)
            extra += info.CentralExtra;
        const bool zip64 = zn > 4;
        uint8_t h[46];
        Put32(h, kCentralSignature);
        Put16(h + 4, info.VersionMadeBy);
        PutSharedFields(h + 6, info, zip64, uint32_t(std::min(info.CompressedSize, kMax32)),
            uint32_t(std::min(info.UncompressedSize, kMax32)), extra.size());
        Put16(h + 32, uint16_t(std::min<size_t>(info.Comment.size(), 0xFFFF)));
        Put16(h + 34, 0);
        Put16(h + 36, info.InternalAttributes);
        Put32(h + 38, info.ExternalAttributes);
        Put32(h + 42, uint32_t(std::min(w.localOffset, kMax32)));
        d.sink.Write(h, sizeof h);
        d.sink.Write(info.Name.data(), info.Name.size());
        d.sink.Write(extra.data(), extra.size());
        d.sink.Write(info.Comment.data(), std::min<size_t>(info.Comment.size(), 0xFFFF));
    }
    const uint64_t directoryEnd = d.sink.Size();
    const uint64_t count = d.written.size();
    const uint64_t directorySize = directoryEnd - directoryStart;
    if (count >= 0xFFFF || directoryStart >= kMax32 || directorySize >= kMax32) {
        uint8_t r[56 + 20];
        Put32(r, kZip64EndSignature);
        Put64(r + 4, 44);
        Put16(r + 12, kZip64Version);
        Put16(r + 14, kZip64Version);
        Put32(r + 16, 0);
        Put32(r + 20, 0);
        Put64(r + 24, count);
        Put64(r + 32, count);
        Put64(r + 40, directorySize);
        Put64(r + 48, directoryStart);
        Put32(r + 56, kZip64LocatorSignature);
        Put32(r + 60, 0);
        Put64(r + 64, directoryEnd);
        Put32(r + 72, 1);
        d.sink.Write(r, sizeof r);
    }
    uint8_t e[22];
    Put32(e, kEndSignature);
    Put16(e + 4, 0);
    Put16(e + 6, 0);
    Put16(e + 8, uint16_t(std::min<uint64_t>(count, 0xFFFF)));
    Put16(e + 10, uint16_t(std::min<uint64_t>(count, 0xFFFF)));
    Put32(e + 12, uint32_t(std::min(directorySize, kMax32)));
    Put32(e + 16, uint32_t(std::min(directoryStart, kMax32)));
    Put16(e + 20, 0);
    d.sink.Write(e, sizeof e);
}

} // namespace repair
