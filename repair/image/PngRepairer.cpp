// SPDX-License-Identifier: MIT
#include "PngRepairer.h"

#include "AtomicSink.h"
#include "ImageRowLineEndView.h"
#include "PngChunkWalk.h"
#include "PngChunkWriter.h"
#include "PngFormat.h"
#include "PngIdatStream.h"
#include "Progress.h"

#include <cstring>
#include <memory>

namespace repair {

namespace {

// The signature after a text-mode transfer: every LF preceded by a CR, or only the lone LFs given one.
constexpr uint8_t kDoubledSignature[10] = { 0x89, 'P', 'N', 'G', '\r', '\r', '\n', 0x1a, '\r', '\n' };
constexpr uint8_t kSingleSignature[9] = { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\r', '\n' };

std::string Plural(uint64_t n, const char* one, const char* many)
{
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::vector<uint8_t> ReadSmall(PngChunkWalk& walk, const PngChunk* chunk)
{
    std::vector<uint8_t> data;
    if (!chunk)
        return data;
    data.resize(size_t(std::min<uint64_t>(chunk->KnownBytes(), 1024)));
    data.resize(walk.ReadData(*chunk, 0, data.data(), data.size()));
    return data;
}

uint8_t PackSmall(unsigned value, unsigned depth)
{
    value &= (1u << depth) - 1;
    unsigned byte = 0;
    for (unsigned shift = 0; shift < 8; shift += depth)
        byte |= value << shift;
    return uint8_t(byte);
}

// One pixel of the colour for lost rows: transparent where the image can be, else its background, else
// black.
std::vector<uint8_t> FillPixel(const PngHeader& h, const std::vector<uint8_t>& palette,
    const std::vector<uint8_t>& transparency, const std::vector<uint8_t>& background)
{
    std::vector<uint8_t> pixel;
    auto sample = [&](unsigned v) {
        if (h.Depth == 16)
            pixel.push_back(uint8_t(v >> 8));
        pixel.push_back(uint8_t(h.Depth < 8 ? PackSmall(v, h.Depth) : v));
    };
    auto be16 = [](const std::vector<uint8_t>& b, size_t at) { return unsigned(b[at] << 8 | b[at + 1]); };
    switch (h.ColourType) {
    case 3: {
        unsigned index = 0;
        bool chosen = false;
        for (size_t i = 0; i < transparency.size() && !chosen; ++i)
            if (transparency[i] == 0) {
                index = unsigned(i);
                chosen = true;
            }
        if (!chosen && !background.empty()) {
            index = background[0];
            chosen = true;
        }
        unsigned darkest = 3 * 255 + 1;
        for (size_t i = 0; !chosen && i + 2 < palette.size(); i += 3)
            if (unsigned(palette[i] + palette[i + 1] + palette[i + 2]) < darkest) {
                darkest = unsigned(palette[i] + palette[i + 1] + palette[i + 2]);
                index = unsigned(i / 3);
            }
        sample(index);
        break;
    }
    case 0:
        sample(transparency.size() >= 2  ? be16(transparency, 0)
                : background.size() >= 2 ? be16(background, 0)
                                         : 0);
        break;
    case 2:
        for (size_t c = 0; c < 3; ++c)
            sample(transparency.size() >= 6  ? be16(transparency, 2 * c)
                    : background.size() >= 6 ? be16(background, 2 * c)
                                             : 0);
        break;
    default: // with an alpha channel: all zero is transparent
        pixel.assign(h.BitsPerPixel() / 8, 0);
        break;
    }
    return pixel;
}

// The compressed image data of the run of chunks that holds it, as far as it is known.
class ImageDataInput {
public:
    ImageDataInput(PngChunkWalk& walk, std::vector<const PngChunk*> chunks)
        : m_walk(walk)
        , m_chunks(std::move(chunks))
    {
    }
    size_t operator()(uint8_t* buffer, size_t count)
    {
        while (m_index < m_chunks.size()) {
            const size_t n = m_walk.ReadData(*m_chunks[m_index], m_offset, buffer, count);
            if (n > 0) {
                m_offset += n;
                return n;
            }
            ++m_index;
            m_offset = 0;
        }
        return 0;
    }

private:
    PngChunkWalk& m_walk;
    std::vector<const PngChunk*> m_chunks;
    size_t m_index = 0;
    uint64_t m_offset = 0;
};

} // namespace

Recognition PngRepairer::Recognise(ByteReader& source, std::string_view extension)
{
    Recognition r;
    r.Format = "png";
    r.Family = "image";
    uint8_t head[64] = {};
    const size_t n = source.ReadAt(0, head, sizeof head);
    if ((n >= 8 && std::memcmp(head, kPngSignature, 8) == 0)
        || (n >= 10 && std::memcmp(head, kDoubledSignature, 10) == 0)
        || (n >= 9 && std::memcmp(head, kSingleSignature, 9) == 0)) {
        r.Score = 100;
        return r;
    }
    for (size_t i = 4; i + 4 <= n; ++i)
        if (Be32(head + i) == kIhdr && Be32(head + i - 4) == 13) {
            r.Score = 50;
            return r;
        }
    r.Score = extension == "png" ? 10 : 0;
    return r;
}

Report PngRepairer::Repair(
    ByteReader& source, const std::function<AtomicSink&()>& openSink, Progress& progress)
{
    Report report;
    report.Family = "image";
    report.Format = "png";

    uint8_t head[10] = {};
    const size_t headBytes = source.ReadAt(0, head, sizeof head);
    std::unique_ptr<ImageRowLineEndView> view;
    ByteReader* reader = &source;
    if ((headBytes >= 10 && std::memcmp(head, kDoubledSignature, 10) == 0)
        || (headBytes >= 9 && std::memcmp(head, kSingleSignature, 9) == 0)) {
        view = std::make_unique<ImageRowLineEndView>(source);
        reader = view.get();
        report.Messages.push_back("line ends changed by a text-mode transfer: undone");
    }
    progress.SetTotal(2 * reader->Size() + 1);
    PngChunkWalk walk(*reader, progress);
    walk.Run();
    const std::vector<PngChunk>& chunks = walk.Chunks();

    // What the walk found.
    bool damage = view || !walk.SignatureSound() || !walk.EndFound();
    if (!walk.SignatureSound() && !view)
        report.Messages.push_back("the signature is damaged or lost");
    const PngChunk* header = nullptr;
    const PngChunk* palette = nullptr;
    const PngChunk* transparency = nullptr;
    const PngChunk* background = nullptr;
    std::vector<const PngChunk*> imageData;
    bool imageDataEnded = false;
    uint64_t proven = 0; // bytes of the image data that the checksums vouch for
    uint64_t provenSoFar = 0;
    uint64_t corrected = 0;
    for (const PngChunk& c : chunks) {
        damage = damage || c.Kind != PngChunk::State::Sound;
        if (c.Kind == PngChunk::State::Corrected)
            ++corrected;
        if (c.Kind == PngChunk::State::Gap)
            report.Messages.push_back(Plural(c.Span, "byte", "bytes") + " at offset "
                + std::to_string(c.Offset) + " hold no chunk: skipped");
        else if (!c.Usable())
            report.Messages.push_back(ChunkName(c.Type) + " chunk at offset " + std::to_string(c.Offset)
                + (c.Kind == PngChunk::State::Cut ? ": cut short" : ": damaged"));
        if (c.Type == kIhdr && c.Kind != PngChunk::State::Gap && !header)
            header = &c;
        else if (c.Usable() && c.Type == kPlte && !palette)
            palette = &c;
        else if (c.Usable() && c.Type == kTrns && !transparency)
            transparency = &c;
        else if (c.Usable() && c.Type == kBkgd && !background)
            background = &c;
        // The image data: its chunks in a run from the first, damaged ones included, up to a stretch
        // where they cannot go on.
        if (!imageDataEnded && c.Type == kIdat) {
            imageData.push_back(&c);
            if ((c.Usable() || c.Kind == PngChunk::State::Cut) && proven == provenSoFar)
                provenSoFar = proven += c.KnownBytes();
            else
                provenSoFar = UINT64_MAX;
            imageDataEnded = c.Truncated;
        } else if (c.Kind == PngChunk::State::Gap && !imageData.empty()) {
            // Bytes inserted, or chunks lost: only decoding can tell, and the stream's checksum proves it.
            provenSoFar = UINT64_MAX;
        } else if (!imageData.empty()) {
            imageDataEnded = true;
        }
    }
    if (corrected)
        report.Messages.push_back(
            Plural(corrected, "chunk", "chunks") + " put right where the checksums prove it");
    if (walk.BytesAfterEnd())
        report.Messages.push_back(
            Plural(walk.BytesAfterEnd(), "byte", "bytes") + " after the end of the image: left out");

    PngHeader h;
    std::string why;
    if (!header) {
        report.Outcome = Verdict::Unrecoverable;
        report.Messages.push_back("the image header is lost, so its size and colours are not known");
        return report;
    }
    {
        uint8_t data[13] = {};
        const bool read = header->Usable() ? walk.ReadData(*header, 0, data, 13) == 13
                                           : reader->ReadAt(header->Offset + 8, data, 13) == 13;
        if (!read || (header->Usable() && header->Length != 13) || !h.Parse(data, why)) {
            report.Outcome = Verdict::Unrecoverable;
            report.Messages.push_back(why.empty() ? "the image header is damaged" : why);
            return report;
        }
        if (!header->Usable())
            report.Messages.push_back("the image header is damaged: its values are used as they read");
    }
    const std::vector<uint8_t> paletteBytes = ReadSmall(walk, palette);
    const std::vector<uint8_t> fill
        = FillPixel(h, paletteBytes, ReadSmall(walk, transparency), ReadSmall(walk, background));

    const std::string described = std::to_string(h.Width) + " x " + std::to_string(h.Height) + " pixels";
    if (!damage) {
        PngIdatStream check(h, fill, progress);
        ImageDataInput input(walk, imageData);
        const PngStreamResult r = check.Run(std::ref(input), proven, nullptr);
        if (r.Complete) {
            report.Outcome = Verdict::Intact;
            report.PartsTotal = report.PartsRecovered = r.RowsTotal;
            report.Messages.push_back("no damage found: a png image of " + described);
            return report;
        }
        report.Messages.push_back(r.Problem);
    }

    AtomicSink& sink = openSink();
    PngChunkWriter writer(sink);
    writer.Signature();
    uint8_t ihdr[13];
    PutBe32(ihdr, h.Width);
    PutBe32(ihdr + 4, h.Height);
    ihdr[8] = h.Depth;
    ihdr[9] = h.ColourType;
    ihdr[10] = ihdr[11] = 0;
    ihdr[12] = h.Interlace;
    writer.Chunk(kIhdr, ihdr, 13);
    bool paletteWritten = false;
    bool dataWritten = false;
    PngStreamResult result;
    auto writeImageData = [&] {
        if (h.ColourType == 3 && !paletteWritten) {
            // Without a palette the image cannot be read at all: a grey ramp keeps its shapes visible.
            std::vector<uint8_t> ramp;
            const unsigned entries = 1u << h.Depth;
            for (unsigned i = 0; i < entries; ++i)
                ramp.insert(ramp.end(), 3, uint8_t(i * 255 / (entries - 1)));
            writer.Chunk(kPlte, ramp.data(), ramp.size());
            paletteWritten = true;
            report.Messages.push_back("the palette is lost: a grey one put in its place");
        }
        PngIdatStream stream(h, fill, progress);
        ImageDataInput input(walk, imageData);
        result = stream.Run(std::ref(input), proven, &writer);
        dataWritten = true;
    };
    // Rows decoded from damaged data may use any index: a palette of every entry the depth allows
    // keeps the file readable.
    const bool unsure = provenSoFar == UINT64_MAX;
    auto writePalette = [&](std::vector<uint8_t> entries) {
        entries.resize(entries.size() / 3 * 3);
        if (unsure && entries.size() < 3u << h.Depth)
            entries.resize(3u << h.Depth, 0);
        writer.Chunk(kPlte, entries.data(), entries.size());
    };
    for (const PngChunk& c : chunks) {
        progress.Check();
        if (c.Kind == PngChunk::State::Gap || c.Type == kIhdr || c.Type == kIend)
            continue;
        if (c.Type == kIdat) {
            if (!dataWritten)
                writeImageData();
            continue;
        }
        if (c.Type == kPlte && !paletteWritten && !c.Usable() && !palette && c.Length % 3 == 0
            && c.Length <= 768 && c.Offset + 12 + c.Length <= reader->Size()) {
            // A damaged palette still gives colours closer than none.
            PngChunk whole = c;
            whole.Data = { { c.Offset + 8, c.Length } };
            writePalette(ReadSmall(walk, &whole));
            paletteWritten = true;
            report.Messages.push_back("the palette is damaged: kept as it reads");
            continue;
        }
        if (!c.Usable() || (dataWritten && (c.Type == kPlte || c.Type == kTrns || c.Type == kBkgd)))
            continue;
        if (c.Type == kPlte && h.ColourType == 3) {
            writePalette(paletteBytes);
            paletteWritten = true;
            continue;
        }
        writer.Copy(walk, c);
    }
    if (!dataWritten)
        writeImageData();
    writer.Chunk(kIend, nullptr, 0);

    report.PartsTotal = result.RowsTotal;
    report.PartsRecovered = result.RowsRecovered;
    if (!result.Problem.empty() && !result.Complete)
        report.Messages.push_back(result.Problem);
    if (result.RowsKept == 0) {
        report.Outcome = Verdict::Unrecoverable;
        report.Messages.push_back("no row of the image could be decoded");
        return report;
    }
    const std::string unit = h.Interlace ? "interlaced pass rows " : "rows ";
    if (result.RowsKept > result.RowsRecovered) {
        const std::string range
            = std::to_string(result.RowsRecovered + 1) + "-" + std::to_string(result.RowsKept);
        report.Lost.push_back(unit + range + " (kept as decoded from damaged data)");
        report.Messages.push_back(unit + range + " decoded from damaged data: kept, but they may be wrong");
    }
    if (result.RowsKept < result.RowsTotal)
        report.Lost.push_back(
            unit + std::to_string(result.RowsKept + 1) + "-" + std::to_string(result.RowsTotal));
    if (result.RowsRecovered < result.RowsTotal) {
        report.Outcome = Verdict::Partial;
        report.Messages.push_back(Plural(result.RowsRecovered, "row", "rows") + " of "
            + std::to_string(result.RowsTotal) + " recovered"
            + (result.RowsKept < result.RowsTotal ? ", the rest filled" : ""));
    } else {
        report.Outcome = Verdict::Repaired;
        report.Messages.push_back("every row recovered: a png image of " + described);
    }
    return report;
}

} // namespace repair
