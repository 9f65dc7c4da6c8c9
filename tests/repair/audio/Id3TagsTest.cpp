// SPDX-License-Identifier: MIT
#include "Id3Tags.h"
#include "AudioTestSupport.h"
#include "Source.h"

#include <algorithm>

using namespace repair;
using namespace repairtest;

namespace {

// A tag of one text frame, sizes as the version writes them, followed by a little audio-like filler.
Bytes Tag(int major, uint8_t flags, const Bytes& frameData, bool footer = false)
{
    Bytes frame = { 'T', 'I', 'T', '2' };
    const uint32_t n = uint32_t(frameData.size());
    if (major == 4)
        frame.insert(frame.end(),
            { uint8_t(n >> 21 & 0x7F), uint8_t(n >> 14 & 0x7F), uint8_t(n >> 7 & 0x7F), uint8_t(n & 0x7F) });
    else
        frame.insert(frame.end(), { uint8_t(n >> 24), uint8_t(n >> 16), uint8_t(n >> 8), uint8_t(n) });
    frame.insert(frame.end(), { 0, 0 });
    frame.insert(frame.end(), frameData.begin(), frameData.end());
    frame.insert(frame.end(), 16, 0); // padding
    const uint32_t size = uint32_t(frame.size());
    Bytes tag = { 'I', 'D', '3', uint8_t(major), 0, flags, uint8_t(size >> 21 & 0x7F),
        uint8_t(size >> 14 & 0x7F), uint8_t(size >> 7 & 0x7F), uint8_t(size & 0x7F) };
    tag.insert(tag.end(), frame.begin(), frame.end());
    if (footer) {
        tag.insert(tag.end(), { '3', 'D', 'I' });
        tag.insert(tag.end(), tag.begin() + 3, tag.begin() + 10);
    }
    tag.insert(tag.end(), 64, 0x55);
    return tag;
}

struct Case {
    const char* what;
    Bytes bytes;
    bool sound;
};

TEST(Id3Tags, SoundTagsKeptDamagedOnesRefused)
{
    const Bytes text = { 3, 'T', 'i', 't', 'l', 'e' };
    // Unsynchronised: a 0xFF followed by 0x00 inserted after it, which the frame size counts undone.
    const Bytes unsynced = { 0, 0xFF, 0x00, 0xE3, 'x' };
    Bytes unsyncedTag = Tag(3, 0x80, unsynced);
    unsyncedTag[10 + 7] = 4; // the frame's size without the inserted zero
    Bytes footerDamaged = Tag(4, 0x10, text, true);
    footerDamaged[10 + 10 + 6 + 16 + 0] = 'X'; // inside "3DI"
    Bytes pastEnd = Tag(3, 0, text);
    pastEnd[6] = 0x7F;
    Bytes frameTooLong = Tag(3, 0, text);
    frameTooLong[10 + 7] = 200;
    Bytes unknownFlag = Tag(3, 0x01, text);
    Bytes badId = Tag(3, 0, text);
    badId[10] = 't';
    const Case cases[] = {
        { "2.3 tag", Tag(3, 0, text), true },
        { "2.4 tag", Tag(4, 0, text), true },
        { "2.4 tag with its footer", Tag(4, 0x10, text, true), true },
        { "2.3 tag unsynchronised", unsyncedTag, true },
        { "2.4 footer damaged", footerDamaged, false },
        { "size past the end of the file", pastEnd, false },
        { "frame longer than its tag", frameTooLong, false },
        { "a flag no version has", unknownFlag, false },
        { "frame id not upper case", badId, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        WriteFile(dir.Path("tag.mp3"), c.bytes);
        Source source(dir.Path("tag.mp3"));
        ByteWindow window(source);
        const Id3v2Check check = CheckId3v2(window, 0);
        EXPECT_TRUE(check.Present);
        EXPECT_EQ(check.Length != 0, c.sound) << check.Why;
        if (c.sound) {
            EXPECT_EQ(check.Length, c.bytes.size() - 64);
        }
    }
}

TEST(Id3Tags, VersionOneTextFields)
{
    uint8_t tag[128] = { 'T', 'A', 'G' };
    std::copy_n("A title", 7, tag + 3);
    EXPECT_TRUE(Id3v1Sound(tag));
    tag[40] = 0x07;
    EXPECT_FALSE(Id3v1Sound(tag));
}

} // namespace
