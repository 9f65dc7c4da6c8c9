// SPDX-License-Identifier: MIT
// The field never shortens, loses or corrupts its value; focus, Escape and paste follow its rules
// whatever road the key, the clipboard or the focus takes.
#include "AdvEdit.h"
#include "EditForm.h"

#include <QAction>
#include <QClipboard>
#include <QSignalSpy>
#include <functional>

namespace {

using Step = std::function<void(TAdvEdit*)>;

void type(TAdvEdit* e, const QString& text)
{
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, text);
    QApplication::sendEvent(e, &press);
}

bool hasLoneSurrogate(const QString& s)
{
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i].isHighSurrogate() && (i + 1 == s.size() || !s[i + 1].isLowSurrogate()))
            return true;
        if (s[i].isLowSurrogate() && (i == 0 || !s[i - 1].isHighSurrogate()))
            return true;
    }
    return false;
}

TEST(AdvEditRules, AssigningTextNeverShortensIt)
{
    struct Case {
        const char* name;
        int maxLength;
        const char *prefix, *suffix;
        Step setLimit;
    };
    const Case cases[] = {
        { "limit before", 5, "", "", [](TAdvEdit* e) { e->setMaxLength(5); } },
        { "limit with prefix and suffix", 5, "$", " kg", [](TAdvEdit* e) { e->setMaxLength(5); } },
        { "limit as a property", 3, "", "", [](TAdvEdit* e) { e->setProperty("maxLength", 3); } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TAdvEdit e;
        e.setPrefix(c.prefix);
        e.setSuffix(c.suffix);
        c.setLimit(&e);
        EXPECT_EQ(e.maxLength(), c.maxLength);
        e.setText("1234567890");
        EXPECT_EQ(e.Text(), "1234567890");
        EXPECT_EQ(e.text(), QString(c.prefix) + "1234567890" + c.suffix);
        e.setMaxLength(2); // a lower limit later leaves the value alone too
        EXPECT_EQ(e.Text(), "1234567890");
    }
}

TEST(AdvEditRules, NoLengthLimitByDefault)
{
    const QString big(100000, QLatin1Char('a'));
    const QString huge(1 << 20, QLatin1Char('b'));
    struct Case {
        const char* name;
        Step act;
        QString expected;
    };
    const Case cases[] = {
        { "assignment", [&](TAdvEdit* e) { e->setText(big); }, big },
        { "paste",
            [&](TAdvEdit* e) {
                e->setText("");
                QApplication::clipboard()->setText(huge);
                QTest::keyClick(e, Qt::Key_V, Qt::ControlModifier);
            },
            huge },
        { "typing past Qt's default",
            [&](TAdvEdit* e) {
                e->setText(QString(32767, QLatin1Char('c')));
                e->setCursorPosition(32767);
                QTest::keyClick(e, Qt::Key_D);
            },
            QString(32767, QLatin1Char('c')) + "d" },
    };
    Form f;
    EXPECT_EQ(f.edit->maxLength(), 0);
    f.focusEdit();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.act(f.edit);
        EXPECT_EQ(f.edit->Text().size(), c.expected.size());
        EXPECT_EQ(f.edit->Text(), c.expected);
    }
}

TEST(AdvEditRules, SelectionsStayBetweenPrefixAndSuffix)
{
    // "$12345 kg": the value spans control-text positions 1 to 6
    struct Case {
        const char* name;
        int caret;
        Step act;
        const char* selected;
        const char* afterTypingZ;
    };
    auto keys = [](Qt::Key key, int times, Qt::KeyboardModifiers mods) {
        return [=](TAdvEdit* e) {
            for (int i = 0; i < times; ++i)
                QTest::keyClick(e, key, mods);
        };
    };
    auto drag = [](int fromChar, int toX) {
        return [=](TAdvEdit* e) {
            const QPoint from = e->PosFromChar(fromChar) + QPoint(1, 3);
            QTest::mousePress(e, Qt::LeftButton, {}, from);
            QMouseEvent move(QEvent::MouseMove, QPointF(toX, from.y()),
                e->mapToGlobal(QPointF(toX, from.y())), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(e, &move);
            QTest::mouseRelease(e, Qt::LeftButton, {}, QPoint(toX, from.y()));
        };
    };
    const Case cases[] = {
        { "shift+left into the prefix", 2, keys(Qt::Key_Left, 2, Qt::ShiftModifier), "1", "$z2345 kg" },
        { "shift+right into the suffix", 5, keys(Qt::Key_Right, 3, Qt::ShiftModifier), "5", "$1234z kg" },
        { "word right into the suffix", 5, keys(Qt::Key_Right, 1, Qt::ShiftModifier | Qt::ControlModifier),
            "5", "$1234z kg" },
        { "select all key", 3, keys(Qt::Key_A, 1, Qt::ControlModifier), "12345", "$z kg" },
        { "mouse drag into the prefix", 3, drag(3, 0), "12", "$z345 kg" },
        { "mouse drag into the suffix", 2, drag(2, 700), "2345", "$1z kg" },
    };
    Form f;
    TAdvEdit* e = f.edit;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        e->setPrefix("$");
        e->setSuffix(" kg");
        e->setText("12345");
        f.focusEdit();
        e->setCursorPosition(c.caret);
        c.act(e);
        EXPECT_EQ(e->selectedText(), c.selected);
        QTest::keyClick(e, Qt::Key_Z);
        EXPECT_EQ(e->text(), c.afterTypingZ);
        f.focusOther();
    }
}

TEST(AdvEditRules, OwnPopupIsNoFocusChange)
{
    struct Case {
        const char* name;
        std::function<void(QMenu*)> close;
    };
    const Case cases[] = {
        { "closed", [](QMenu* m) { m->close(); } },
        { "escaped", [](QMenu* m) { QTest::keyClick(m, Qt::Key_Escape); } },
        { "copy chosen", [](QMenu* m) { m->findChild<QAction*>("edit-copy")->trigger(); } },
    };
    Form f;
    TAdvEdit* e = f.edit;
    int validations = 0;
    e->OnValueValidate = [&](TAdvEdit*, const QString&, bool&) { ++validations; };
    e->setFocusColor(0x00FFFF);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        e->setText("abc");
        f.focusEdit();
        QTest::keyClick(e, Qt::Key_X);
        QTest::keyClick(e, Qt::Key_Left, Qt::ShiftModifier);
        validations = 0;
        QMenu* menu = popupMenu(e);
        ASSERT_NE(menu, nullptr);
        QApplication::processEvents(); // the menu is open a while, as it is for a user
        c.close(menu);
        QApplication::processEvents();
        EXPECT_TRUE(e->hasFocus());
        EXPECT_EQ(validations, 0);
        EXPECT_EQ(e->Color(), 0x00FFFFu);
        EXPECT_EQ(e->selectedText(), "x"); // not selected afresh
        QTest::keyClick(e, Qt::Key_Escape);
        EXPECT_EQ(e->Text(), "abc"); // the value at the real focus gain
        f.focusOther();
    }
}

TEST(AdvEditRules, EscapeReachesTheParentExactlyAsForwarded)
{
    struct Case {
        bool defaultHandling, canUndo;
        int parentEscapes;
        const char* value;
    };
    const Case cases[] = {
        { true, true, 1, "abc" },
        { false, true, 1, "abc" },
        { false, false, 1, "x" },
        { true, false, 0, "x" },
    };
    Form f;
    TAdvEdit* e = f.edit;
    for (const Case& c : cases) {
        SCOPED_TRACE(
            testing::Message() << "DefaultHandling " << c.defaultHandling << " CanUndo " << c.canUndo);
        e->setDefaultHandling(c.defaultHandling);
        e->setCanUndo(c.canUndo);
        e->setText("abc");
        f.focusEdit();
        QTest::keyClick(e, Qt::Key_X);
        f.window.keys.clear();
        QTest::keyClick(e, Qt::Key_Escape);
        QApplication::processEvents();
        EXPECT_EQ(f.window.keys.count(Qt::Key_Escape), c.parentEscapes);
        EXPECT_EQ(e->Text(), c.value);
        f.focusOther();
    }
}

TEST(AdvEditRules, PasteOverASelectionSelectsWhatWasPasted)
{
    struct Case {
        const char* prefix;
        const char* value;
        int selStart, selLength;
        const char* clip;
        const char* text;
        const char* selected;
        int caret;
    };
    const Case cases[] = {
        { "", "abcdef", 2, 2, "XYZ", "abXYZef", "XYZ", 5 },
        { "", "abcdef", 2, 0, "XYZ", "abXYZcdef", "", 5 },
        { "$", "12", 1, 2, "7", "$7", "7", 2 },
    };
    Form f;
    TAdvEdit* e = f.edit;
    f.focusEdit();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        e->setPrefix(c.prefix);
        e->setText(c.value);
        e->setSelection(c.selStart, c.selLength);
        if (c.selLength == 0)
            e->setCursorPosition(c.selStart);
        QApplication::clipboard()->setText(c.clip);
        QTest::keyClick(e, Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(e->text(), c.text);
        EXPECT_EQ(e->selectedText(), c.selected);
        EXPECT_EQ(e->cursorPosition(), c.caret);
    }
}

TEST(AdvEditRules, InputThatDoesNotFitIsRefusedWhole)
{
    const QString smile = QString::fromUtf8("\xF0\x9F\x98\x80"); // two UTF-16 units
    struct Case {
        const char* name;
        const char* value;
        int selStart, selLength;
        QString input;
        bool typed;
        QString expected;
    };
    const Case cases[] = {
        { "paste too long", "abc", 3, 0, "12345", false, "abc" },
        { "paste that fits exactly", "abc", 3, 0, "12", false, "abc12" },
        { "paste over a selection", "abcde", 1, 3, "XYZ", false, "aXYZe" },
        { "paste of a pair with one unit left", "abcd", 4, 0, smile, false, "abcd" },
        { "typed pair with one unit left", "abcd", 4, 0, smile, true, "abcd" },
        { "typed character that fits", "abcd", 4, 0, "e", true, "abcde" },
        { "typed character too many", "abcde", 5, 0, "f", true, "abcde" },
    };
    Form f;
    TAdvEdit* e = f.edit;
    e->setMaxLength(5);
    f.focusEdit();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        e->setText(c.value);
        e->setCursorPosition(c.selStart);
        if (c.selLength)
            e->setSelection(c.selStart, c.selLength);
        if (c.typed) {
            type(e, c.input);
        } else {
            QApplication::clipboard()->setText(c.input);
            QTest::keyClick(e, Qt::Key_V, Qt::ControlModifier);
        }
        EXPECT_EQ(e->Text(), c.expected);
        EXPECT_FALSE(hasLoneSurrogate(e->Text()));
    }
}

TEST(AdvEditRules, EveryWayOfPastingFollowsTheRules)
{
    struct Case {
        const char* name;
        Step paste;
    };
    const Case cases[] = {
        { "Ctrl+V", [](TAdvEdit* e) { QTest::keyClick(e, Qt::Key_V, Qt::ControlModifier); } },
        { "Shift+Insert", [](TAdvEdit* e) { QTest::keyClick(e, Qt::Key_Insert, Qt::ShiftModifier); } },
        { "slot", [](TAdvEdit* e) { e->paste(); } },
        { "meta-object", [](TAdvEdit* e) { QMetaObject::invokeMethod(e, "paste"); } },
        { "line edit pointer", [](TAdvEdit* e) { static_cast<QLineEdit*>(e)->paste(); } },
        { "action on the line edit's slot",
            [](TAdvEdit* e) {
                QAction a;
                QObject::connect(&a, &QAction::triggered, e, &QLineEdit::paste);
                a.trigger();
            } },
        { "standard context menu",
            [](TAdvEdit* e) {
                std::unique_ptr<QMenu> menu(e->createStandardContextMenu());
                if (auto* paste = menu->findChild<QAction*>("edit-paste")) // none when read-only
                    paste->trigger();
            } },
    };
    Form f;
    TAdvEdit* e = f.edit;
    QStringList offered;
    e->OnClipboardPaste = [&](TAdvEdit*, const QString& v, bool&) { offered << v; };
    e->setMaxLength(3);
    f.focusEdit();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        offered.clear();
        e->setReadOnly(true);
        e->setText("ab");
        e->setCursorPosition(2);
        QApplication::clipboard()->setText("c");
        c.paste(e);
        EXPECT_EQ(e->Text(), "ab"); // read-only: nothing at all
        EXPECT_TRUE(offered.isEmpty());

        e->setReadOnly(false);
        QApplication::clipboard()->setText("cd");
        c.paste(e);
        EXPECT_EQ(e->Text(), "ab"); // refused whole: it does not fit
        QApplication::clipboard()->setText("c");
        c.paste(e);
        EXPECT_EQ(e->Text(), "abc");
        EXPECT_EQ(offered, QStringList({ "abcd", "abc" }));
    }
}

TEST(AdvEditRules, AutoSelectDecidesWhetherFocusSelects)
{
    struct Case {
        bool autoSelect;
        Qt::FocusReason reason;
        const char* selected;
    };
    const Case cases[] = {
        { true, Qt::TabFocusReason, "abc" },
        { true, Qt::OtherFocusReason, "abc" },
        { false, Qt::TabFocusReason, "" },
        { false, Qt::OtherFocusReason, "" },
    };
    EXPECT_TRUE(TAdvEdit().AutoSelect());
    Form f;
    TAdvEdit* e = f.edit;
    e->setPrefix("$");
    e->setText("abc");
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "AutoSelect " << c.autoSelect << " reason " << c.reason);
        e->setAutoSelect(c.autoSelect);
        e->setFocus(c.reason);
        QApplication::processEvents();
        EXPECT_EQ(e->selectedText(), c.selected);
        f.focusOther();
    }
}

// Counts the lookup updates the rules ask for.
class LookupCountingEdit : public TAdvEdit {
public:
    using TAdvEdit::TAdvEdit;
    int updates = 0;

protected:
    void UpdateLookupList() override { ++updates; }
};

TEST(AdvEditRules, LookupUpdatesAfterEveryHandledPaste)
{
    struct Case {
        const char* name;
        bool readOnly;
        int maxLength;
        const char* clip;
        int updates;
    };
    const Case cases[] = {
        { "text pasted", false, 0, "x", 1 },
        { "clipboard without text", false, 0, "", 1 },
        { "paste refused", false, 2, "xyz", 0 },
        { "read-only", true, 0, "x", 0 },
    };
    Form f;
    auto* e = new LookupCountingEdit(&f.window);
    e->show();
    e->setFocus();
    QApplication::processEvents();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        e->setReadOnly(c.readOnly);
        e->setMaxLength(c.maxLength);
        e->setText("a");
        QApplication::clipboard()->setText(c.clip);
        e->updates = 0;
        QTest::keyClick(e, Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(e->updates, c.updates);
    }
}

} // namespace
