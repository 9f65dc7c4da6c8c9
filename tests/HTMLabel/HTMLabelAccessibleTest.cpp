// SPDX-License-Identifier: MIT
#include "HTMLabel.h"
#include "RecordingShell.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <gtest/gtest.h>

namespace {

TEST(HTMLabelAccessible, StaticTextWithItsAnchorsAsLinksThatOpen)
{
    RecordingShell shell;
    QWidget window;
    window.resize(400, 120);
    THTMLabel label(&window);
    label.setGeometry(10, 10, 150, 100);
    label.setAutoSizing(true);
    QStringList clicked;
    label.OnAnchorClick = [&](THTMLabel*, const QString& anchor) { clicked << anchor; };
    // The second anchor wraps over two lines; the third only raises the event.
    label.setHTMLText(
        { QStringLiteral("Mail <A href=\"mailto:help@quillon.example\"><B>help</B></A> or read "
                         "<A href=\"https://quillon.example/a\">the long guide to repairs</A> and "
                         "<A href=\"chapter2\">more</A>.") });
    window.show();

    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(&label);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->role(), QAccessible::StaticText);
    EXPECT_EQ(a->text(QAccessible::Name), label.Text());
    ASSERT_EQ(a->childCount(), 3);

    const QRect labelArea(label.mapToGlobal(QPoint(0, 0)), label.size());
    const struct {
        const char* name;
        const char* target;
    } expected[] = { { "help", "mailto:help@quillon.example" },
        { "the long guide to repairs", "https://quillon.example/a" }, { "more", "chapter2" } };
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        QAccessibleInterface* link = a->child(i);
        ASSERT_NE(link, nullptr);
        EXPECT_EQ(link->role(), QAccessible::Link);
        EXPECT_EQ(link->parent(), a);
        EXPECT_EQ(a->indexOfChild(link), i);
        EXPECT_EQ(link->text(QAccessible::Name), QString::fromUtf8(expected[i].name));
        EXPECT_EQ(link->text(QAccessible::Description), QString::fromUtf8(expected[i].target));
        EXPECT_TRUE(labelArea.contains(link->rect())) << "the link lies on the label";
        if (i == 1) { // over two lines
            EXPECT_GT(link->rect().height(), a->child(0)->rect().height() * 3 / 2);
        } else {
            EXPECT_EQ(a->childAt(link->rect().center().x(), link->rect().center().y()), link);
        }
        ASSERT_NE(link->actionInterface(), nullptr);
        link->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    }
    EXPECT_EQ(
        clicked, (QStringList { "mailto:help@quillon.example", "https://quillon.example/a", "chapter2" }));
    EXPECT_EQ(shell.opened, (QStringList { "mailto:help@quillon.example", "https://quillon.example/a" }));
}

} // namespace
