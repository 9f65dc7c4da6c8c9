// SPDX-License-Identifier: MIT
#include "FlvRepairer.h"
#include "Progress.h"
#include "RepairFile.h"
#include "RepairTestFiles.h"
#include "VideoTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>

using namespace repair;
using namespace repairtest;
using namespace videotest;

namespace {

using Damage = std::function<Bytes(Bytes)>;

struct Case {
    const char* damage;
    Damage apply;
    Verdict verdict;
    int keptPercent; // of the original's pictures and sound blocks, each at its own time
    // A reader starts the times at the first tag's: with the first tags lost, all times move.
    bool timed = true;
};

// The metadata's duration, a big-endian double after its name.
Bytes SetDuration(Bytes b, double seconds)
{
    const char name[] = "duration";
    const auto at = std::search(b.begin(), b.end(), name, name + 8) - b.begin() + 9;
    uint64_t bits;
    std::memcpy(&bits, &seconds, 8);
    for (int i = 7; i >= 0; --i, bits >>= 8)
        b[size_t(at + i)] = uint8_t(bits);
    return b;
}

const Case kCases[] = {
    { "intact", [](Bytes b) { return b; }, Verdict::Intact, 0 },
    { "duration wrong", [](Bytes b) { return SetDuration(b, 100); }, Verdict::Repaired, 100 },
    { "cut at 80 %", [](Bytes b) { return Bytes(b.begin(), b.begin() + long(b.size() * 8 / 10)); },
        Verdict::Partial, 75 },
    { "zeroed 4 KB",
        [](Bytes b) {
            std::fill(b.begin() + long(b.size() / 2), b.begin() + long(b.size() / 2 + 4096), 0);
            return b;
        },
        Verdict::Partial, 80 },
    { "garbage inserted",
        [](Bytes b) {
            Bytes garbage(1024);
            for (size_t i = 0; i < garbage.size(); ++i)
                garbage[i] = uint8_t(i * 31 + 7);
            b.insert(b.begin() + 40000, garbage.begin(), garbage.end());
            return b;
        },
        Verdict::Partial, 85 },
    { "flipped bytes",
        [](Bytes b) {
            for (size_t at : { size_t(20000), b.size() / 2 })
                b[at] ^= 0x55;
            return b;
        },
        Verdict::Partial, 80 },
    { "head lost", [](Bytes b) { return Bytes(b.begin() + 4096, b.end()); }, Verdict::Partial, 60, false },
    { "text-mode transfer",
        [](const Bytes& b) {
            Bytes out;
            for (uint8_t c : b) {
                if (c == '\n')
                    out.push_back('\r');
                out.push_back(c);
            }
            return out;
        },
        Verdict::Repaired, 100 },
    { "only garbage", [](Bytes b) { return Bytes(b.size(), 0x5A); }, Verdict::Unrecoverable, 0 },
};

TEST(FlvRepair, EveryKindOfDamage)
{
    const std::string fixture = QUILLON_FIXTURES "/video/flv1-mp3.flv";
    const Decoded original = Decode(fixture);
    ASSERT_GT(original.items.size(), 100u);
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.damage);
        TempDir dir;
        const std::string source = dir.Path("damaged.flv");
        const std::string output = dir.Path("fixed.flv");
        WriteFile(source, c.apply(ReadFile(fixture)));
        const Snapshot before = Snap(source);
        std::vector<std::unique_ptr<Repairer>> families;
        families.push_back(std::make_unique<FlvRepairer>());
        Progress progress;
        const Report report = RepairFile(families, source, output, progress);

        EXPECT_EQ(report.Outcome, c.verdict) << (report.Messages.empty() ? "" : report.Messages[0]);
        EXPECT_EQ(Snap(source), before) << "the source changed";
        const bool written = c.verdict == Verdict::Repaired || c.verdict == Verdict::Partial;
        EXPECT_EQ(List(dir.Path()).size(), written ? 2u : 1u) << "a file was left, or none written";
        if (!written)
            continue;
        EXPECT_EQ(report.Lost.empty(), c.verdict == Verdict::Repaired);
        const Decoded fixed = Decode(output);
        EXPECT_EQ(fixed.errors, "") << "the fixed file does not decode cleanly";
        const size_t kept = Kept(original.items, fixed.items, c.timed);
        EXPECT_GE(kept * 100, original.items.size() * size_t(c.keptPercent))
            << kept << " of " << original.items.size() << " kept";
        // The repaired file is whole: a second repair finds nothing to do.
        const Report again = RepairFile(families, output, dir.Path("again.flv"), progress);
        EXPECT_EQ(again.Outcome, Verdict::Intact) << (again.Messages.empty() ? "" : again.Messages[0]);
    }
}

} // namespace
