// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace repair {

// Marker codes (the byte after 0xFF) that the walk tells apart.
namespace jpeg {
constexpr uint8_t kSoi = 0xD8, kEoi = 0xD9, kSos = 0xDA, kDqt = 0xDB, kDnl = 0xDC, kDri = 0xDD, kDht = 0xC4;
constexpr uint8_t kRst0 = 0xD0, kRst7 = 0xD7;
inline bool IsRst(uint8_t m)
{
    return m >= kRst0 && m <= kRst7;
}
// Start-of-frame markers: C0-CF without C4 (tables), C8 (reserved) and CC (arithmetic conditioning).
inline bool IsSof(uint8_t m)
{
    return m >= 0xC0 && m <= 0xCF && m != kDht && m != 0xC8 && m != 0xCC;
}
// Segments that may stand between the frame's parts and carry nothing the pixels depend on.
inline bool IsAppOrCom(uint8_t m)
{
    return (m >= 0xE0 && m <= 0xEF) || m == 0xFE;
}
} // namespace jpeg

// One component of a frame, with its block counts: `BlocksWide` x `BlocksHigh` cover the component's own
// samples (what a scan of it alone codes); the padded counts fill whole MCUs (what an interleaved scan
// codes).
struct JpegComponent {
    uint8_t Id = 0;
    uint8_t H = 1, V = 1;
    uint8_t Tq = 0;
    uint32_t BlocksWide = 0, BlocksHigh = 0;
    uint32_t PaddedWide = 0, PaddedHigh = 0;
};

// A frame header with the sizes derived from it.
struct JpegFrame {
    uint8_t Marker = 0;
    bool Progressive = false;
    uint8_t Precision = 8;
    uint16_t Width = 0, Height = 0;
    std::vector<JpegComponent> Components;
    uint8_t Hmax = 1, Vmax = 1;
    uint32_t McusWide = 0, McusHigh = 0;

    uint64_t Blocks() const
    {
        uint64_t n = 0;
        for (const auto& c : Components)
            n += uint64_t(c.PaddedWide) * c.PaddedHigh;
        return n;
    }
};

// A scan header: which components (indexes into the frame's), their table choices and the band it codes.
struct JpegScan {
    std::vector<int> Components;
    std::array<uint8_t, 4> Td {}, Ta {};
    uint8_t Ss = 0, Se = 63, Ah = 0, Al = 0;

    // The MCUs the scan codes: one block each when it holds a single component.
    uint64_t Mcus(const JpegFrame& f) const
    {
        if (Components.size() == 1) {
            const auto& c = f.Components[size_t(Components[0])];
            return uint64_t(c.BlocksWide) * c.BlocksHigh;
        }
        return uint64_t(f.McusWide) * f.McusHigh;
    }
};

// Parses a frame header's body (after the length); false with `why` when it cannot be a frame we decode.
bool ParseJpegFrame(uint8_t marker, const uint8_t* body, size_t size, JpegFrame& frame, std::string& why);
// Parses a scan header's body against its frame; false with `why` when it does not fit the frame.
bool ParseJpegScan(
    const uint8_t* body, size_t size, const JpegFrame& frame, JpegScan& scan, std::string& why);

} // namespace repair
