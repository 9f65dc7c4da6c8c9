// SPDX-License-Identifier: MIT
// Typed input in the real field: the typing cases through key events, and what only the widget
// does (clipboard, focus loss, password protection, composed text, the properties).
#include "AdvEdit.h"
#include "EditForm.h"
#include "LocaleScope.h"
#include "TypedInputCases.h"

#include <QAccessible>
#include <QAccessibleInterface>
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QInputMethodQueryEvent>

#include <QLocale>
#include <QTest>
#include <QToolTip>
#include <gtest/gtest.h>

using TypedText::TSeparators;

namespace {

void Apply(TAdvEdit& e, const TTypedSettings& s)
{
    e.setEditType(s.type);
    e.setPrecision(s.precision);
    e.setSigned(s.isSigned);
    e.setLengthLimit(s.lengthLimit);
    e.setTabOnFullLength(s.tabOnFullLength);
    e.setValidChars(QString::fromUtf8(s.validChars));
    e.setExcelStyleDecimalSeparator(s.excel);
    e.setAutoThousandSeparator(s.autoThousandSeparator);
    e.setPrefix(QString::fromUtf8(s.prefix));
}

// The control text with "|" at the caret or "[...]" around the selection.
QString Shown(const QLineEdit& e)
{
    QString t = e.text();
    if (e.hasSelectedText())
        return t.insert(e.selectionEnd(), QLatin1Char(']')).insert(e.selectionStart(), QLatin1Char('['));
    return t.insert(e.cursorPosition(), QLatin1Char('|'));
}

// Puts a picture like Shown() gives into the field without going through its rules.
void Show(TAdvEdit& e, const QString& picture)
{
    QString t = picture;
    const qsizetype open = t.indexOf(QLatin1Char('['));
    const qsizetype close = t.indexOf(QLatin1Char(']'));
    const qsizetype bar = t.indexOf(QLatin1Char('|'));
    if (open >= 0)
        t.remove(close, 1).remove(open, 1);
    else
        t.remove(bar, 1);
    static_cast<QLineEdit&>(e).setText(t);
    if (open >= 0)
        e.setSelection(int(open), int(close - open - 1));
    else
        e.setCursorPosition(int(bar));
}

void Press(QWidget* w, const QString& ch, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    if (ch == QLatin1String("\b")) {
        QTest::keyClick(w, Qt::Key_Backspace);
    } else if (ch == QLatin1String("\x7f")) {
        QTest::keyClick(w, Qt::Key_Delete);
    } else {
        const char c = ch.size() == 1 && ch[0].unicode() < 128 ? char(ch[0].unicode()) : 0;
        const Qt::Key key = c ? QTest::asciiToKey(c) : Qt::Key_unknown;
        QTest::sendKeyEvent(QTest::Click, w, key, ch, modifiers);
    }
}

TEST(AdvEditTyped, TypingThroughKeys)
{
    for (const QLocale& locale : TypingLocales()) {
        const LocaleScope scope(locale);
        const TSeparators sep = TSeparators::Current();
        for (const TTypingCase& c : TypingCases()) {
            SCOPED_TRACE(locale.name().toStdString() + ": " + c.rule);
            Form f;
            Apply(*f.edit, c.settings);
            f.focusEdit();
            Show(*f.edit, Localised(c.start, c.settings, sep));
            for (QChar ch : Localised(c.typed, c.settings, sep))
                Press(f.edit, QString(ch), c.settings.keypad ? Qt::KeypadModifier : Qt::NoModifier);
            EXPECT_EQ(Shown(*f.edit), Localised(c.expected, c.settings, sep));
            EXPECT_EQ(f.other->hasFocus(), c.focusMoves > 0);
        }
    }
}

TEST(AdvEditTyped, PastingThroughTheClipboard)
{
    struct Case {
        TTypedSettings settings;
        const char* start;
        const char* clip;
        const char* expected;
    } cases[] = {
        { { AdvEditTypes::etNumeric }, "1|", "2a", "1|" },
        { { AdvEditTypes::etMoney, 2 }, "|", "1234", "[1,234.00]" },
        { { AdvEditTypes::etAlphaNumeric }, "a|", "b c", "a|" },
        { { AdvEditTypes::etMixedCase }, "|", "john mcdonald", "John McDonald|" },
        { { AdvEditTypes::etHex }, "|", "FF", "|" },
    };
    for (const QLocale& locale : TypingLocales()) {
        const LocaleScope scope(locale);
        const TSeparators sep = TSeparators::Current();
        for (const Case& c : cases) {
            SCOPED_TRACE(locale.name().toStdString() + ": " + c.clip);
            Form f;
            Apply(*f.edit, c.settings);
            f.focusEdit();
            Show(*f.edit, Localised(c.start, c.settings, sep));
            QApplication::clipboard()->setText(Localised(c.clip, c.settings, sep));
            QTest::keyClick(f.edit, Qt::Key_V, Qt::ControlModifier);
            EXPECT_EQ(Shown(*f.edit), Localised(c.expected, c.settings, sep));
        }
    }
}

TEST(AdvEditTyped, FocusLossNormalisesNumbers)
{
    struct Case {
        TTypedSettings settings;
        const char* typed;
        const char* expected;
    } cases[] = {
        { { AdvEditTypes::etNumeric }, "\b", "0" },
        { { AdvEditTypes::etFloat, 2 }, "1.5", "1.50" },
        { { AdvEditTypes::etMoney, 2 }, "1234", "1,234.00" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        Form f;
        Apply(*f.edit, c.settings);
        f.focusEdit(); // selects the whole value, so typing replaces it
        for (QChar ch : QString::fromUtf8(c.typed))
            Press(f.edit, QString(ch));
        const bool modified = f.edit->Modified();
        f.focusOther();
        EXPECT_EQ(f.edit->Text(), c.expected);
        EXPECT_EQ(f.edit->Modified(), modified);
    }
}

TEST(AdvEditTyped, PropertiesThroughTheMetaObject)
{
    TAdvEdit e;
    EXPECT_TRUE(e.setProperty("EditType", QVariant::fromValue(TAdvEdit::etMoney)));
    EXPECT_TRUE(e.setProperty("Precision", 2));
    EXPECT_EQ(e.EditType(), TAdvEdit::etMoney);
    const LocaleScope scope(QLocale(QLocale::English, QLocale::UnitedStates));
    e.setProperty("FloatValue", 1234567.5);
    EXPECT_EQ(e.Text(), "1,234,567.50");
    EXPECT_EQ(e.property("IntValue").toInt(), 1234567);
    e.setEditType(TAdvEdit::etHex);
    e.setText(QStringLiteral("ff"));
    EXPECT_EQ(e.Text(), "FF");
    EXPECT_EQ(e.IntValue(), 255);
}

// Records the drags the field would start.
class DragRecorder : public TAdvEdit {
public:
    QStringList dragged;

protected:
    bool StartTextDrag(const QString& text) override
    {
        dragged << text;
        return true;
    }
};

TEST(AdvEditTyped, PasswordNeverLeavesTheField)
{
    KeyWindow window;
    window.resize(300, 60);
    auto* e = new DragRecorder;
    e->setParent(&window);
    e->setGeometry(10, 10, 60, 21);
    e->setShowURL(true);
    e->setHintShowLargeText(true);
    e->setOleDropSource(true);
    e->setEditType(TAdvEdit::etPassword);
    QStringList events;
    e->OnClipboardCopy = [&](TAdvEdit*, const QString& v, bool&) { events << v; };
    e->OnClipboardCut = [&](TAdvEdit*, const QString& v, bool&) { events << v; };
    window.show();
    e->setFocus();
    QApplication::processEvents();
    const QString secret = QStringLiteral("www.secret@example.org");
    QTest::keyClicks(e, secret);
    ASSERT_EQ(e->Text(), secret);
    EXPECT_FALSE(e->CanUndo());
    EXPECT_EQ(e->displayText(), QString(secret.size(), QLatin1Char('*')));
    EXPECT_FALSE(e->IsUrlLook());

    e->selectAll();
    // a press inside the selection and a move would start a drag of it
    const QPoint inside = e->PosFromChar(2) + QPoint(1, 5);
    QTest::mousePress(e, Qt::LeftButton, {}, inside);
    QTest::mouseMove(e, inside + QPoint(20, 0));
    QTest::mouseRelease(e, Qt::LeftButton, {}, inside + QPoint(20, 0));
    EXPECT_TRUE(e->dragged.isEmpty());

    QHelpEvent tip(QEvent::ToolTip, QPoint(5, 5), e->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(e, &tip);
    EXPECT_FALSE(QToolTip::isVisible() && QToolTip::text().contains(QLatin1String("secret")));

    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(e);
    ASSERT_NE(a, nullptr);
    EXPECT_FALSE(a->text(QAccessible::Value).contains(QLatin1String("secret")));
    ASSERT_NE(a->textInterface(), nullptr);
    EXPECT_FALSE(a->textInterface()->text(0, int(secret.size())).contains(QLatin1String("secret")));
    for (Qt::InputMethodQuery q :
        { Qt::ImSurroundingText, Qt::ImCurrentSelection, Qt::ImTextBeforeCursor, Qt::ImTextAfterCursor }) {
        SCOPED_TRACE(int(q));
        EXPECT_FALSE(e->inputMethodQuery(q).toString().contains(QLatin1String("secret")));
        QInputMethodQueryEvent query(q);
        QApplication::sendEvent(e, &query);
        EXPECT_FALSE(query.value(q).toString().contains(QLatin1String("secret")));
    }

    QApplication::clipboard()->setText(QStringLiteral("before"));
    e->selectAll();
    QTest::keyClick(e, Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(e, Qt::Key_X, Qt::ControlModifier);
    e->copy();
    e->cut();
    EXPECT_EQ(QApplication::clipboard()->text(), "before");
    EXPECT_EQ(e->Text(), secret); // a cut deletes nothing either
    EXPECT_TRUE(events.isEmpty());

    e->setEditType(TAdvEdit::etString); // the mask goes with the type
    EXPECT_EQ(e->displayText(), secret);
}

TEST(AdvEditTyped, ComposedTextIsTypedCharacterByCharacter)
{
    Form f;
    f.edit->setEditType(TAdvEdit::etNumeric);
    f.focusEdit();
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("1a2"));
    QApplication::sendEvent(f.edit, &commit);
    EXPECT_EQ(f.edit->Text(), "12");

    f.edit->setEditType(TAdvEdit::etMixedCase);
    f.edit->setText(QString());
    commit.setCommitString(QStringLiteral("john smith"));
    QApplication::sendEvent(f.edit, &commit);
    EXPECT_EQ(f.edit->Text(), "John Smith");
}

// The value in the separators of the number format in effect.
QString InFormat(const char* value)
{
    const TSeparators sep = TSeparators::Current();
    QString r = QString::fromLatin1(value);
    for (QChar& c : r)
        c = c == QLatin1Char(',')   ? (sep.ts.isNull() ? QChar(0xFFFF) : sep.ts)
            : c == QLatin1Char('.') ? sep.ds
                                    : c;
    return r.remove(QChar(0xFFFF));
}

// What a desktop sends when its number format changes.
void ChangeNumberFormat(const QLocale& locale)
{
    QLocale::setDefault(locale);
    QEvent changed(QEvent::LocaleChange);
    QApplication::sendEvent(qApp, &changed);
}

TEST(AdvEditTyped, NumberValuesFollowTheNumberFormat)
{
    const LocaleScope scope(QLocale::c());
    QWidget window;
    auto* money = new TAdvEdit(&window);
    money->setEditType(TAdvEdit::etMoney);
    money->setPrecision(2);
    money->setPrefix(QStringLiteral("$ "));
    money->setFloatValue(-1234567.5);
    auto* number = new TAdvEdit(&window);
    number->setEditType(TAdvEdit::etFloat);
    number->setPrecision(3);
    number->setSigned(true);
    number->setFloatValue(1234567.25);
    number->setAutoThousandSeparator(true);
    number->setModified(false);
    const auto check = [&](const QLocale& locale) {
        SCOPED_TRACE(locale.name().toStdString());
        EXPECT_EQ(money->Text(), InFormat("-1,234,567.50"));
        EXPECT_EQ(money->QLineEdit::text(), "$ " + money->Text());
        EXPECT_DOUBLE_EQ(money->FloatValue(), -1234567.5);
        EXPECT_TRUE(money->Modified());
        EXPECT_EQ(number->Text(), InFormat("1,234,567.250"));
        EXPECT_DOUBLE_EQ(number->FloatValue(), 1234567.25);
        EXPECT_FALSE(number->Modified());
    };
    // de_CH groups with an apostrophe and keeps "."; the C locale comes back to the start
    for (const QLocale& locale :
        { QLocale(QLocale::German, QLocale::Germany), QLocale(QLocale::French, QLocale::France),
            QLocale(QLocale::German, QLocale::Switzerland), QLocale::c() }) {
        ChangeNumberFormat(locale);
        check(locale);
        // a change event that brings no new format changes nothing
        ChangeNumberFormat(locale);
        check(locale);
    }
    // a value written after the format changed, before the event came, is already in it
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    money->setFloatValue(2.5);
    ChangeNumberFormat(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(money->Text(), "2,50");
    EXPECT_DOUBLE_EQ(money->FloatValue(), 2.5);
}

} // namespace
