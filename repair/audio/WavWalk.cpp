// SPDX-License-Identifier: MIT
#include "LittleEndian.h"
#include "WavLayout.h"

#include <algorithm>
#include <cstring>

namespace repair {

namespace {

// Beyond this many chunks a file is hostile, not real: the rest are dropped rather than remembered.
constexpr size_t kMaxChunks = 1024;
// A format chunk is a few dozen bytes; anything much larger is a size that went wrong.
constexpr uint32_t kMaxFormatSize = 4096;

constexpr const char* kKnownIds[] = { "fmt ", "data", "LIST", "fact", "cue ", "smpl", "bext", "id3 ", "ID3 ",
    "PEAK", "JUNK", "junk", "PAD ", "inst", "acid", "iXML", "axml", "labl", "plst", "ds64", "_PMX", "DISP",
    "cart", "umid", "levl", "minf", "elm1", "regn", "FLLR", "wavl", "slnt" };

bool Known(const uint8_t* id)
{
    for (const char* k : kKnownIds)
        if (std::memcmp(id, k, 4) == 0)
            return true;
    return false;
}

bool Printable(const uint8_t* id)
{
    for (int i = 0; i < 4; ++i)
        if (id[i] < 0x20 || id[i] > 0x7e)
            return false;
    return std::memcmp(id, "    ", 4) != 0;
}

bool Is(const uint8_t* id, const char* name)
{
    return std::memcmp(id, name, 4) == 0;
}

std::string Bytes(uint64_t n)
{
    return std::to_string(n) + (n == 1 ? " byte" : " bytes");
}

} // namespace

WavWalk::WavWalk(ByteReader& source, size_t window)
    : m_window(source, window)
    , m_size(source.Size())
{
}

// A chunk header: a name of printable characters (a known one when `strict`) and a size that fits.
bool WavWalk::Plausible(uint64_t at, bool strict)
{
    uint8_t h[8];
    if (!m_window.Read(at, h, 8))
        return false;
    if (!Printable(h) || (strict && !Known(h)))
        return false;
    return Is(h, "data") || Le32(h + 4) <= m_size - at - 8;
}

// The next known chunk from `from` whose size fits and which is followed by another chunk or the end.
uint64_t WavWalk::Resync(uint64_t from, uint64_t& found)
{
    for (uint64_t at = from; at + 8 <= m_size;) {
        size_t available = 0;
        const uint8_t* p = m_window.At(at, 256 * 1024, available);
        const size_t scan = available >= 8 ? available - 7 : 0;
        if (scan == 0)
            break;
        for (size_t i = 0; i < scan; ++i) {
            if (!Known(p + i))
                continue;
            const uint64_t here = at + i;
            if (!Plausible(here, true))
                continue;
            uint8_t h[8];
            m_window.Read(here, h, 8);
            const uint64_t end = here + 8 + Le32(h + 4);
            if (Is(h, "data") || end >= m_size - 1 || Plausible(end, false) || Plausible(end + 1, false)) {
                found = here;
                return here - from;
            }
            p = m_window.At(at, 256 * 1024, available); // the checks may have moved the window
        }
        at += scan;
    }
    found = m_size;
    return m_size - from;
}

WavLayout WavWalk::Run()
{
    uint8_t head[12] = {};
    if (m_size < 12 || !m_window.Read(0, head, 12)) {
        m_layout.Unrecoverable = "too short to be a WAV file";
        return std::move(m_layout);
    }
    const bool headSound = (Is(head, "RIFF") || Is(head, "RF64")) && Is(head + 8, "WAVE");
    uint64_t declaredRiff = 0;
    uint64_t pos = 12;
    if (headSound) {
        m_layout.Wide = Is(head, "RF64");
        declaredRiff = Le32(head + 4);
    } else {
        m_layout.Damage.push_back("the file's RIFF header is damaged");
        pos = 0;
    }
    uint64_t end = pos; // the end of the last chunk taken
    bool sawChunk = false;
    while (pos + 8 <= m_size) {
        uint8_t h[8];
        m_window.Read(pos, h, 8);
        if (Plausible(pos, !headSound && !sawChunk)) {
            uint64_t next = pos;
            TakeChunk(h, pos, next);
            sawChunk = true;
            end = std::min(next, m_size);
            pos = next;
            continue;
        }
        uint64_t found = m_size;
        const uint64_t skipped = Resync(pos, found);
        if (found == m_size) {
            // Nothing after: bytes beyond the RIFF's declared end are not the WAV's own.
            if (!headSound || m_layout.Wide || pos < declaredRiff + 8) {
                m_layout.Damage.push_back(Bytes(skipped) + " after the last chunk were not a chunk: dropped");
                if (m_layout.HasData)
                    m_layout.Lost.push_back(Bytes(skipped) + " at offset " + std::to_string(pos));
            }
            break;
        }
        // The bytes where a format chunk stood, its header lost, are the leftovers that may prove it.
        const bool formatPlace
            = !m_sawFormat && !m_layout.Format && !m_layout.HasData && (skipped == 24 || skipped == 26);
        if (formatPlace) {
            m_damagedFormat.resize(skipped - 8);
            m_window.Read(pos + 8, m_damagedFormat.data(), m_damagedFormat.size());
            m_sawFormat = true;
            m_layout.Damage.push_back("the format chunk's header is damaged");
        } else if (headSound || sawChunk) {
            m_layout.Damage.push_back(
                Bytes(skipped) + " of damage at offset " + std::to_string(pos) + " skipped");
            m_layout.Lost.push_back(Bytes(skipped) + " at offset " + std::to_string(pos));
        }
        pos = found;
    }

    if (!m_layout.HasData) {
        m_layout.Unrecoverable = "no samples were found";
        return std::move(m_layout);
    }
    const uint64_t riff = m_layout.Wide ? m_wideRiff : declaredRiff;
    if (headSound && riff != end - 8)
        m_layout.Damage.push_back(
            "the RIFF size said " + Bytes(riff) + ", the chunks hold " + Bytes(end - 8));
    SettleFormat();
    return std::move(m_layout);
}

void WavWalk::TakeChunk(const uint8_t* h, uint64_t at, uint64_t& next)
{
    const uint64_t size = Le32(h + 4);
    const uint64_t body = at + 8;
    if (Is(h, "data")) {
        if (!m_layout.HasData) {
            TakeData(at, size, next);
            return;
        }
        if (size > m_size - body) { // a second, cut data chunk: not one this layout can hold
            m_layout.Damage.push_back("a second data chunk cut short: dropped");
            next = m_size;
            return;
        }
    }
    next = body + size;
    // A pad byte follows an odd size, unless the writer left it out.
    if (size % 2 && next < m_size && !Plausible(next, false)
        && (next + 1 == m_size || Plausible(next + 1, false)))
        ++next;
    if (Is(h, "fmt ")) {
        std::vector<uint8_t> bytes(std::min<uint64_t>(size, kMaxFormatSize));
        m_window.Read(body, bytes.data(), bytes.size());
        auto format = WavFormat::Parse(bytes.data(), bytes.size());
        if (size <= kMaxFormatSize && format && format->Sound() && !m_layout.Format) {
            m_layout.Format = std::move(format);
        } else if (!m_layout.Format) {
            m_layout.Damage.push_back("the format chunk is damaged");
            m_damagedFormat = std::move(bytes);
            m_sawFormat = true;
            return; // replaced by the rebuilt one, if the file proves it
        } else {
            return; // a second copy: the first one serves
        }
    } else if (Is(h, "fact") && size >= 4) {
        uint8_t f[4];
        m_window.Read(body, f, 4);
        m_hasFact = true;
        m_factFrames = Le32(f);
    } else if (Is(h, "ds64") && size >= 16) {
        uint8_t d[16];
        m_window.Read(body, d, 16);
        m_wideRiff = Le64(d);
        m_wideData = Le64(d + 8);
    }
    auto& list = m_layout.HasData ? m_layout.After : m_layout.Before;
    if (m_layout.Before.size() + m_layout.After.size() >= kMaxChunks) {
        if (m_layout.Before.size() + m_layout.After.size() == kMaxChunks)
            m_layout.Damage.push_back("more chunks than any real file holds: the rest dropped");
        return;
    }
    WavChunk chunk;
    std::memcpy(chunk.Id.data(), h, 4);
    chunk.Body = body;
    chunk.Size = size;
    list.push_back(chunk);
}

void WavWalk::TakeData(uint64_t at, uint64_t declared, uint64_t& next)
{
    const uint64_t body = at + 8;
    const uint64_t available = m_size - body;
    if (m_layout.Wide && declared == 0xFFFFFFFF)
        declared = m_wideData;
    m_layout.HasData = true;
    m_layout.DataBody = body;
    m_layout.DeclaredDataSize = declared;
    const bool emptyThenChunk = declared == 0 && Plausible(body, true);
    if ((declared == 0 && !emptyThenChunk) || (!m_layout.Wide && declared == 0xFFFFFFFF)) {
        m_layout.Damage.push_back("the sizes were never written, as by a recording that was not closed");
        m_layout.DataSize = available;
        next = m_size;
    } else if (declared > available) {
        m_layout.Damage.push_back(
            "cut short: " + Bytes(available) + " of the " + Bytes(declared) + " of samples are there");
        m_layout.DataSize = available;
        m_layout.LostBytes = declared - available;
        next = m_size;
    } else {
        m_layout.DataSize = declared;
        next = body + declared;
        if (declared % 2 && next < m_size && !Plausible(next, false))
            ++next;
    }
}

// Another sound format chunk anywhere in the file: the proof a lost one needs most.
std::optional<WavFormat> WavWalk::SecondCopy()
{
    for (uint64_t at = 0; at + 8 <= m_size;) {
        size_t available = 0;
        const uint8_t* p = m_window.At(at, 256 * 1024, available);
        const size_t scan = available >= 8 ? available - 7 : 0;
        if (scan == 0)
            break;
        for (size_t i = 0; i < scan; ++i) {
            if (!Is(p + i, "fmt "))
                continue;
            const uint32_t size = Le32(p + i + 4);
            if (size != 16 && size != 18 && size != 40)
                continue;
            uint8_t body[40];
            const bool whole = m_window.Read(at + i + 8, body, size);
            auto format = whole ? WavFormat::Parse(body, size) : std::nullopt;
            if (format && format->Sound())
                return format;
            p = m_window.At(at, 256 * 1024, available); // the read may have moved the window
        }
        at += scan;
    }
    return std::nullopt;
}

void WavWalk::SettleFormat()
{
    if (!m_layout.Format) {
        if (auto copy = SecondCopy()) {
            m_layout.Format = std::move(copy);
            m_layout.Damage.push_back("the format was rebuilt from a second copy of it in the file");
        } else if (auto rebuilt = RebuildFormat(m_damagedFormat.data(), m_damagedFormat.size(), m_hasFact,
                       m_factFrames, m_layout.DataSize)) {
            m_layout.Format = std::move(rebuilt);
            m_layout.Damage.push_back("the format was rebuilt from what is left of its chunk");
        } else {
            m_layout.Unrecoverable = m_sawFormat || !m_damagedFormat.empty()
                ? "the format chunk is damaged and nothing left in the file proves the format"
                : "the format chunk is lost and nothing left in the file proves the format";
            return;
        }
        m_layout.FormatRebuilt = true;
    }
    const uint64_t align = m_layout.Format->BlockAlign;
    // Without RF64 every size is 32 bits: an unclosed recording longer than that keeps what fits.
    if (!m_layout.Wide) {
        uint64_t others = 4 + 8 + m_layout.Format->Body.size() + 1;
        for (const auto* list : { &m_layout.Before, &m_layout.After })
            for (const WavChunk& c : *list)
                others += 8 + c.Size + c.Size % 2;
        const uint64_t room = others < 0xFFFFFFFFull ? 0xFFFFFFFFull - others : 0;
        if (m_layout.DataSize > room) {
            m_layout.Damage.push_back("more samples than a WAV file can hold: the rest dropped");
            m_layout.Lost.push_back("samples past the 4 GB limit");
            m_layout.DataSize = room;
        }
    }
    if (const uint64_t partial = m_layout.DataSize % align) {
        m_layout.DataSize -= partial;
        m_layout.Damage.push_back("a partial sample frame at the end dropped (" + Bytes(partial) + ")");
    }
}

} // namespace repair
