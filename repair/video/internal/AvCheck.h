// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace repair {

// What a container says about one stream's coding, enough to open its decoder.
struct AvStreamCoding {
    bool Video = false;
    uint32_t Tag = 0; // the container's codec tag: a FourCC for video, a format tag for audio
    int Codec = 0; // the codec itself, for containers that name it by their own numbers
    uint32_t Width = 0, Height = 0, BitsPerSample = 0;
    uint32_t SampleRate = 0, Channels = 0, BlockAlign = 0, BitRate = 0;
    std::vector<uint8_t> Extra; // the codec's own setup bytes
};

// Decodes a stream's packets one by one to tell the sound ones from the damaged: a packet is bad when
// the decoder refuses it, marks its picture or samples as damaged, or logs an error about it. Also tells
// key frames apart, by the decoder's word or, without decoding, by the codec's parser. The decoder's
// messages are silenced for the whole process.
class AvCheck {
public:
    // Null when the coding is unknown here or has nothing to check (plain PCM samples).
    static std::unique_ptr<AvCheck> Open(const AvStreamCoding& coding);
    ~AvCheck();
    AvCheck(const AvCheck&) = delete;
    AvCheck& operator=(const AvCheck&) = delete;

    // Decodes one packet; false when it is damaged. `key` tells whether it is a key frame.
    bool Decode(const uint8_t* data, size_t size, bool& key);
    // Only whether the packet starts a key frame (no decoding); true when the parser cannot tell.
    bool IsKey(const uint8_t* data, size_t size);
    // Forgets earlier packets, as after a gap in the stream.
    void Flush();
    // The picture size the decoder found in the stream; 0 until it decoded one.
    uint32_t Width() const;
    uint32_t Height() const;

private:
    struct State;
    explicit AvCheck(std::unique_ptr<State> state);
    std::unique_ptr<State> m_state;
};

} // namespace repair
