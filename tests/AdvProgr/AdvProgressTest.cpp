// SPDX-License-Identifier: MIT
#include "AdvProgr.h"
#include "PropertyNotify.h"

#include <QApplication>
#include <gtest/gtest.h>

namespace {

QColor appColor(QPalette::ColorRole role)
{
    return QApplication::palette().color(role);
}

TEST(AdvProgress, DefaultsReadSystemColoursButSendNothing)
{
    TAdvProgress bar;
    EXPECT_EQ(bar.BarColor(), clHighlight);
    EXPECT_EQ(bar.BkColor(), clWindow);
    EXPECT_FALSE(bar.testAttribute(Qt::WA_SetPalette));
    EXPECT_FALSE(bar.isTextVisible());
    EXPECT_EQ(bar.Version(), "1.2.0.0");
    bar.setVersion("9.9.9.9");
    EXPECT_EQ(bar.Version(), "1.2.0.0");
}

TEST(AdvProgress, WritingResolvesSystemColourAtThatMoment)
{
    TAdvProgress bar;
    bar.setBarColor(clHighlight);
    bar.setBkColor(clWindow);
    EXPECT_EQ(bar.palette().color(QPalette::Highlight).rgb(), appColor(QPalette::Highlight).rgb());
    EXPECT_EQ(bar.palette().color(QPalette::Base).rgb(), appColor(QPalette::Base).rgb());

    // A later palette change is not re-sent: the bar keeps the RGB written before.
    const QRgb before = bar.palette().color(QPalette::Highlight).rgb();
    QPalette old = QApplication::palette();
    QPalette changed = old;
    changed.setColor(QPalette::Highlight, QColor(1, 2, 3));
    QApplication::setPalette(changed);
    EXPECT_EQ(bar.palette().color(QPalette::Highlight).rgb(), before);
    QApplication::setPalette(old);
}

TEST(AdvProgress, PlainColoursAndPositionsPaint)
{
    TAdvProgress bar;
    bar.resize(200, 17);
    bar.setRange(0, 100);
    bar.setBarColor(clRed);
    bar.setBkColor(clLime);
    EXPECT_EQ(bar.BarColor(), clRed);
    EXPECT_EQ(bar.palette().color(QPalette::Highlight), QColor(255, 0, 0));
    EXPECT_EQ(bar.palette().color(QPalette::Base), QColor(0, 255, 0));
    for (int p : { 0, 1, 50, 100 }) {
        bar.setValue(p);
        EXPECT_FALSE(bar.grab().isNull());
    }
}

TEST(AdvProgress, ChangesNotifyOnceAndTheSameValueNever)
{
    TAdvProgress bar;
    bar.setRange(0, 100);
    const struct {
        const char* name;
        QVariant value;
    } changes[] = {
        { "BarColor", uint(clRed) },
        { "BkColor", uint(clLime) },
        { "Position", 40 },
    };
    for (const auto& c : changes)
        ExpectNotifiesOnChangeOnly(bar, c.name, c.value);
    EXPECT_EQ(PropertiesWithoutNotify(bar), QStringList { "Version" });
    EXPECT_TRUE(bar.sizeHint().isValid());
}

} // namespace
