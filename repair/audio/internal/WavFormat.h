// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace repair {

// The fields of a WAV format chunk that decide how the samples are laid out.
struct WavFormat {
    static constexpr uint16_t kPcm = 1;
    static constexpr uint16_t kFloat = 3;
    static constexpr uint16_t kExtensible = 0xFFFE;

    uint16_t Tag = 0;
    uint16_t Channels = 0;
    uint32_t SampleRate = 0;
    uint32_t ByteRate = 0;
    uint16_t BlockAlign = 0;
    uint16_t Bits = 0;
    std::vector<uint8_t> Body; // the chunk's body as found (or as rebuilt), written back unchanged

    // Reads a body; nullopt when it is too short to hold the fields.
    static std::optional<WavFormat> Parse(const uint8_t* body, size_t size);
    // The fields agree with each other: for sample layouts the block is channels times the sample's
    // bytes and the byte rate is the rate times the block.
    bool Sound() const;
    std::string Describe() const;
    // A 16-byte plain sample body from the fields.
    std::vector<uint8_t> PlainBody() const;
};

// Rebuilds a format from what a damaged chunk still holds (zeroed fields are unknown), when the fields that
// survive, with the data's own size and the sample count of a fact chunk, leave one answer; nullopt when
// they do not prove one. `factFrames` is 0 when there is no fact chunk, `dataSize` 0 when not known.
std::optional<WavFormat> RebuildFormat(
    const uint8_t* leftovers, size_t size, bool hasFact, uint32_t factFrames, uint64_t dataSize);

} // namespace repair
