// SPDX-License-Identifier: MIT
// The demo form, used as a user would: labels beside the fields, a name chosen from the lookup,
// words dragged from one field into another, and both kept for the next run.
#include "AdvEditDemo.h"
#include "AdvEddd.h"
#include "LocaleScope.h"
#include "TempDir.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>
#include <tuple>

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

// The number fields of the demo hold in Text what they show, in the separators of the number
// format, and keep their number through what a user does around them (C: no LANG at all).
TEST(AdvEditDemo, NumberFieldsKeepTheirSeparators)
{
    for (const QLocale& locale : { QLocale::c(), QLocale(QLocale::German, QLocale::Germany),
             QLocale(QLocale::French, QLocale::France) }) {
        const LocaleScope scope(locale);
        const TypedText::TSeparators sep = TypedText::TSeparators::Current();
        const QString grouped = QStringLiteral("1") + sep.ts + "234" + sep.ts + "567" + sep.ds + "50";
        TempDir dir;
        TAdvEditDemo demo(dir.file("demo.ini"));
        TAdvEdit* money = demo.typed[3];
        TAdvEdit* number = demo.typed[2];
        number->setFloatValue(1234567.5);
        number->setAutoThousandSeparator(true); // groups the float's value as the money one
        // the read-backs under the fields, top to bottom as the fields
        QList<QLabel*> readBacks;
        for (QLabel* l : demo.findChildren<QLabel*>())
            if (l->text().startsWith(QLatin1String("Text \"")))
                readBacks << l;
        std::sort(readBacks.begin(), readBacks.end(), [&](QLabel* a, QLabel* b) {
            return a->mapTo(&demo, QPoint()).y() < b->mapTo(&demo, QPoint()).y();
        });
        ASSERT_EQ(readBacks.size(), qsizetype(demo.typed.size()));

        const auto check = [&](const char* step) {
            for (std::size_t i : { std::size_t(2), std::size_t(3) }) {
                TAdvEdit* e = demo.typed[i];
                SCOPED_TRACE(
                    locale.name().toStdString() + ", " + step + ", " + e->objectName().toStdString());
                const QString value = e->QLineEdit::text().mid(e->Prefix().size());
                EXPECT_EQ(e->Text(), value);
                if (e == money) {
                    EXPECT_EQ(value, grouped);
                }
                EXPECT_DOUBLE_EQ(e->FloatValue(), 1234567.5);
                EXPECT_TRUE(
                    readBacks[qsizetype(i)]->text().startsWith(QStringLiteral("Text \"%1\"").arg(value)))
                    << readBacks[qsizetype(i)]->text().toStdString();
            }
        };
        check("made");
        demo.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&demo));
        check("shown");
        demo.move(demo.pos() + QPoint(40, 30));
        QApplication::processEvents();
        check("moved");
        for (TAdvEdit* e : { money, number }) {
            QTest::mouseClick(e, Qt::LeftButton, Qt::NoModifier, e->rect().center());
            QApplication::processEvents();
            check("clicked into");
            for (Qt::Key key : { Qt::Key_Home, Qt::Key_Right, Qt::Key_Right, Qt::Key_End, Qt::Key_Left })
                QTest::keyClick(e, key);
            check("caret moved");
            demo.ui.NameAdvEdit->setFocus(Qt::TabFocusReason);
            QApplication::processEvents();
            check("left");
        }
    }
}

// Choosing another number format rewrites the number fields' values in its separators; each keeps
// its number, and its read-back says what it shows, through clicks, caret keys and focus loss.
TEST(AdvEditDemo, NumberFieldsFollowTheChosenFormat)
{
    const LocaleScope scope(QLocale::c());
    TempDir dir;
    TAdvEditDemo demo(dir.file("demo.ini"));
    TAdvEdit* number = demo.typed[2];
    TAdvEdit* money = demo.typed[3];
    number->setAutoThousandSeparator(true);
    auto* formats = demo.findChild<QComboBox*>();
    ASSERT_NE(formats, nullptr);
    demo.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&demo));
    const auto readBackOf = [&](TAdvEdit* e) {
        for (QLabel* l : demo.findChildren<QLabel*>())
            if (l->parentWidget() == e->parentWidget() && l->text().startsWith(QLatin1String("Text \""))
                && qAbs(l->y() - e->geometry().bottom()) < 8)
                return l->text();
        return QString();
    };
    const auto check = [&](const char* step) {
        const TypedText::TSeparators sep = TypedText::TSeparators::Current();
        const auto grouped
            = [&](const char* n) { return QString::fromLatin1(n).replace(',', sep.ts).replace('!', sep.ds); };
        for (auto [e, value, x] : { std::tuple { number, grouped("-3!14"), -3.14 },
                 std::tuple { money, grouped("1,234,567!50"), 1234567.5 } }) {
            SCOPED_TRACE(QLocale().name().toStdString() + ", " + step + ", " + e->objectName().toStdString());
            EXPECT_EQ(e->Text(), value);
            EXPECT_EQ(e->QLineEdit::text(), e->Prefix() + value);
            EXPECT_DOUBLE_EQ(e->FloatValue(), x);
            EXPECT_TRUE(readBackOf(e).startsWith(QStringLiteral("Text \"%1\"").arg(value)))
                << readBackOf(e).toStdString();
        }
    };
    for (const QLocale& locale : { QLocale(QLocale::German, QLocale::Germany),
             QLocale(QLocale::French, QLocale::France), QLocale::c() }) {
        const int index = formats->findText(locale.name() + "  ", Qt::MatchStartsWith);
        ASSERT_GE(index, 0) << locale.name().toStdString();
        formats->setCurrentIndex(index);
        QApplication::processEvents();
        check("chosen");
        demo.move(demo.pos() + QPoint(20, 10));
        QApplication::processEvents();
        check("moved");
        for (TAdvEdit* e : { money, number }) {
            QTest::mouseClick(e, Qt::LeftButton, Qt::NoModifier, e->rect().center());
            for (Qt::Key key : { Qt::Key_Home, Qt::Key_Right, Qt::Key_End, Qt::Key_Left })
                QTest::keyClick(e, key);
            check("caret moved");
            demo.ui.NameAdvEdit->setFocus(Qt::TabFocusReason);
            QApplication::processEvents();
            check("left");
        }
    }
}

} // namespace
