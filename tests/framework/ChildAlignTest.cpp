// SPDX-License-Identifier: MIT
#include "ChildAlign.h"

#include <gtest/gtest.h>

TEST(ChildAlign, EachPlaceInTheParentsArea)
{
    // The parent's area starts away from the origin, as inside a panel's bevel and caption bar.
    const QRect area(5, 20, 200, 100);
    const QRect current(30, 40, 50, 10);
    const struct {
        ControlTypes::TAlign align;
        QRect expected;
    } cases[] = {
        { ControlTypes::alNone, current },
        { ControlTypes::alTop, QRect(5, 20, 200, 10) },
        { ControlTypes::alBottom, QRect(5, 110, 200, 10) },
        { ControlTypes::alLeft, QRect(5, 20, 50, 100) },
        { ControlTypes::alRight, QRect(155, 20, 50, 100) },
        { ControlTypes::alClient, area },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.align));
        EXPECT_EQ(AlignedGeometry(c.align, area, current), c.expected);
    }
}
