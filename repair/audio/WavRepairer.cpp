// SPDX-License-Identifier: MIT
#include "WavRepairer.h"

#include "AtomicSink.h"
#include "LittleEndian.h"
#include "Progress.h"
#include "WavLayout.h"

#include <algorithm>
#include <cstring>

namespace repair {

namespace {

void Copy(ByteReader& source, uint64_t from, uint64_t count, AtomicSink& sink, Progress& progress)
{
    std::vector<uint8_t> buffer(std::min<uint64_t>(count, 1 << 20));
    while (count > 0) {
        const size_t want = size_t(std::min<uint64_t>(count, buffer.size()));
        const size_t n = source.ReadAt(from, buffer.data(), want);
        // The walk measured what is there; a source that shrank since is an error, not a short file.
        if (n != want)
            throw std::runtime_error("the file changed while it was being repaired");
        sink.Write(buffer.data(), n);
        from += n;
        count -= n;
        progress.Advance(n);
    }
}

void ChunkHeader(AtomicSink& sink, const char* id, uint32_t size)
{
    uint8_t h[8];
    std::memcpy(h, id, 4);
    PutLe32(h + 4, size);
    sink.Write(h, 8);
}

void Pad(AtomicSink& sink, uint64_t size)
{
    if (size % 2) {
        const uint8_t zero = 0;
        sink.Write(&zero, 1);
    }
}

uint64_t Chunked(uint64_t size)
{
    return 8 + size + size % 2;
}

} // namespace

Recognition WavRepairer::Recognise(ByteReader& source, std::string_view extension)
{
    Recognition r;
    r.Format = "wav";
    r.Family = "music";
    uint8_t head[64] = {};
    const size_t n = source.ReadAt(0, head, sizeof head);
    if (n >= 12 && (std::memcmp(head, "RIFF", 4) == 0 || std::memcmp(head, "RF64", 4) == 0)
        && std::memcmp(head + 8, "WAVE", 4) == 0) {
        r.Score = 100;
        return r;
    }
    // A damaged head: the format chunk, or the WAVE tag where it belongs.
    if (n >= 12 && std::memcmp(head + 8, "WAVE", 4) == 0) {
        r.Score = 50;
        return r;
    }
    for (size_t i = 0; i + 8 <= n; ++i)
        if (std::memcmp(head + i, "fmt ", 4) == 0 && Le32(head + i + 4) >= 16 && Le32(head + i + 4) <= 40) {
            r.Score = 50;
            return r;
        }
    r.Score = extension == "wav" ? 10 : 0;
    return r;
}

Report WavRepairer::Repair(
    ByteReader& source, const std::function<AtomicSink&()>& openSink, Progress& progress)
{
    Report report;
    report.Family = "music";
    report.Format = "wav";
    progress.SetTotal(source.Size() + 1);
    WavLayout layout = WavWalk(source).Run();
    report.Messages = layout.Damage;
    if (!layout.Unrecoverable.empty()) {
        report.Outcome = Verdict::Unrecoverable;
        report.Messages.push_back(layout.Unrecoverable);
        return report;
    }
    const WavFormat& format = *layout.Format;
    const uint64_t frames = layout.DataSize / format.BlockAlign;
    const uint64_t promised
        = std::max(layout.DataSize + layout.LostBytes, layout.DeclaredDataSize) / format.BlockAlign;
    report.PartsTotal = std::max(frames, layout.LostBytes ? promised : frames);
    report.PartsRecovered = frames;
    const std::string what
        = "a WAV file of " + std::to_string(frames) + " sample frames (" + format.Describe() + ")";
    if (layout.Damage.empty()) {
        report.Outcome = Verdict::Intact;
        report.Messages.push_back("no damage found: " + what);
        return report;
    }
    if (frames == 0) {
        report.Outcome = Verdict::Unrecoverable;
        report.Messages.push_back("no whole sample frame is left");
        return report;
    }
    if (layout.LostBytes)
        layout.Lost.push_back(
            "sample frames " + std::to_string(frames) + " to " + std::to_string(report.PartsTotal - 1));

    // Every size is known before the first byte is written: the header goes out true, no patching after.
    uint64_t total = 4 + Chunked(layout.DataSize);
    const bool addFormat = layout.FormatRebuilt;
    if (addFormat)
        total += Chunked(format.Body.size());
    for (const auto* list : { &layout.Before, &layout.After })
        for (const WavChunk& c : *list)
            total += Chunked(c.Size);

    AtomicSink& sink = openSink();
    uint8_t head[12];
    std::memcpy(head, layout.Wide ? "RF64" : "RIFF", 4);
    PutLe32(head + 4, layout.Wide ? 0xFFFFFFFFu : uint32_t(total));
    std::memcpy(head + 8, "WAVE", 4);
    sink.Write(head, 12);
    const auto writeFormat = [&] {
        ChunkHeader(sink, "fmt ", uint32_t(format.Body.size()));
        sink.Write(format.Body.data(), format.Body.size());
        Pad(sink, format.Body.size());
    };
    // RF64 wants its ds64 chunk first; a rebuilt format goes straight after it.
    if (addFormat && (layout.Before.empty() || std::memcmp(layout.Before[0].Id.data(), "ds64", 4) != 0))
        writeFormat();
    for (size_t i = 0; i < layout.Before.size(); ++i) {
        const WavChunk& c = layout.Before[i];
        ChunkHeader(sink, std::string(c.Id.data(), 4).c_str(), uint32_t(c.Size));
        if (std::memcmp(c.Id.data(), "ds64", 4) == 0) {
            uint8_t sizes[24] = {};
            const size_t patched = size_t(std::min<uint64_t>(c.Size, sizeof sizes));
            source.ReadAt(c.Body, sizes, patched);
            PutLe64(sizes, total);
            PutLe64(sizes + 8, layout.DataSize);
            PutLe64(sizes + 16, frames);
            sink.Write(sizes, patched);
            Copy(source, c.Body + patched, c.Size - patched, sink, progress);
            Pad(sink, c.Size);
            if (addFormat && i == 0)
                writeFormat();
            continue;
        }
        Copy(source, c.Body, c.Size, sink, progress);
        Pad(sink, c.Size);
    }
    ChunkHeader(sink, "data", layout.Wide ? 0xFFFFFFFFu : uint32_t(layout.DataSize));
    Copy(source, layout.DataBody, layout.DataSize, sink, progress);
    Pad(sink, layout.DataSize);
    for (const WavChunk& c : layout.After) {
        ChunkHeader(sink, std::string(c.Id.data(), 4).c_str(), uint32_t(c.Size));
        Copy(source, c.Body, c.Size, sink, progress);
        Pad(sink, c.Size);
    }
    report.Lost = layout.Lost;
    report.Messages.push_back("kept " + what);
    report.Outcome = report.Lost.empty() ? Verdict::Repaired : Verdict::Partial;
    return report;
}

} // namespace repair
