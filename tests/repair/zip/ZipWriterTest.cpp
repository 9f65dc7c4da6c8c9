// SPDX-License-Identifier: MIT
#include "AtomicSink.h"
#include "Progress.h"
#include "RepairTestFiles.h"
#include "Source.h"
#include "ZipArchive.h"
#include "ZipTestSupport.h"

#include <gtest/gtest.h>

using namespace repair;
using namespace repairtest;
using namespace ziptest;

namespace {

struct Collected : ContentSink {
    std::string data, unsure;
    uint64_t holes = 0;
    void Data(const uint8_t* b, size_t n) override { data.append(reinterpret_cast<const char*>(b), n); }
    void Unsure(const uint8_t* b, size_t n) override { unsure.append(reinterpret_cast<const char*>(b), n); }
    void Hole(uint64_t n) override { holes += n; }
};

ZipEntryInfo Named(std::string name)
{
    ZipEntryInfo info;
    info.Name = std::move(name);
    info.DosDate = (44 << 9) | (3 << 5) | 5;
    info.ExternalAttributes = 0644u << 16;
    info.VersionMadeBy = (3 << 8) | 20;
    return info;
}

TEST(ZipWriter, WritesWhatItIsGivenUnderHostileNamesAndReadsBackIntact)
{
    TempDir dir;
    const std::string path = dir.Path("out.zip");
    const std::vector<std::string> names
        = { "../escape.txt", "/absolute/path.txt", std::string("ctl\x01\x1b[2J.txt"), "plain.txt" };
    {
        AtomicSink sink(path);
        ZipWriter writer(sink);
        for (const std::string& name : names) {
            ContentSink& out = writer.BeginEntry(Named(name));
            const std::string a = "kept ", b = "unproven";
            out.Data(reinterpret_cast<const uint8_t*>(a.data()), a.size());
            out.Hole(100); // lost bytes are left out, not invented
            out.Unsure(reinterpret_cast<const uint8_t*>(b.data()), b.size());
            writer.EndEntry();
        }
        writer.Finish();
        sink.Commit();
    }
    EXPECT_EQ(List(dir.Path()), std::vector<std::string> { "out.zip" }) << "a name touched the file system";
    EXPECT_TRUE(UnzipAccepts(path));
    const Listing listing = PythonList(path);
    EXPECT_TRUE(listing.ok);
    EXPECT_EQ(listing.members.size(), names.size());

    Source source(path);
    Progress progress;
    ZipSalvage salvage(source, progress);
    const auto& entries = salvage.Analyse();
    EXPECT_TRUE(salvage.Intact());
    ASSERT_EQ(entries.size(), names.size());
    for (size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(entries[i].Info.Name, names[i]);
        EXPECT_EQ(entries[i].Info.DosDate, Named("").DosDate);
        EXPECT_EQ(entries[i].Info.ExternalAttributes, 0644u << 16);
        Collected content;
        salvage.Decode(entries[i], content);
        EXPECT_EQ(content.data, "kept unproven");
    }
}

TEST(ZipWriter, MoreMembersThanTheClassicCountHolds)
{
    TempDir dir;
    const std::string path = dir.Path("many.zip");
    constexpr size_t kCount = 70000;
    {
        AtomicSink sink(path);
        ZipWriter writer(sink);
        for (size_t i = 0; i < kCount; ++i) {
            writer.BeginEntry(Named("f" + std::to_string(i)));
            writer.EndEntry();
        }
        writer.Finish();
        sink.Commit();
    }
    EXPECT_TRUE(UnzipAccepts(path));
    Source source(path);
    Progress progress;
    ZipSalvage salvage(source, progress);
    EXPECT_EQ(salvage.Analyse().size(), kCount);
    EXPECT_TRUE(salvage.Intact());
}

} // namespace
