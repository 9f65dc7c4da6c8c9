// SPDX-License-Identifier: MIT
#include "AtomicSink.h"
#include "Errors.h"
#include "RepairTestFiles.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

using namespace repair;
using namespace repairtest;

namespace {

void Put(AtomicSink& sink, const std::string& text)
{
    sink.Write(text.data(), text.size());
}

TEST(AtomicSink, CommitPutsTheWholeFileInPlaceAndNothingElse)
{
    TempDir dir;
    const std::string path = dir.Path("fixed.zip");
    {
        AtomicSink sink(path);
        Put(sink, "hello ");
        // More than the buffer holds, so that a flush happens before the patch.
        Put(sink, std::string(3 << 20, 'x'));
        sink.WriteAt(0, "HELLO", 5);
        EXPECT_EQ(sink.Size(), 6u + (3u << 20));
        EXPECT_FALSE(Exists(path)) << "visible before Commit";
        sink.Commit();
    }
    const Bytes bytes = ReadFile(path);
    ASSERT_EQ(bytes.size(), 6u + (3u << 20));
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 6), "HELLO ");
    EXPECT_EQ(List(dir.Path()), std::vector<std::string> { "fixed.zip" });
}

TEST(AtomicSink, WithoutCommitNothingIsLeft)
{
    TempDir dir;
    {
        AtomicSink sink(dir.Path("fixed.zip"));
        Put(sink, std::string(2 << 20, 'x'));
    }
    EXPECT_TRUE(List(dir.Path()).empty());
}

TEST(AtomicSink, NeverReplacesAnExistingFile)
{
    TempDir dir;
    const std::string path = dir.Path("fixed.zip");
    WriteFile(path, { 'o', 'l', 'd' });
    {
        AtomicSink sink(path);
        Put(sink, "new");
        EXPECT_THROW(sink.Commit(), WriteError);
    }
    EXPECT_EQ(ReadFile(path), (Bytes { 'o', 'l', 'd' }));
    EXPECT_EQ(List(dir.Path()).size(), 1u);
}

TEST(AtomicSink, MissingFolderIsAnError)
{
    EXPECT_THROW(AtomicSink("/nonexistent-folder/x.zip"), WriteError);
}

TEST(AtomicSink, FileSizeLimitIsAnErrorAndLeavesNothing)
{
    TempDir dir;
    rlimit old {};
    ::getrlimit(RLIMIT_FSIZE, &old);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 64 * 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    bool failed = false;
    try {
        AtomicSink sink(dir.Path("fixed.zip"));
        Put(sink, std::string(3 << 20, 'x'));
        sink.Commit();
    } catch (const WriteError& error) {
        failed = true;
        EXPECT_NE(std::string(error.what()).find("large"), std::string::npos) << error.what();
    }
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
    EXPECT_TRUE(failed);
    EXPECT_TRUE(List(dir.Path()).empty());
}

} // namespace
