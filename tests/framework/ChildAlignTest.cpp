// SPDX-License-Identifier: MIT
#include "ChildAlign.h"

#include <gtest/gtest.h>

TEST(ChildAlign, EachPlaceInTheParentsArea)
{
    // The parent's area starts away from the origin, as inside a panel's bevel and caption bar.
    const QRect area(5, 20, 200, 100);
    const QRect current(30, 40, 50, 10);
    const struct {
        TChildAlign align;
        QRect expected;
    } cases[] = {
        { TChildAlign::None, current },
        { TChildAlign::Top, QRect(5, 20, 200, 10) },
        { TChildAlign::Bottom, QRect(5, 110, 200, 10) },
        { TChildAlign::Left, QRect(5, 20, 50, 100) },
        { TChildAlign::Right, QRect(155, 20, 50, 100) },
        { TChildAlign::Client, area },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.align));
        EXPECT_EQ(AlignedGeometry(c.align, area, current), c.expected);
    }
}
