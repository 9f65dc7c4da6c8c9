// SPDX-License-Identifier: MIT
#include "DeflateSalvage.h"

#include "InflateDecoder.h"
#include "InflateInput.h"
#include "InflateWindow.h"

#include <algorithm>
#include <optional>
#include <zlib.h>

namespace repair {

namespace {

using Status = InflateDecoder::Status;
using As = InflateWindow::As;

// No encoder makes blocks longer than this many symbols; a trial stops there.
constexpr uint64_t kMaxTrialSymbols = 1 << 20;
// A final block has no successor to vouch for it: when resuming, it must be long, or end where the range
// ends and be fairly long.
constexpr uint64_t kFinalSymbols = 512;
constexpr uint64_t kFinalSymbolsAtEnd = 64;

enum class Mode {
    Normal,
    FindDamage, // stop at the first damage, output only for its checksum
    ZeroRunsAreDamage, // the stream decodes but its checksum disagrees, and it holds runs of zeros
    AllUnsure, // the stream decodes but its checksum disagrees: nothing can be vouched for
};

class Salvager {
public:
    Salvager(ByteReader& in, uint64_t begin, uint64_t end, ContentSink& out, uint64_t maxOutput, Mode mode)
        : m_source(in)
        , m_out(out)
        , m_mode(mode)
        , m_input(in, begin, std::min(end, in.Size()))
        , m_decoder(m_input)
        , m_window(out, maxOutput, mode == Mode::AllUnsure ? As::Unsure : As::Data)
        // Keeps the search linear in the input whatever it holds.
        , m_trialBudget(256 * (m_input.End() - m_input.Begin()) + (uint64_t(1) << 16))
    {
    }

    DeflateSalvageResult Run();
    bool DamageSeen() const { return m_damageSeen; }
    bool ZeroRunsRead() const { return m_zeroRunsRead; }

private:
    As Good() const { return m_mode == Mode::AllUnsure ? As::Unsure : As::Data; }
    Status ReadHeader();
    bool PassZeroRun();
    void Confirm();
    bool Recover(Status status, uint64_t failedBlock);
    bool Search(uint64_t from);
    bool Candidate(uint64_t bit);
    bool Skim(uint64_t& symbols);

    ByteReader& m_source;
    ContentSink& m_out;
    Mode m_mode;
    InflateInput m_input;
    InflateDecoder m_decoder;
    InflateWindow m_window;
    uint64_t m_trialBudget;
    uint32_t m_resyncs = 0;
    bool m_damageSeen = false;
    bool m_zeroRunsRead = false;
    struct ZeroRun {
        uint64_t Output; // where the output stood when the symbols reached the first run
        uint64_t End; // the last run's end
    };
    std::optional<ZeroRun> m_zeroRun; // runs of zeros read since the output was last confirmed
};

DeflateSalvageResult Salvager::Run()
{
    DeflateSalvageResult result;
    uint64_t blockStart = m_input.Begin() * 8;
    uint64_t cleanEnd = blockStart;
    Status header = ReadHeader();
    for (;;) {
        if (header != Status::Ok) {
            if (!Recover(header, blockStart))
                break;
            blockStart = m_input.Tell();
            header = ReadHeader();
            continue;
        }
        Status status = m_decoder.Decode(m_window);
        while (status == Status::Overrun && m_input.FenceIsZeroRun() && PassZeroRun()) {
            m_input.Seek(m_decoder.SymbolStart());
            status = m_decoder.Decode(m_window);
        }
        if (status == Status::OutputFull) {
            m_window.Flush(Good());
            break;
        }
        if (status != Status::EndOfBlock) {
            if (!Recover(status, blockStart))
                break;
            blockStart = m_input.Tell();
            header = ReadHeader();
            continue;
        }
        cleanEnd = m_input.Tell();
        if (m_decoder.Current().Final) {
            Confirm();
            result.Complete = true;
            break;
        }
        // A block has ended cleanly once the next header is sound; a fixed header is always well formed,
        // so its predecessor waits for a stronger proof.
        const uint64_t next = m_input.Tell();
        header = ReadHeader();
        if (header == Status::Ok) {
            if (m_decoder.Current().Kind != InflateDecoder::Type::Fixed)
                Confirm();
            blockStart = next;
        }
    }
    const uint64_t consumedEnd = (cleanEnd + 7) / 8;
    result.Consumed = consumedEnd - m_input.Begin();
    result.Produced = m_window.Handed().Data;
    result.Unsure = m_window.Handed().Unsure;
    result.Lost = m_window.Handed().Holes;
    result.Resyncs = m_resyncs;
    return result;
}

Status Salvager::ReadHeader()
{
    const uint64_t start = m_input.Tell();
    Status status = m_decoder.ReadHeader();
    while (status == Status::Overrun && m_input.FenceIsZeroRun() && PassZeroRun()) {
        m_input.Seek(start);
        status = m_decoder.ReadHeader();
    }
    return status;
}

// Very repetitive content compresses to runs of zero bytes too: a run is taken for damage only when the
// decoding after it fails before the output around it is confirmed, or when the stream decodes but its
// checksum disagrees. False when the run is damage.
bool Salvager::PassZeroRun()
{
    if (!m_zeroRun)
        m_zeroRun = { m_window.Position(), 0 };
    m_zeroRunsRead = true;
    if (m_mode == Mode::ZeroRunsAreDamage) {
        m_zeroRun->End = m_input.ZeroRunEnd(m_input.Fence());
        return false;
    }
    m_zeroRun->End = m_input.AcceptZeroRun();
    return true;
}

void Salvager::Confirm()
{
    m_window.Flush(Good());
    m_zeroRun.reset();
}

// Hands on what the damage leaves of the held output, then looks for a block to resume at.
bool Salvager::Recover(Status status, uint64_t failedBlock)
{
    m_damageSeen = true;
    if (m_mode == Mode::FindDamage)
        return false;
    uint64_t from = failedBlock + 1;
    if (m_zeroRun) {
        // The damage is the zeroed stretch: all decoded before the symbols reached it is sound.
        m_window.FlushTo(Good(), m_zeroRun->Output);
        from = m_zeroRun->End * 8;
        m_zeroRun.reset();
    } else if (status == Status::Overrun) {
        // The range's end: a file cut short keeps all before the cut; a stream that runs past the end
        // its archive gave it went astray earlier.
        m_window.Flush(m_input.End() >= m_source.Size() ? Good() : As::Unsure);
        m_out.Hole(0);
        return false;
    } else {
        m_window.Flush(As::Unsure);
    }
    m_out.Hole(0);
    if (!Search(from))
        return false;
    ++m_resyncs;
    m_window.Restart(false);
    return true;
}

bool Salvager::Search(uint64_t from)
{
    const uint64_t endBit = m_input.End() * 8;
    for (uint64_t bit = from; bit + 3 <= endBit && m_trialBudget > 0; ++bit) {
        m_input.Seek(bit);
        if (m_input.FenceIsZeroRun() && bit / 8 >= m_input.Fence()) {
            bit = m_input.ZeroRunEnd(m_input.Fence()) * 8 - 1;
            continue;
        }
        if (Candidate(bit)) {
            m_input.Seek(bit);
            return true;
        }
    }
    return false;
}

// A block starts at `bit` when its header is sound and its data decodes through its end, and so does the
// block after it (or it is a final block that chance cannot explain).
bool Salvager::Candidate(uint64_t bit)
{
    m_input.Seek(bit);
    if (m_decoder.ReadHeader() != Status::Ok)
        return false;
    const InflateDecoder::Header header = m_decoder.Current();
    uint64_t symbols = 0;
    if (!Skim(symbols))
        return false;
    if (header.Final) {
        const bool atEnd = (m_input.Tell() + 7) / 8 == m_input.End();
        switch (header.Kind) {
        case InflateDecoder::Type::Stored:
            return atEnd;
        case InflateDecoder::Type::Dynamic:
            return symbols >= kFinalSymbols || (atEnd && symbols >= kFinalSymbolsAtEnd);
        case InflateDecoder::Type::Fixed:
            return atEnd && symbols >= kFinalSymbols;
        }
    }
    if (m_decoder.ReadHeader() != Status::Ok)
        return false;
    if (header.Kind == InflateDecoder::Type::Fixed && m_decoder.Current().Kind == InflateDecoder::Type::Fixed)
        return false;
    return Skim(symbols);
}

bool Salvager::Skim(uint64_t& symbols)
{
    const Status status = m_decoder.Skim(std::min(kMaxTrialSymbols, m_trialBudget), symbols);
    m_trialBudget -= std::min(m_trialBudget, symbols + 1);
    return status == Status::EndOfBlock;
}

// Receives the first pass's output only to check it against the expected checksum.
class ChecksumSink : public ContentSink {
public:
    void Data(const uint8_t* bytes, size_t count) override { Add(bytes, count); }
    void Hole(uint64_t) override { }
    void Unsure(const uint8_t* bytes, size_t count) override { Add(bytes, count); }
    uint32_t Value() const { return uint32_t(m_crc); }

private:
    void Add(const uint8_t* bytes, size_t count)
    {
        while (count > 0) {
            const uInt n = uInt(std::min<size_t>(count, 1u << 30));
            m_crc = crc32(m_crc, bytes, n);
            bytes += n;
            count -= n;
        }
    }
    uLong m_crc = crc32(0, nullptr, 0);
};

} // namespace

DeflateSalvageResult SalvageDeflate(
    ByteReader& in, uint64_t begin, uint64_t end, ContentSink& out, const DeflateSalvageLimits& limits)
{
    Mode mode = Mode::Normal;
    if (limits.ExpectedCrc) {
        // Damage can leave a stream that decodes without a fault; only the checksum tells.
        ChecksumSink probe;
        Salvager first(in, begin, end, probe, limits.MaxOutput, Mode::FindDamage);
        const DeflateSalvageResult r = first.Run();
        if (!first.DamageSeen() && r.Complete && probe.Value() != *limits.ExpectedCrc)
            mode = first.ZeroRunsRead() ? Mode::ZeroRunsAreDamage : Mode::AllUnsure;
    }
    Salvager salvager(in, begin, end, out, limits.MaxOutput, mode);
    return salvager.Run();
}

} // namespace repair
