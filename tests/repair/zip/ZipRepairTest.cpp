// SPDX-License-Identifier: MIT
#include "AtomicSink.h"
#include "Progress.h"
#include "RepairFile.h"
#include "RepairTestFiles.h"
#include "ZipArchive.h"
#include "ZipRepairer.h"
#include "ZipTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>

using namespace repair;
using namespace repairtest;
using namespace ziptest;

namespace {

using Damage = std::function<Bytes(Bytes)>;

size_t FirstCentral(const Bytes& b)
{
    const uint8_t sig[] = { 'P', 'K', 1, 2 };
    return size_t(std::search(b.begin(), b.end(), sig, sig + 4) - b.begin());
}

const Damage kAsIs = [](Bytes b) { return b; };
const Damage kCutBeforeDirectory = [](Bytes b) { return Bytes(b.begin(), b.begin() + FirstCentral(b)); };
const Damage kCutInHalf = [](Bytes b) { return Bytes(b.begin(), b.begin() + b.size() / 2); };
const Damage kEndLost = [](Bytes b) { return Bytes(b.begin(), b.end() - 100); };
const Damage kZeroedSector = [](Bytes b) {
    std::fill(b.begin() + 8192, b.begin() + 12288, 0);
    return b;
};
const Damage kFlippedBytes = [](Bytes b) {
    for (size_t at : { 3000, 20000, 40000 })
        b[at] ^= 0x55;
    return b;
};
const Damage kHeadCut = [](Bytes b) { return Bytes(b.begin() + 1000, b.end()); };
const Damage kHeadZeroed = [](Bytes b) {
    std::fill(b.begin(), b.begin() + 4096, 0);
    return b;
};
const Damage kGarbageInserted = [](Bytes b) {
    Bytes garbage(1024);
    for (size_t i = 0; i < garbage.size(); ++i)
        garbage[i] = uint8_t(i * 31 + 7);
    b.insert(b.begin() + 30000, garbage.begin(), garbage.end());
    return b;
};
const Damage kTextTransfer = [](const Bytes& b) {
    Bytes out;
    for (uint8_t c : b) {
        if (c == '\n')
            out.push_back('\r');
        out.push_back(c);
    }
    return out;
};

const std::vector<std::string> kAll
    = { "note.txt", "docs/", "docs/readme.txt", "data/", "data/numbers.csv", "data/noise.bin", "empty/" };
std::vector<std::string> AllBut(std::initializer_list<std::string> lost)
{
    std::vector<std::string> names;
    for (const auto& n : kAll)
        if (std::find(lost.begin(), lost.end(), n) == lost.end())
            names.push_back(n);
    return names;
}

struct Case {
    const char* fixture;
    const char* damage;
    Damage apply;
    Verdict verdict;
    std::vector<std::string> whole; // members expected back byte for byte (those the fixture has)
    std::string password = {};
};

const Case kCases[] = {
    { "infozip", "intact", kAsIs, Verdict::Intact, {} },
    { "7z", "intact", kAsIs, Verdict::Intact, {} },
    { "bsdtar", "intact", kAsIs, Verdict::Intact, {} },
    { "bsdtar-stored", "intact", kAsIs, Verdict::Intact, {} },
    { "zip64", "intact", kAsIs, Verdict::Intact, {} },
    { "stream", "intact", kAsIs, Verdict::Intact, {} },
    { "encrypted", "intact", kAsIs, Verdict::Intact, {}, "secret" },
    { "infozip", "cut before its directory", kCutBeforeDirectory, Verdict::Repaired, kAll },
    { "7z", "cut before its directory", kCutBeforeDirectory, Verdict::Repaired, kAll },
    { "bsdtar", "cut before its directory", kCutBeforeDirectory, Verdict::Repaired, kAll },
    { "bsdtar-stored", "cut before its directory", kCutBeforeDirectory, Verdict::Repaired, kAll },
    { "zip64", "cut before its directory", kCutBeforeDirectory, Verdict::Repaired, kAll },
    { "stream", "cut before its directory", kCutBeforeDirectory, Verdict::Repaired, kAll },
    { "encrypted", "cut before its directory", kCutBeforeDirectory, Verdict::Repaired, kAll, "secret" },
    { "infozip", "end lost", kEndLost, Verdict::Repaired, kAll },
    { "infozip", "cut in half", kCutInHalf, Verdict::Partial,
        AllBut({ "data/numbers.csv", "data/noise.bin", "empty/" }) },
    { "bsdtar", "cut in half", kCutInHalf, Verdict::Partial,
        AllBut({ "data/numbers.csv", "data/noise.bin" }) },
    { "infozip", "zeroed sector", kZeroedSector, Verdict::Partial, AllBut({ "data/numbers.csv" }) },
    { "bsdtar", "zeroed sector", kZeroedSector, Verdict::Partial, AllBut({ "data/numbers.csv" }) },
    { "7z", "flipped bytes", kFlippedBytes, Verdict::Partial,
        AllBut({ "data/numbers.csv", "data/noise.bin" }) },
    { "infozip", "flipped bytes", kFlippedBytes, Verdict::Partial, AllBut({ "data/numbers.csv" }) },
    { "infozip", "head cut off", kHeadCut, Verdict::Partial, AllBut({ "note.txt", "docs/readme.txt" }) },
    { "infozip", "head zeroed", kHeadZeroed, Verdict::Partial,
        AllBut({ "note.txt", "docs/readme.txt", "data/numbers.csv" }) },
    { "infozip", "garbage inserted", kGarbageInserted, Verdict::Partial, AllBut({ "data/numbers.csv" }) },
    { "7z", "garbage inserted", kGarbageInserted, Verdict::Partial, AllBut({ "data/numbers.csv" }) },
    { "infozip", "text-mode transfer", kTextTransfer, Verdict::Repaired, kAll },
    { "bsdtar", "text-mode transfer", kTextTransfer, Verdict::Repaired, kAll },
};

TEST(ZipRepair, EveryKindOfDamage)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(c.fixture) + ", " + c.damage);
        const std::string fixture = std::string(QUILLON_FIXTURES "/zip/") + c.fixture + ".zip";
        static std::map<std::string, Listing> originals;
        if (!originals.count(fixture))
            originals[fixture] = PythonList(fixture, c.password);
        const Listing& original = originals[fixture];
        ASSERT_TRUE(original.ok);
        TempDir dir;
        const std::string source = dir.Path("damaged.zip");
        const std::string output = dir.Path("fixed.zip");
        WriteFile(source, c.apply(ReadFile(fixture)));
        const Snapshot before = Snap(source);

        std::vector<std::unique_ptr<Repairer>> families;
        families.push_back(std::make_unique<ZipRepairer>());
        Progress progress;
        const Report report = RepairFile(families, source, output, progress);

        EXPECT_EQ(report.Outcome, c.verdict) << (report.Messages.empty() ? "" : report.Messages[0]);
        EXPECT_EQ(report.Family, "archive");
        EXPECT_EQ(Snap(source), before) << "the source changed";
        const bool written = c.verdict == Verdict::Repaired || c.verdict == Verdict::Partial;
        EXPECT_EQ(List(dir.Path()).size(), written ? 2u : 1u) << "a file was left, or none written";
        if (!written)
            continue;
        EXPECT_EQ(report.PartsRecovered == report.PartsTotal, c.verdict == Verdict::Repaired);
        EXPECT_TRUE(UnzipAccepts(output, c.password));
        const Listing fixed = PythonList(output, c.password);
        EXPECT_TRUE(fixed.ok);
        for (const std::string& name : c.whole) {
            const auto was = original.members.find(name);
            if (was == original.members.end())
                continue;
            const auto now = fixed.members.find(name);
            ASSERT_NE(now, fixed.members.end()) << name << " not recovered";
            EXPECT_EQ(now->second, was->second) << name << " not whole";
        }
        for (const std::string& name : report.Lost)
            EXPECT_EQ(std::find(c.whole.begin(), c.whole.end(), name), c.whole.end())
                << name << " whole, yet named lost";
    }
}

} // namespace
