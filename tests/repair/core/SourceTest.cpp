// SPDX-License-Identifier: MIT
#include "Source.h"
#include "Errors.h"
#include "RepairTestFiles.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

using namespace repair;
using namespace repairtest;

namespace {

TEST(Source, ReadsCountsAndLeavesBytesAndTimesAlone)
{
    TempDir dir;
    const std::string path = dir.Path("a.zip");
    Bytes content(100000);
    for (size_t i = 0; i < content.size(); ++i)
        content[i] = uint8_t(i * 7);
    WriteFile(path, content);
    // An access time older than the modification time is the one a relatime mount would update.
    const timespec times[2] = { { 1000000000, 0 }, { 1100000000, 0 } };
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    const Snapshot before = Snap(path);
    {
        Source source(path);
        EXPECT_EQ(source.Size(), content.size());
        Bytes read(content.size() + 10);
        EXPECT_EQ(source.ReadAt(0, read.data(), 60000), 60000u);
        EXPECT_EQ(source.ReadAt(60000, read.data() + 60000, 50000), 40000u) << "short only at the end";
        EXPECT_EQ(source.ReadAt(200000, read.data(), 10), 0u);
        read.resize(content.size());
        EXPECT_EQ(read, content);
        EXPECT_EQ(source.BytesRead(), content.size());
    }
    EXPECT_EQ(Snap(path), before);
}

TEST(Source, UnreadableSourcesThrowWithTheReason)
{
    TempDir dir;
    struct Case {
        std::string path;
        std::string reason;
    };
    for (const Case& c :
        { Case { dir.Path("missing.zip"), "No such file" }, Case { dir.Path(), "not a regular file" } }) {
        SCOPED_TRACE(c.path);
        try {
            Source source(c.path);
            ADD_FAILURE() << "opened";
        } catch (const ReadError& error) {
            EXPECT_NE(std::string(error.what()).find(c.reason), std::string::npos) << error.what();
        }
    }
}

} // namespace
