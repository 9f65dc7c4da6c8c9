// SPDX-License-Identifier: MIT
#include "AudioTestSupport.h"
#include "Mp3Repairer.h"
#include "Source.h"
#include "WavRepairer.h"

using namespace repair;
using namespace repairtest;
using namespace audiotest;

namespace {

struct Case {
    const char* fixture;
    const char* damage;
    size_t zeroed; // bytes zeroed at the head
    const char* format; // the family that must win
    int score; // its score
};

// Sample data holds byte pairs that look like frame syncs; a sound WAV must never be taken for MP3, and a
// damaged head must still leave each file to its own family.
const Case kCases[] = {
    { "stereo16.wav", "intact", 0, "wav", 100 },
    { "mono24.wav", "intact", 0, "wav", 100 },
    { "wide.wav", "intact", 0, "wav", 100 },
    { "stereo16.wav", "RIFF tag zeroed", 4, "wav", 50 },
    { "cbr-crc.mp3", "intact", 0, "mp3", 100 },
    { "tagged.mp3", "intact", 0, "mp3", 100 },
    { "vbr.mp3", "head zeroed", 1000, "mp3", 50 },
    { "tagged.mp3", "tag header zeroed", 10, "mp3", 50 },
};

TEST(AudioRecognise, EachFileGoesToItsFamily)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(c.fixture) + ", " + c.damage);
        Bytes bytes = ReadFile(Fixture(c.fixture));
        std::fill(bytes.begin(), bytes.begin() + long(c.zeroed), 0);
        TempDir dir;
        WriteFile(dir.Path("file.bin"), bytes);
        Source source(dir.Path("file.bin"));
        const Recognition wav = WavRepairer().Recognise(source, "bin");
        const Recognition mp3 = Mp3Repairer().Recognise(source, "bin");
        const Recognition& winner = wav.Score >= mp3.Score ? wav : mp3;
        const Recognition& loser = wav.Score >= mp3.Score ? mp3 : wav;
        EXPECT_EQ(winner.Format, c.format);
        EXPECT_EQ(winner.Score, c.score);
        EXPECT_LT(loser.Score, winner.Score);
    }
}

} // namespace
