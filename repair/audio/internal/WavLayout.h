// SPDX-License-Identifier: MIT
#pragma once

#include "ByteWindow.h"
#include "WavFormat.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace repair {

// One chunk to keep: where its body starts in the source and how many of its bytes are there.
struct WavChunk {
    std::array<char, 4> Id {};
    uint64_t Body = 0;
    uint64_t Size = 0;
};

// What the walk of a (possibly damaged) WAV file found: the chunks that hold, the format, the samples'
// true extent, and every way in which the file was not what it said.
struct WavLayout {
    bool Wide = false; // RF64: the sizes live in a ds64 chunk
    std::vector<WavChunk> Before; // chunks before the samples, in order (fmt and ds64 among them)
    std::vector<WavChunk> After; // chunks after the samples
    std::optional<WavFormat> Format;
    bool FormatRebuilt = false;
    bool HasData = false;
    uint64_t DataBody = 0; // where the samples start in the source
    uint64_t DataSize = 0; // the samples kept: whole sample frames only
    uint64_t DeclaredDataSize = 0;
    uint64_t LostBytes = 0; // sample bytes the header promised and the file no longer holds
    std::vector<std::string> Damage; // empty: the file is intact
    std::vector<std::string> Lost;
    std::string Unrecoverable; // why nothing can be written, when nothing can
};

// Walks the chunks of a WAV file, resynchronising on known chunk ids after damage.
class WavWalk {
public:
    // `window`: how much of the source is held at once.
    explicit WavWalk(ByteReader& source, size_t window = size_t(1) << 20);
    WavLayout Run();

private:
    bool Plausible(uint64_t at, bool strict);
    uint64_t Resync(uint64_t from, uint64_t& found);
    void TakeChunk(const uint8_t* header, uint64_t at, uint64_t& next);
    void TakeData(uint64_t at, uint64_t declared, uint64_t& next);
    std::optional<WavFormat> SecondCopy();
    void SettleFormat();

    ByteWindow m_window;
    WavLayout m_layout;
    uint64_t m_size;
    uint64_t m_wideRiff = 0, m_wideData = 0;
    bool m_hasFact = false;
    uint32_t m_factFrames = 0;
    std::vector<uint8_t> m_damagedFormat; // a format chunk that failed, or the bytes where one stood
    bool m_sawFormat = false;
};

} // namespace repair
