// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace repair {

// One MPEG audio frame header, decoded.
struct Mp3Header {
    int Version = 0; // the field's value: 3 MPEG-1, 2 MPEG-2, 0 MPEG-2.5
    int Layer = 0; // 1, 2 or 3
    bool Protected = false; // a CRC-16 follows the header
    int Bitrate = 0; // kbit/s
    int SampleRate = 0;
    int Mode = 0; // 3 single channel
    uint32_t Length = 0; // the whole frame, header included
    uint32_t Samples = 0; // per channel

    // nullopt for anything that is not a frame header this walk can follow (free format included).
    static std::optional<Mp3Header> Parse(const uint8_t* p);
    int Channels() const { return Mode == 3 ? 1 : 2; }
    // Layer III: the side information's size, and where it starts.
    uint32_t SideInfoSize() const;
    uint32_t SideInfoAt() const { return Protected ? 6 : 4; }
    // Layer III: the bytes of main data the frame itself carries.
    uint32_t DataArea() const;
    // The same stream: version, layer, sample rate and number of channels agree.
    bool SameStream(const Mp3Header& other) const;
};

// Layer III: the header of a silent frame, of the stream of `header` and without CRC, whose main data area
// holds at least `carry` bytes; nullopt when no bit rate gives one that large.
std::optional<std::array<uint8_t, 4>> CarrierHeader(const uint8_t* header, uint32_t carry);

// Layer III side information as far as the walk needs it.
struct Mp3SideInfo {
    uint32_t MainDataBegin = 0; // bytes of main data that lie in the frames before
    uint64_t MainBits = 0; // the main data of every granule and channel
    uint64_t FirstGranuleBits = 0; // of it, the first granule's (MPEG-1 frames hold two)
    bool Plausible = false; // the fields could come from an encoder and fit the bytes there are
};

Mp3SideInfo ReadSideInfo(const Mp3Header& h, const uint8_t* frame);

// Layer III, MPEG-1: the first granule made to decode to silence (its gain at the bottom) while its data
// keeps its place, so that the second granule's data is found where it was. The CRC is restored.
void QuietFirstGranule(const Mp3Header& h, uint8_t* frame);

// The frame's own check (layer III): the CRC-16 over the header's last two bytes and the side information
// equals the one stored after the header. True for frames without one.
bool FrameCrcHolds(const Mp3Header& h, const uint8_t* frame);
// Rewrites a protected frame's CRC after its side information changed.
void StoreFrameCrc(const Mp3Header& h, uint8_t* frame);

// The reflected CRC-16 the encoder's info tag uses (polynomial 0x8005, start 0).
uint16_t TagCrc(const uint8_t* bytes, size_t count, uint16_t crc = 0);

} // namespace repair
