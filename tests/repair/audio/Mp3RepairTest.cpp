// SPDX-License-Identifier: MIT
#include "AudioTestSupport.h"
#include "Mp3Header.h"
#include "Mp3Repairer.h"

#include <functional>
#include <map>
#include <string_view>

using namespace repair;
using namespace repairtest;
using namespace audiotest;

namespace {

using Damage = std::function<Bytes(Bytes)>;
constexpr std::string_view kXing = "Xing";

// Frame offsets of a sound file (no damage), for damage aimed at one frame.
std::vector<size_t> FrameOffsets(const Bytes& b)
{
    static const int kRates[4][3]
        = { { 11025, 12000, 8000 }, {}, { 22050, 24000, 16000 }, { 44100, 48000, 32000 } };
    static const int kBitrates[2][15]
        = { { 0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320 },
              { 0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160 } };
    std::vector<size_t> offsets;
    size_t at = 0;
    if (b.size() > 10 && b[0] == 'I' && b[1] == 'D' && b[2] == '3')
        at = 10 + (size_t(b[6]) << 21 | size_t(b[7]) << 14 | size_t(b[8]) << 7 | b[9]);
    while (at + 4 <= b.size() && b[at] == 0xFF) {
        const int version = (b[at + 1] >> 3) & 3;
        const int rateIndex = b[at + 2] >> 2 & 3;
        const int rate = rateIndex < 3 ? kRates[version][rateIndex] : 0;
        const int bitrate = kBitrates[version == 3 ? 0 : 1][b[at + 2] >> 4];
        if (rate == 0 || bitrate == 0)
            break;
        offsets.push_back(at);
        at += size_t((version == 3 ? 144 : 72) * bitrate * 1000 / rate + (b[at + 2] >> 1 & 1));
    }
    return offsets;
}

const Damage kAsIs = [](Bytes b) { return b; };
const Damage kCut80 = [](Bytes b) { return Bytes(b.begin(), b.begin() + long(b.size() * 8 / 10)); };
const Damage kZeroed4K = [](Bytes b) {
    std::fill(b.begin() + long(b.size() / 2), b.begin() + long(b.size() / 2 + 4096), 0);
    return b;
};
const Damage kGarbage = [](Bytes b) {
    Bytes garbage(1024);
    for (size_t i = 0; i < garbage.size(); ++i)
        garbage[i] = uint8_t(i * 131 + 17);
    b.insert(b.begin() + long(b.size() * 7 / 20), garbage.begin(), garbage.end());
    return b;
};
const Damage kHeadLost = [](Bytes b) { return Bytes(b.begin() + 4096, b.end()); };
const Damage kSideInfoFlipped = [](Bytes b) {
    b[FrameOffsets(b).at(60) + 9] ^= 0x24; // inside the side information, which the CRC covers
    return b;
};
const Damage kXingCountWrong = [](Bytes b) {
    const size_t xing = size_t(std::search(b.begin(), b.end(), kXing.begin(), kXing.end()) - b.begin());
    b[xing + 8] = b[xing + 9] = b[xing + 10] = 0;
    b[xing + 11] = 50;
    // As a program that counted wrong writes it: the encoder tag's own CRC made to match.
    const size_t crcAt = xing + 120 + 34;
    const uint16_t crc = TagCrc(b.data(), crcAt);
    b[crcAt] = uint8_t(crc >> 8);
    b[crcAt + 1] = uint8_t(crc);
    return b;
};
const Damage kId3v2SizeWrong = [](Bytes b) {
    b[6] = 0x7F; // far past the end of the file
    return b;
};
const Damage kId3v1Damaged = [](Bytes b) {
    b[b.size() - 128 + 5] = 0x01;
    return b;
};

struct Case {
    const char* fixture;
    const char* damage;
    Damage apply;
    Verdict verdict;
    int head; // per cent of the original's sound that the result starts with, exactly
    int tail; // per cent of the original's sound, up to near its end, found exactly in the result
    const char* message = ""; // a message that must be there
};

const Case kCases[] = {
    { "cbr-crc.mp3", "intact", kAsIs, Verdict::Intact, 0, 0 },
    { "vbr.mp3", "intact", kAsIs, Verdict::Intact, 0, 0 },
    { "tagged.mp3", "intact", kAsIs, Verdict::Intact, 0, 0 },
    { "cbr-crc.mp3", "cut at 80 %", kCut80, Verdict::Repaired, 78, 0, "completed" },
    { "vbr.mp3", "cut at 80 %", kCut80, Verdict::Repaired, 78, 0 },
    { "vbr.mp3", "zeroed 4 KB", kZeroed4K, Verdict::Partial, 45, 10, "kept silent" },
    { "cbr-crc.mp3", "zeroed 4 KB", kZeroed4K, Verdict::Partial, 45, 10 },
    { "tagged.mp3", "1 KB of garbage inserted", kGarbage, Verdict::Partial, 30, 60, "no frame" },
    { "vbr.mp3", "head lost", kHeadLost, Verdict::Partial, 0, 70 },
    { "cbr-crc.mp3", "side information flipped", kSideInfoFlipped, Verdict::Partial, 45, 45,
        "failed their CRC" },
    { "vbr.mp3", "Xing frame count wrong", kXingCountWrong, Verdict::Repaired, 100, 0, "corrected" },
    { "tagged.mp3", "ID3v2 size wrong", kId3v2SizeWrong, Verdict::Partial, 100, 0, "ID3v2 tag was dropped" },
    { "tagged.mp3", "ID3v1 fields damaged", kId3v1Damaged, Verdict::Partial, 100, 0,
        "ID3v1 tag was dropped" },
};

size_t CommonHead(const Bytes& a, const Bytes& b)
{
    return size_t(std::mismatch(a.begin(), a.end(), b.begin(), b.end()).first - a.begin());
}

TEST(Mp3Repair, EveryKindOfDamage)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(c.fixture) + ", " + c.damage);
        static std::map<std::string, Decoded> truths;
        if (!truths.count(c.fixture))
            truths[c.fixture] = Decode(Fixture(c.fixture));
        const Decoded& truth = truths[c.fixture];
        ASSERT_TRUE(truth.Ok && !truth.Pcm.empty());
        TempDir dir;
        const Report report = RepairBytes<Mp3Repairer>(dir, c.apply(ReadFile(Fixture(c.fixture))), "mp3");
        EXPECT_EQ(report.Outcome, c.verdict) << FirstMessage(report);
        std::string messages;
        for (const auto& m : report.Messages)
            messages += m + "\n";
        EXPECT_NE(messages.find(c.message), std::string::npos) << messages;
        if (c.verdict != Verdict::Repaired && c.verdict != Verdict::Partial)
            continue;
        const Decoded fixed = Decode(dir.Path("fixed.mp3"));
        EXPECT_TRUE(fixed.Ok);
        EXPECT_EQ(fixed.Errors, "") << "the result does not decode cleanly";
        // What survived the damage decodes exactly as before: the head up to it, the tail after it.
        const Bytes& a = truth.Pcm;
        EXPECT_GE(CommonHead(a, fixed.Pcm) * 100, a.size() * size_t(c.head));
        if (c.head == 100) {
            EXPECT_TRUE(fixed.Pcm == a);
        }
        if (c.tail) {
            const auto from = a.begin() + long(a.size() * size_t(100 - c.tail) / 100 / 4 * 4);
            const auto to = a.begin() + long(a.size() * 97 / 100 / 4 * 4);
            EXPECT_NE(std::search(fixed.Pcm.begin(), fixed.Pcm.end(), from, to), fixed.Pcm.end())
                << "the tail is not there";
        }
    }
}

} // namespace
