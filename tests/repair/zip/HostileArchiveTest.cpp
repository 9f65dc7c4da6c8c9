// SPDX-License-Identifier: MIT
#include "AtomicSink.h"
#include "Progress.h"
#include "RepairTestFiles.h"
#include "Source.h"
#include "ZipArchive.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

using namespace repair;
using namespace repairtest;

namespace {

void Put32(Bytes& b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = uint8_t(v >> (8 * i));
}

// One member of `size` zero bytes, deflated (about a thousand to one), written by our own writer.
Bytes OneMember(const TempDir& dir, size_t size)
{
    const std::string path = dir.Path("one.zip");
    {
        AtomicSink sink(path);
        ZipWriter writer(sink);
        ZipEntryInfo info;
        info.Name = "zeros.bin";
        ContentSink& out = writer.BeginEntry(info);
        const Bytes zeros(size);
        out.Data(zeros.data(), zeros.size());
        writer.EndEntry();
        writer.Finish();
        sink.Commit();
    }
    Bytes b = ReadFile(path);
    ::unlink(path.c_str());
    return b;
}

std::vector<SalvagedEntry> Analyse(const TempDir& dir, const Bytes& archive)
{
    const std::string path = dir.Path("hostile.zip");
    WriteFile(path, archive);
    Source source(path);
    Progress progress;
    ZipSalvage salvage(source, progress);
    return salvage.Analyse();
}

TEST(HostileArchive, MembersSharingOneStretchOfDataAreDecodedOnce)
{
    TempDir dir;
    Bytes b = OneMember(dir, 8 << 20);
    // The one central record repeated: every member points at the same 8 MB of output.
    const size_t end = b.size() - 22;
    const size_t central = size_t(b[end + 16] | b[end + 17] << 8 | b[end + 18] << 16);
    const Bytes record(b.begin() + central, b.begin() + end);
    Bytes hostile(b.begin(), b.begin() + central);
    constexpr int kCopies = 5000;
    for (int i = 0; i < kCopies; ++i)
        hostile.insert(hostile.end(), record.begin(), record.end());
    Bytes eocd(b.begin() + end, b.end());
    eocd[8] = eocd[10] = uint8_t(kCopies & 0xFF);
    eocd[9] = eocd[11] = uint8_t(kCopies >> 8);
    Put32(eocd, 12, uint32_t(record.size() * kCopies));
    hostile.insert(hostile.end(), eocd.begin(), eocd.end());

    const auto started = std::chrono::steady_clock::now();
    const auto entries = Analyse(dir, hostile);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20))
        << "decoded more than once";
    ASSERT_EQ(entries.size(), size_t(kCopies));
    EXPECT_EQ(entries[0].State, ZipEntryState::Whole);
    EXPECT_EQ(
        std::count_if(entries.begin(), entries.end(), [](auto& e) { return e.State == ZipEntryState::Lost; }),
        kCopies - 1);
}

TEST(HostileArchive, ManyMembersWithoutTheirDescriptorsKeepTheWalkLinear)
{
    TempDir dir;
    constexpr int kMembers = 3000;
    Bytes b;
    for (int i = 0; i < kMembers; ++i) {
        const std::string name = "f" + std::to_string(i);
        Bytes header(30, 0);
        Put32(header, 0, 0x04034b50);
        header[4] = 20;
        header[6] = 8; // sizes in a descriptor that never comes
        header[26] = uint8_t(name.size());
        b.insert(b.end(), header.begin(), header.end());
        b.insert(b.end(), name.begin(), name.end());
        b.insert(b.end(), 1000, uint8_t('x'));
    }
    const auto started = std::chrono::steady_clock::now();
    const auto entries = Analyse(dir, b);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20));
    EXPECT_EQ(entries.size(), size_t(kMembers));
    for (const auto& e : entries)
        ASSERT_NE(e.State, ZipEntryState::Whole) << e.Info.Name << ": its content cannot be proven";
}

TEST(HostileArchive, OutputPastTheDeclaredSizeIsNotTrusted)
{
    TempDir dir;
    Bytes b = OneMember(dir, 1 << 20);
    // The directory cut off, and the local header claiming far less than the data gives.
    const uint8_t sig[] = { 'P', 'K', 1, 2 };
    b.resize(size_t(std::search(b.begin(), b.end(), sig, sig + 4) - b.begin()));
    Put32(b, 22, 1000);
    const auto entries = Analyse(dir, b);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_NE(entries[0].State, ZipEntryState::Whole);
    EXPECT_LE(entries[0].Recovered, 1000u);
}

} // namespace
