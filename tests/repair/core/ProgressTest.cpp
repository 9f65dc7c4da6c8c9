// SPDX-License-Identifier: MIT
#include "Progress.h"
#include "Errors.h"

#include <gtest/gtest.h>

#include <vector>

using namespace repair;

namespace {

TEST(Progress, ReportsEveryWholePercentAndNoMoreInABurst)
{
    std::vector<double> seen;
    Progress progress([&](double f) { seen.push_back(f); });
    progress.SetTotal(10000);
    for (int i = 0; i < 10000; ++i)
        progress.Advance(1);
    progress.Advance(50); // past the total: held at 1
    ASSERT_EQ(seen.size(), 101u);
    for (size_t i = 1; i < seen.size(); ++i)
        EXPECT_GE(seen[i], seen[i - 1]);
    EXPECT_DOUBLE_EQ(seen.back(), 1.0);
    EXPECT_EQ(progress.Done(), 10000u);
}

TEST(Progress, CancelStopsTheWorkAtItsNextStep)
{
    Progress progress;
    progress.SetTotal(10);
    progress.Advance(1);
    EXPECT_FALSE(progress.Cancelled());
    progress.Cancel();
    EXPECT_TRUE(progress.Cancelled());
    EXPECT_THROW(progress.Advance(1), CancelledError);
    EXPECT_THROW(progress.Check(), CancelledError);
}

} // namespace
