// SPDX-License-Identifier: MIT
#include "AdvEdit.h"
#include "EditForm.h"
#include "RecordingShell.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>
#include <gtest/gtest.h>
#include <memory>

namespace {

TEST(AdvEdit, PrefixAndSuffixFrameTheValue)
{
    TAdvEdit e;
    e.setPrefix("$");
    e.setSuffix(" kg");
    e.setText("12");
    EXPECT_EQ(e.text(), "$12 kg");
    EXPECT_EQ(e.Text(), "12");
    e.QLineEdit::setText("$12");
    EXPECT_EQ(e.Text(), ""); // the suffix length is cut without comparing
    e.setText("7");
    e.setPrefix("EUR ");
    EXPECT_EQ(e.text(), "EUR 7 kg");
    EXPECT_EQ(e.Version(), "2.8.3.0");
    e.setProperty("Version", "9.9.9.9");
    EXPECT_EQ(e.property("Version").toString(), "2.8.3.0");
}

TEST(AdvEdit, MainWindowSourceField)
{
    Form f;
    TAdvEdit* e = f.edit;
    e->setReadOnly(true);
    e->setColor(clWindow);
    const QString path = "/home/user/My Documents/broken  file.docx ";
    e->setText(path);
    EXPECT_EQ(e->Text(), path);

    // disabled: grey background and a grey outer ring
    e->setEnabled(false);
    EXPECT_EQ(e->Color(), 0xC0C0C0u);
    EXPECT_EQ(pixel(e, 0, 0), QColor(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(pixel(e, 745, 20), QColor(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(pixel(e, 373, 0), QColor(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(pixel(e, 740, 10), QColor(0xC0, 0xC0, 0xC0));
    {
        // the value stays readable: text pixels clearly darker than the background
        const QImage img = e->grab().toImage();
        int dark = 0;
        for (int x = 2; x < 200; ++x)
            for (int y = 3; y < 18; ++y)
                dark += qGray(img.pixel(x, y)) < 0x90;
        EXPECT_GT(dark, 20);
    }
    e->setEnabled(false);
    e->setEnabled(true);
    EXPECT_EQ(e->Color(), clWindow);
    EXPECT_EQ(pixel(e, 740, 10), ColorToQColor(clWindow));
    EXPECT_NE(pixel(e, 0, 0), QColor(0xC0, 0xC0, 0xC0));

    // focus selects the whole value; copy works
    f.focusEdit();
    EXPECT_EQ(e->selectedText(), path);
    QApplication::clipboard()->setText("nothing");
    QTest::keyClick(e, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), path);

    // typing and pasting change nothing
    QApplication::clipboard()->setText("pasted");
    QTest::keyClicks(e, "xy");
    QTest::keyClick(e, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(e, Qt::Key_Insert, Qt::ShiftModifier);
    QTest::keyClick(e, Qt::Key_Backspace);
    EXPECT_EQ(e->Text(), path);
    EXPECT_FALSE(e->Modified());
    e->paste();
    EXPECT_EQ(e->Text(), path);

    // the context menu's paste does nothing either
    QMenu* menu = popupMenu(e);
    ASSERT_NE(menu, nullptr);
    // a read-only field offers no paste; should one be there, it must be inert
    if (QAction* paste = menu->findChild<QAction*>("edit-paste")) {
        EXPECT_FALSE(paste->isEnabled());
        paste->trigger();
    }
    EXPECT_EQ(e->Text(), path);
    QAction* copy = menu->findChild<QAction*>("edit-copy");
    ASSERT_NE(copy, nullptr);
    QApplication::clipboard()->setText("x");
    e->selectAll();
    copy->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), path);
    menu->close();
}

TEST(AdvEdit, DisabledAtLoadingShowsDisabledColourAfterLoaded)
{
    QWidget parent;
    TAdvEdit* e = nullptr;
    LoadForm([&] {
        e = new TAdvEdit(&parent);
        e->setColor(0x00FF00);
        e->setEnabled(false); // while loading only stored
        EXPECT_EQ(e->Color(), 0x00FF00u);
    });
    EXPECT_EQ(e->Color(), 0xC0C0C0u);
    e->setEnabled(true);
    EXPECT_EQ(e->Color(), 0x00FF00u);
}

TEST(AdvEdit, EscapeRestoresTheValueAtFocusTime)
{
    Form f;
    TAdvEdit* e = f.edit;
    e->setText("abc");
    f.focusEdit();
    QTest::keyClick(e, Qt::Key_X);
    EXPECT_EQ(e->Text(), "x");
    EXPECT_TRUE(e->Modified());
    QTest::keyClick(e, Qt::Key_Escape);
    EXPECT_EQ(e->Text(), "abc");
    EXPECT_EQ(e->selectedText(), "abc");
    EXPECT_FALSE(e->Modified());

    e->setCanUndo(false);
    QTest::keyClick(e, Qt::Key_Y);
    QTest::keyClick(e, Qt::Key_Escape);
    EXPECT_EQ(e->Text(), "y");
}

TEST(AdvEdit, EnterIsKeptInTheField)
{
    Form f;
    TAdvEdit* e = f.edit;
    int presses = 0;
    e->OnKeyPress = [&](TAdvEdit* s, QChar& c) {
        EXPECT_EQ(s, e);
        EXPECT_EQ(c, QChar(13));
        ++presses;
    };
    QSignalSpy returned(e, &QLineEdit::returnPressed);
    e->setText("ab");
    f.focusEdit();
    QTest::keyClick(e, Qt::Key_Return);
    EXPECT_EQ(presses, 1);
    EXPECT_EQ(e->Text(), "ab");
    QTest::keyClick(e, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(presses, 1);
    EXPECT_EQ(e->Text(), "ab");

    e->setReturnIsTab(true);
    QTest::keyClick(e, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_FALSE(e->hasFocus());
}

TEST(AdvEdit, WholeSelectionEditsAndChangeNotification)
{
    Form f;
    TAdvEdit* e = f.edit;
    int changes = 0;
    e->OnChange = [&](TAdvEdit*) { ++changes; };
    e->setText("abc");
    changes = 0;
    f.focusEdit();
    QTest::keyClick(e, Qt::Key_Backspace);
    EXPECT_EQ(e->Text(), "");
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(e->Modified());

    e->setText("abc");
    e->SelectAll();
    changes = 0;
    QTest::keyClick(e, Qt::Key_Z);
    EXPECT_EQ(e->Text(), "z");
    EXPECT_EQ(changes, 0); // one notification swallowed
    QTest::keyClick(e, Qt::Key_Q);
    EXPECT_EQ(changes, 1);
}

TEST(AdvEdit, BlockFromAKeystrokeThatChangedNothingDoesNotSwallowLaterChanges)
{
    Form f;
    TAdvEdit* e = f.edit;
    e->setReadOnly(true);
    int changes = 0;
    e->OnChange = [&](TAdvEdit*) { ++changes; };
    e->setText("abc");
    f.focusEdit();
    QTest::keyClick(e, Qt::Key_Z); // whole value selected, read-only: nothing changes
    changes = 0;
    e->setText("other");
    EXPECT_EQ(changes, 1);
}

TEST(AdvEdit, FocusAndErrorColours)
{
    Form f;
    TAdvEdit* e = f.edit;
    e->setFocusColor(0x00FFFF);
    f.focusEdit();
    EXPECT_EQ(e->Color(), 0x00FFFFu);
    EXPECT_EQ(pixel(e, 740, 10), QColor(0xFF, 0xFF, 0x00));
    f.focusOther();
    EXPECT_EQ(e->Color(), clWindow);

    e->setShowError(true);
    e->OnValueValidate = [](TAdvEdit*, const QString& v, bool& ok) { ok = !v.contains('!'); };
    f.focusEdit();
    QTest::keyClicks(e, "a!");
    EXPECT_TRUE(e->IsError());
    EXPECT_EQ(e->Color(), 0x0000FFu);
    f.focusOther();
    EXPECT_EQ(e->Color(), 0x0000FFu); // the error colour survives focus loss
    EXPECT_EQ(e->FontColor(), 0xFFFFFFu);
    e->setText("fine");
    EXPECT_FALSE(e->IsError());
    EXPECT_EQ(e->Color(), clWindow);
}

TEST(AdvEdit, ModifiedLookAndReadOnlyRule)
{
    TAdvEdit e;
    e.setShowModified(true);
    e.setModified(true);
    EXPECT_TRUE(e.Modified());
    EXPECT_EQ(e.FontColor(), clHighlight);
    e.setModified(false);
    EXPECT_EQ(e.FontColor(), clWindowText);
    e.setReadOnly(true);
    e.setModified(true);
    EXPECT_FALSE(e.Modified());
}

TEST(AdvEdit, CaretStaysOutOfPrefixAndSuffix)
{
    Form f;
    TAdvEdit* e = f.edit;
    e->setPrefix("$");
    e->setSuffix(" kg");
    e->setText("12");
    f.focusEdit();
    EXPECT_EQ(e->selectedText(), "12");
    QTest::keyClick(e, Qt::Key_Home);
    EXPECT_EQ(e->cursorPosition(), 1);
    QTest::keyClick(e, Qt::Key_Left);
    EXPECT_EQ(e->cursorPosition(), 1);
    QTest::keyClick(e, Qt::Key_Backspace);
    EXPECT_EQ(e->text(), "$12 kg");
    QTest::keyClick(e, Qt::Key_End);
    EXPECT_EQ(e->cursorPosition(), 3);
    QTest::keyClick(e, Qt::Key_Right);
    EXPECT_EQ(e->cursorPosition(), 3);
    QTest::keyClick(e, Qt::Key_Delete);
    EXPECT_EQ(e->text(), "$12 kg");
    QTest::keyClick(e, Qt::Key_Backspace);
    EXPECT_EQ(e->Text(), "1");
    QTest::keyClick(e, Qt::Key_Home, Qt::ShiftModifier);
    EXPECT_EQ(e->selectedText(), "1");
    // a click into the prefix selects the value
    QTest::mouseClick(e, Qt::LeftButton, {}, e->PosFromChar(0) + QPoint(1, 2));
    EXPECT_GE(e->cursorPosition(), 1);
    EXPECT_EQ(e->text(), "$1 kg");
}

TEST(AdvEdit, PasteBuildsTheValueItself)
{
    Form f;
    TAdvEdit* e = f.edit;
    e->setPrefix("$");
    e->setSuffix(" kg");
    e->setText("12");
    f.focusEdit();
    QApplication::clipboard()->setText("55\nsecond line");
    QString offered;
    bool refuse = false;
    e->OnClipboardPaste = [&](TAdvEdit*, const QString& v, bool& allow) {
        offered = v;
        allow = !refuse;
    };
    QTest::keyClick(e, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(offered, "55");
    EXPECT_EQ(e->text(), "$55 kg");
    EXPECT_TRUE(e->Modified());

    // the context menu's paste takes the same road
    e->SelectAll();
    QApplication::clipboard()->setText("7");
    QMenu* menu = popupMenu(e);
    ASSERT_NE(menu, nullptr);
    QAction* paste = menu->findChild<QAction*>("edit-paste");
    ASSERT_NE(paste, nullptr);
    paste->trigger();
    menu->close();
    EXPECT_EQ(offered, "7");
    EXPECT_EQ(e->text(), "$7 kg");
    QApplication::clipboard()->setText("55");
    e->SelectAll();
    QTest::keyClick(e, Qt::Key_V, Qt::ControlModifier);
    refuse = true;
    e->SelectAll();
    QApplication::clipboard()->setText("9");
    QTest::keyClick(e, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(e->text(), "$55 kg");
    QApplication::clipboard()->clear();
    refuse = false;
    QTest::keyClick(e, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(e->text(), "$55 kg");
}

TEST(AdvEdit, CopyAndCutEvents)
{
    Form f;
    TAdvEdit* e = f.edit;
    e->setText("hello");
    f.focusEdit();
    QStringList seen;
    e->OnClipboardCopy = [&](TAdvEdit*, const QString& v, bool& allow) {
        seen << "copy:" + v;
        allow = false;
    };
    e->OnClipboardCut = [&](TAdvEdit*, const QString& v, bool&) { seen << "cut:" + v; };
    QApplication::clipboard()->setText("before");
    QTest::keyClick(e, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "before");
    QTest::keyClick(e, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "hello");
    EXPECT_EQ(e->Text(), "");
    EXPECT_EQ(seen, QStringList({ "copy:hello", "cut:hello" }));
}

TEST(AdvEdit, UrlClickOpensThroughTheShell)
{
    RecordingShell shell;
    const QStringList& opened = shell.opened;
    {
        Form f;
        TAdvEdit* e = f.edit;
        e->setShowURL(true);
        e->setText("https://example.org/");
        EXPECT_TRUE(e->IsUrlLook());
        EXPECT_EQ(e->FontColor(), 0xFF0000u);
        EXPECT_TRUE(e->font().underline());
        f.focusEdit();
        EXPECT_EQ(e->selectedText(), "example.org/");
        QTest::mouseClick(e, Qt::LeftButton, {}, QPoint(30, 10));
        EXPECT_EQ(opened, QStringList({ "https://example.org/" }));
        e->OnURLClick = [](TAdvEdit*, const QString&, bool& show) { show = false; };
        QTest::mouseClick(e, Qt::LeftButton, {}, QPoint(30, 10));
        EXPECT_EQ(opened.size(), 1);
        e->setText("plain");
        EXPECT_FALSE(e->IsUrlLook());
        EXPECT_FALSE(e->font().underline());
    }
}

TEST(AdvEdit, PressInsideSelectionKeepsItUntilRelease)
{
    Form f;
    TAdvEdit* e = f.edit;
    e->setText("abcdef");
    f.focusEdit();
    const QPoint inside = e->PosFromChar(2) + QPoint(1, 2);
    QTest::mousePress(e, Qt::LeftButton, {}, inside);
    EXPECT_EQ(e->selectedText(), "abcdef");
    QTest::mouseRelease(e, Qt::LeftButton, {}, inside);
    EXPECT_FALSE(e->hasSelectedText());
    EXPECT_EQ(e->cursorPosition(), e->CharFromPos(inside));
}

TEST(AdvEdit, CharacterPositions)
{
    Form f;
    TAdvEdit* e = f.edit;
    EXPECT_EQ(e->PosFromChar(0), QPoint(0, 0));
    e->setText("abc");
    const QPoint p0 = e->PosFromChar(0), p2 = e->PosFromChar(2), p3 = e->PosFromChar(3);
    EXPECT_LT(p0.x(), p2.x());
    EXPECT_LT(p2.x(), p3.x()); // just past the last character too
    EXPECT_EQ(e->CharFromPos(p2 + QPoint(1, 2)), 2);
    EXPECT_EQ(e->GetTextSize(), e->fontMetrics().horizontalAdvance("abc"));
}

TEST(AdvEdit, FocusBorderColourFrame)
{
    Form f;
    TAdvEdit* e = f.edit;
    e->setFocusBorderColor(0x00FF00);
    EXPECT_NE(pixel(e, 0, 0), QColor(0, 0xFF, 0));
    f.focusEdit();
    EXPECT_EQ(pixel(e, 0, 0), QColor(0, 0xFF, 0));
    EXPECT_EQ(pixel(e, 745, 20), QColor(0, 0xFF, 0));
}

} // namespace

namespace {

// Pictures to look at: set QUILLON_SHOTS to a folder.
TEST(AdvEdit, Screenshots)
{
    const QString dir = qEnvironmentVariable("QUILLON_SHOTS");
    if (dir.isEmpty())
        GTEST_SKIP() << "QUILLON_SHOTS not set";
    Form f;
    TAdvEdit* e = f.edit;
    e->setReadOnly(true);
    e->setText("/home/user/Documents/report.docx");
    f.window.grab(QRect(0, 100, 800, 40)).save(dir + "/advedit-enabled.png");
    e->setEnabled(false);
    f.window.grab(QRect(0, 100, 800, 40)).save(dir + "/advedit-disabled.png");
    e->setEnabled(true);
    e->setText("");
    e->setReadOnly(false);
    e->setEmptyText("type a name");
    e->setErrorMarkerPos(0);
    f.window.grab(QRect(0, 100, 800, 40)).save(dir + "/advedit-empty.png");
    e->setText("misspeled word");
    e->setErrorMarkerPos(0);
    e->setErrorMarkerLen(9);
    f.window.grab(QRect(0, 100, 800, 40)).save(dir + "/advedit-marker.png");
}

} // namespace

namespace {

TEST(AdvEdit, FocusTimeWidthAndAlignment)
{
    Form f;
    TAdvEdit* e = f.edit;
    e->setFocusWidthInc(20);
    e->setFocusAlign(TAdvEdit::eaRight);
    f.focusEdit();
    EXPECT_EQ(e->width(), 766);
    EXPECT_EQ(e->EditAlign(), TAdvEdit::eaRight);
    EXPECT_TRUE(e->alignment() & Qt::AlignRight);
    f.focusOther();
    EXPECT_EQ(e->width(), 746);
    EXPECT_EQ(e->EditAlign(), TAdvEdit::eaLeft);
}

TEST(AdvEdit, MouseEnterLeaveAndAutoFocus)
{
    Form f;
    TAdvEdit* e = f.edit;
    QStringList seen;
    e->OnMouseEnter = [&](TAdvEdit*) { seen << "enter"; };
    e->OnMouseLeave = [&](TAdvEdit*) { seen << "leave"; };
    e->setAutoFocus(true);
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), e->mapToGlobal(QPointF(5, 5)));
    QApplication::sendEvent(e, &enter);
    QApplication::processEvents();
    EXPECT_TRUE(e->hasFocus());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(e, &leave);
    EXPECT_EQ(seen, QStringList({ "enter", "leave" }));
}

TEST(AdvEdit, FlatFieldDrawsItsBottomLine)
{
    Form f;
    TAdvEdit* e = f.edit;
    e->setFlat(true);
    EXPECT_FALSE(e->hasFrame());
    const QImage img = e->grab().toImage();
    EXPECT_EQ(img.pixelColor(300, 20), QColor(Qt::black));
    EXPECT_EQ(img.pixelColor(300, 10), f.window.palette().color(QPalette::Window));
    e->setFlat(false);
    EXPECT_TRUE(e->hasFrame());
    EXPECT_EQ(e->Color(), clWindow);
}

TEST(AdvEdit, LongValueBecomesTheHint)
{
    Form f;
    TAdvEdit* e = f.edit;
    e->resize(60, 21);
    e->setText("a value far wider than the field can show");
    QHelpEvent tip(QEvent::ToolTip, QPoint(5, 5), e->mapToGlobal(QPoint(5, 5)));
    EXPECT_FALSE(QApplication::sendEvent(e, &tip) && QToolTip::isVisible());
    e->setHintShowLargeText(true);
    QApplication::sendEvent(e, &tip);
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), e->Text());
    QToolTip::hideText();
}

} // namespace
