// SPDX-License-Identifier: MIT
#include "DefaultOutput.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

namespace {

TEST(DefaultOutput, NameBesideTheSourceWithTheLocalTime)
{
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    const std::time_t t = 1709634030; // 2024-03-05 10:20:30 UTC
    const struct {
        const char* source;
        const char* output;
    } cases[] = {
        { "/data/report.zip", "/data/report_r10203005032024.zip" },
        { "report.docx", "report_r10203005032024.docx" },
        { "/a.b/archive.tar.zip", "/a.b/archive.tar_r10203005032024.zip" },
        { "/a.b/noextension", "/a.b/noextension_r10203005032024" },
        { "/x/.hidden", "/x/.hidden_r10203005032024" },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DefaultOutputPath(c.source, t), c.output) << c.source;
    }
}

} // namespace
