// SPDX-License-Identifier: MIT
#include "AudioTestSupport.h"
#include "WavRepairer.h"

#include <cstring>
#include <functional>
#include <map>

using namespace repair;
using namespace repairtest;
using namespace audiotest;

namespace {

using Damage = std::function<Bytes(Bytes)>;

size_t Find(const Bytes& b, const char* id)
{
    const auto at = std::search(b.begin(), b.end(), id, id + 4);
    return size_t(at - b.begin());
}

void Put32(Bytes& b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = uint8_t(v >> (8 * i));
}

Bytes Zero(Bytes b, size_t from, size_t count)
{
    std::fill(b.begin() + long(from), b.begin() + long(from + count), 0);
    return b;
}

const Damage kAsIs = [](Bytes b) { return b; };
const Damage kCut80 = [](Bytes b) { return Bytes(b.begin(), b.begin() + long(b.size() * 8 / 10)); };
const Damage kSizesZero = [](Bytes b) {
    Put32(b, 4, 0);
    Put32(b, Find(b, "data") + 4, 0);
    return b;
};
const Damage kSizesAllOnes = [](Bytes b) {
    Put32(b, 4, 0xFFFFFFFF);
    Put32(b, Find(b, "data") + 4, 0xFFFFFFFF);
    return b;
};
const Damage kRiffTooLarge = [](Bytes b) {
    Put32(b, 4, uint32_t(b.size() + 1000));
    return b;
};
const Damage kEndCut = [](Bytes b) { return Bytes(b.begin(), b.end() - 10); };
const Damage kGarbageBeforeList = [](Bytes b) {
    Bytes garbage(100);
    for (size_t i = 0; i < garbage.size(); ++i)
        garbage[i] = uint8_t(i * 37 + 11);
    b.insert(b.begin() + long(Find(b, "LIST")), garbage.begin(), garbage.end());
    return b;
};
const Damage kZeroedSector = [](Bytes b) { return Zero(std::move(b), 8192, 4096); };
const Damage kFormatZeroedCopyLater = [](Bytes b) {
    const size_t fmt = Find(b, "fmt ");
    const Bytes copy(b.begin() + long(fmt), b.begin() + long(fmt + 24));
    b = Zero(std::move(b), fmt + 8, 16);
    b.insert(b.end(), copy.begin(), copy.end());
    return b;
};
const Damage kFormatFieldsZeroed = [](Bytes b) {
    const size_t fmt = Find(b, "fmt ");
    return Zero(Zero(std::move(b), fmt + 10, 2), fmt + 16, 4); // channels and byte rate
};
const Damage kFormatHeaderZeroed = [](Bytes b) {
    const size_t fmt = Find(b, "fmt ");
    return Zero(std::move(b), fmt, 8);
};
const Damage kFormatZeroed = [](Bytes b) {
    const size_t fmt = Find(b, "fmt ");
    return Zero(std::move(b), fmt + 8, 16);
};
const Damage kHeadZeroed = [](Bytes b) { return Zero(std::move(b), 0, 4096); };
const Damage kRiffTagDamaged = [](Bytes b) {
    b[1] = 0;
    return b;
};

enum class Samples { None, All, Prefix };

struct Case {
    const char* fixture;
    const char* damage;
    Damage apply;
    Verdict verdict;
    Samples samples;
    bool listKept = false;
};

const Case kCases[] = {
    { "stereo16.wav", "intact", kAsIs, Verdict::Intact, Samples::None },
    { "mono24.wav", "intact", kAsIs, Verdict::Intact, Samples::None },
    { "listed.wav", "intact", kAsIs, Verdict::Intact, Samples::None },
    { "wide.wav", "intact", kAsIs, Verdict::Intact, Samples::None },
    { "stereo16.wav", "zeroed 4 KB among the samples", kZeroedSector, Verdict::Intact, Samples::None },
    { "stereo16.wav", "cut at 80 %", kCut80, Verdict::Partial, Samples::Prefix },
    { "mono24.wav", "cut at 80 % inside a sample frame", kCut80, Verdict::Partial, Samples::Prefix },
    { "listed.wav", "cut at 80 %", kCut80, Verdict::Partial, Samples::Prefix },
    { "wide.wav", "cut at 80 %", kCut80, Verdict::Partial, Samples::Prefix },
    { "stereo16.wav", "sizes never written (0)", kSizesZero, Verdict::Repaired, Samples::All },
    { "mono24.wav", "sizes never written (all ones)", kSizesAllOnes, Verdict::Repaired, Samples::All },
    { "listed.wav", "RIFF size too large", kRiffTooLarge, Verdict::Repaired, Samples::All, true },
    { "listed.wav", "last chunk cut", kEndCut, Verdict::Partial, Samples::All },
    { "listed.wav", "garbage before the last chunk", kGarbageBeforeList, Verdict::Partial, Samples::All,
        true },
    { "listed.wav", "format zeroed, a copy later", kFormatZeroedCopyLater, Verdict::Repaired, Samples::All,
        true },
    { "stereo16.wav", "format fields zeroed", kFormatFieldsZeroed, Verdict::Repaired, Samples::All },
    { "stereo16.wav", "format header zeroed", kFormatHeaderZeroed, Verdict::Repaired, Samples::All },
    { "stereo16.wav", "RIFF tag damaged", kRiffTagDamaged, Verdict::Repaired, Samples::All },
    { "stereo16.wav", "format zeroed, nothing proves it", kFormatZeroed, Verdict::Unrecoverable,
        Samples::None },
    { "mono24.wav", "head zeroed", kHeadZeroed, Verdict::Unrecoverable, Samples::None },
};

TEST(WavRepair, EveryKindOfDamage)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(c.fixture) + ", " + c.damage);
        const Bytes original = ReadFile(Fixture(c.fixture));
        static std::map<std::string, Decoded> truths;
        if (!truths.count(c.fixture))
            truths[c.fixture] = Decode(Fixture(c.fixture));
        const Decoded& truth = truths[c.fixture];
        ASSERT_TRUE(truth.Ok && !truth.Pcm.empty());
        TempDir dir;
        const Report report = RepairBytes<WavRepairer>(dir, c.apply(original), "wav");
        EXPECT_EQ(report.Outcome, c.verdict) << FirstMessage(report);
        if (c.samples == Samples::None)
            continue;
        // Samples lost show in the counts; a lost chunk only in the verdict.
        EXPECT_EQ(report.PartsRecovered == report.PartsTotal, c.samples == Samples::All);
        const Decoded fixed = Decode(dir.Path("fixed.wav"));
        EXPECT_TRUE(fixed.Ok);
        EXPECT_EQ(fixed.Errors, "");
        if (c.samples == Samples::All) {
            EXPECT_TRUE(fixed.Pcm == truth.Pcm) << fixed.Pcm.size() << " of " << truth.Pcm.size() << " bytes";
        } else {
            EXPECT_GT(fixed.Pcm.size(), truth.Pcm.size() * 3 / 4);
            EXPECT_TRUE(fixed.Pcm.size() <= truth.Pcm.size()
                && std::equal(fixed.Pcm.begin(), fixed.Pcm.end(), truth.Pcm.begin()));
        }
        const Bytes result = ReadFile(dir.Path("fixed.wav"));
        EXPECT_EQ(Find(result, "LIST") < result.size(), c.listKept);
        // The sizes tell the truth: RIFF's (unless RF64's ds64 holds it) and the data's, whole frames only.
        if (std::memcmp(result.data(), "RIFF", 4) == 0) {
            EXPECT_EQ(
                result[4] | result[5] << 8 | result[6] << 16 | uint32_t(result[7]) << 24, result.size() - 8);
        }
        const size_t channels = std::string(c.fixture) == "stereo16.wav" ? 2 : 1;
        EXPECT_EQ(fixed.Pcm.size(), report.PartsRecovered * channels * 2) << "sample frames miscounted";
    }
}

} // namespace
