// SPDX-License-Identifier: MIT
// The editing class's key, paste and drop rules on the model host, without a widget: the value
// between Prefix and Suffix, MaxLength, one line, Escape's undo and Enter's moving on.
#include "AdvEditControl.h"
#include "EditHostModel.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

TEST(AdvEditControl, KeyPasteAndDropRules)
{
    using Act = std::function<void(TEditHostModel&)>;
    const auto key = [](int k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        return [=](TEditHostModel& f) { f.Key(k, QString(), m); };
    };
    const auto type
        = [](const char* text) { return [=](TEditHostModel& f) { f.Type(QString::fromUtf8(text)); }; };
    const auto drop = [](const char* text, int at, bool fromSelf) {
        return [=](TEditHostModel& f) { f.edit.Drop({ QString::fromUtf8(text), at, fromSelf, false }); };
    };
    struct Case {
        const char* rule;
        const char *prefix, *suffix, *start;
        Act act;
        const char* expected;
        int maxLength = 0, focusMoves = 0, forwarded = 0;
    } cases[] = {
        { "Home stops after the prefix", "$", "", "$12|3", key(Qt::Key_Home), "$|123" },
        { "Shift+Home selects the value", "$", "", "$12|3", key(Qt::Key_Home, Qt::ShiftModifier), "$[123]" },
        { "End stops before the suffix", "", " kg", "1|23 kg", key(Qt::Key_End), "123| kg" },
        { "Left never enters the prefix", "$", "", "$|12", key(Qt::Key_Left), "$|12" },
        { "Right never enters the suffix", "", " kg", "12| kg", key(Qt::Key_Right), "12| kg" },
        { "Backspace never deletes the prefix", "$", "", "$|12", type("\b"), "$|12" },
        { "Backspace inside the value", "$", "", "$1|2", type("\b"), "$|2" },
        { "Delete never deletes the suffix", "", " kg", "12| kg", type("\x7f"), "12| kg" },
        { "a character replaces the selection", "", "", "[12]", type("x"), "x|" },
        { "a character past MaxLength is refused", "", "", "12|", type("3"), "12|", 2 },
        { "a paste takes one line", "", "", "|", [](TEditHostModel& f) { f.Paste(QStringLiteral("ab\ncd")); },
            "ab|" },
        { "a read-only field takes no paste", "", "", "|",
            [](TEditHostModel& f) {
                f.readOnly = true;
                f.Paste(QStringLiteral("x"));
            },
            "|" },
        { "Escape restores the value held at focus", "", "", "new|",
            [](TEditHostModel& f) {
                f.edit.setFocusValue(QStringLiteral("old"));
                f.Key(Qt::Key_Escape);
            },
            "[old]", 0, 0, 1 },
        { "Enter moves on with ReturnIsTab", "", "", "ab|",
            [](TEditHostModel& f) {
                f.edit.setReturnIsTab(true);
                f.Key(Qt::Key_Return, QStringLiteral("\r"));
            },
            "ab|", 0, 1 },
        { "a drop moves the own selection", "", "", "a[bc]d", drop("bc", 4, true), "adbc|" },
        { "a drop inside the own selection changes nothing", "", "", "a[bc]d", drop("bc", 2, true),
            "a[bc]d" },
        { "a drop takes one line", "$", "", "$a|", drop("x\ny", 1, false), "$x|a" },
        { "a drop past MaxLength is refused", "", "", "12|", drop("3", 2, false), "12|", 2 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rule);
        TEditHostModel f;
        f.setPrefix(QString::fromUtf8(c.prefix));
        f.setSuffix(QString::fromUtf8(c.suffix));
        f.setMaxLength(c.maxLength);
        f.Show(QString::fromUtf8(c.start));
        c.act(f);
        EXPECT_EQ(f.Shown().toStdString(), c.expected);
        EXPECT_EQ(f.focusMoves, c.focusMoves);
        EXPECT_EQ(f.forwarded, c.forwarded);
    }
}

} // namespace
