// SPDX-License-Identifier: MIT
// The demo form, used as a user would: labels beside the fields, a name chosen from the lookup,
// words dragged from one field into another, and both kept for the next run.
#include "AdvEditDemo.h"
#include "AdvEddd.h"
#include "TempDir.h"

#include <QListWidget>
#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>

namespace {

void shot(TAdvEditDemo& demo, const QString& name)
{
    const QString dir = qEnvironmentVariable("QUILLON_SHOTS");
    if (dir.isEmpty())
        return;
    QImage image = demo.grab().toImage();
    // the drop-down is a window of its own; put it where it shows
    for (TAdvEdit* e : demo.findChildren<TAdvEdit*>())
        if (e->LookupShown())
            for (QWidget* w : QApplication::topLevelWidgets())
                if (qobject_cast<TLookupList*>(w) && w->isVisible()) {
                    QPainter p(&image);
                    p.drawPixmap(w->pos() - demo.mapToGlobal(QPoint(0, 0)), w->grab());
                }
    image.save(dir + "/" + name);
}

TEST(AdvEditDemo, AllFourFeaturesAtWork)
{
    TempDir dir;
    const QString ini = dir.file("demo.ini");
    {
        TAdvEditDemo demo(ini);
        demo.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&demo));
        demo.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&demo));
        Ui::AdvEditDemo& ui = demo.ui;

        // labels beside their fields
        for (TAdvEdit* e : { ui.NameAdvEdit, ui.SourceAdvEdit, ui.NoteAdvEdit }) {
            SCOPED_TRACE(e->objectName().toStdString());
            ASSERT_NE(e->EditLabel(), nullptr);
            EXPECT_TRUE(e->EditLabel()->isVisible());
            EXPECT_LT(e->EditLabel()->geometry().right(), e->x());
        }
        EXPECT_LT(ui.CitiesAdvEdit->EditLabel()->geometry().bottom(), ui.CitiesAdvEdit->y());

        // a name from the lookup
        ui.NameAdvEdit->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
        QTest::keyClicks(ui.NameAdvEdit, "Jo");
        ASSERT_TRUE(ui.NameAdvEdit->LookupShown());
        EXPECT_TRUE(ui.NameAdvEdit->EditLabel()->font().bold());
        shot(demo, "advedit-demo-lookup.png");
        QTest::keyClick(ui.NameAdvEdit, Qt::Key_Down);
        QTest::keyClick(ui.NameAdvEdit, Qt::Key_Return);
        EXPECT_EQ(ui.NameAdvEdit->Text(), "John Smith");

        // two cities, each from the lookup
        ui.CitiesAdvEdit->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
        QTest::keyClicks(ui.CitiesAdvEdit, "Li");
        QTest::keyClick(ui.CitiesAdvEdit, Qt::Key_Return);
        QTest::keyClicks(ui.CitiesAdvEdit, "Ber");
        QTest::keyClick(ui.CitiesAdvEdit, Qt::Key_Down);
        QTest::keyClick(ui.CitiesAdvEdit, Qt::Key_Return);
        EXPECT_EQ(ui.CitiesAdvEdit->Text(), "Lisbon;Bern;");

        // words dragged from one field and dropped onto the other
        ui.SourceAdvEdit->setSelection(5, 5);
        TEditDragData words(ui.SourceAdvEdit->selectedText(), ui.SourceAdvEdit);
        const QPoint at = ui.NoteAdvEdit->rect().center();
        QDragEnterEvent enter(
            at, Qt::CopyAction | Qt::MoveAction, &words, Qt::LeftButton, Qt::ControlModifier);
        QApplication::sendEvent(ui.NoteAdvEdit, &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent drop(at, Qt::CopyAction | Qt::MoveAction, &words, Qt::LeftButton, Qt::ControlModifier);
        QApplication::sendEvent(ui.NoteAdvEdit, &drop);
        EXPECT_EQ(drop.dropAction(), Qt::CopyAction);
        EXPECT_EQ(ui.NoteAdvEdit->Text(), "these");
        ui.NameAdvEdit->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
        shot(demo, "advedit-demo.png");
    }
    // the next run finds the name, the note and the name's history again
    TAdvEditDemo again(ini);
    EXPECT_EQ(again.ui.NameAdvEdit->Text(), "John Smith");
    EXPECT_EQ(again.ui.NoteAdvEdit->Text(), "these");
    EXPECT_EQ(again.ui.CitiesAdvEdit->Text(), "");
}

} // namespace
