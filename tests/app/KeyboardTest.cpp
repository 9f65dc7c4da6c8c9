// SPDX-License-Identifier: MIT
// The main window without a mouse: Tab reaches every control that acts, and Space or Enter acts.
#include "Fakes.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <map>

namespace {

class Keyboard : public ::testing::Test {
protected:
    void SetUp() override
    {
        form = &box.start();
        box.choose(box.files.write(QStringLiteral("report.doc"), "ab"));
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form));
    }

    // The focus after each of `presses` presses of `key`, starting from the first stop.
    std::vector<QWidget*> Walk(int presses, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        std::vector<QWidget*> seen;
        for (int i = 0; i < presses; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, modifiers);
            seen.push_back(QApplication::focusWidget());
        }
        return seen;
    }

    Sandbox box;
    T_mainForm* form = nullptr;
};

TEST_F(Keyboard, TabCycleKeepsTheDesignedStopsThenTheLinksInReadingOrder)
{
    const std::vector<QWidget*> cycle { form->StartBitBtn, form->FileAdvEdit, form->ChangeSpeedButton,
        form->ChangeLabel, form->BrowseLabel, form->LogMemo };
    ASSERT_EQ(QApplication::focusWidget(), form->LogMemo) << "first focus";
    EXPECT_EQ(Walk(int(cycle.size())), cycle);
    // And back: Shift+Tab walks the same ring the other way.
    const std::vector<QWidget*> back { form->BrowseLabel, form->ChangeLabel, form->ChangeSpeedButton,
        form->FileAdvEdit, form->StartBitBtn, form->LogMemo };
    EXPECT_EQ(Walk(int(back.size()), Qt::ShiftModifier), back);
}

TEST_F(Keyboard, DisabledLinksAreLeftOut)
{
    // The busy state disables "change" and "browse"; "open" is never a stop.
    form->set_controls_state(QStringLiteral("Stop"), false);
    form->FileAdvEdit->setEnabled(true);
    const std::vector<QWidget*> cycle { form->StartBitBtn, form->FileAdvEdit, form->LogMemo };
    EXPECT_EQ(Walk(int(cycle.size())), cycle);
    EXPECT_FALSE(form->OpenLabel->isEnabled());
    EXPECT_EQ(form->OpenLabel->focusPolicy(), Qt::NoFocus);
}

TEST_F(Keyboard, SpaceAndEnterPressAsAClick)
{
    const std::pair<QWidget*, const char*> stops[] = {
        { form->ChangeSpeedButton, SIGNAL(clicked()) },
        { form->ChangeLabel, SIGNAL(clicked()) },
        { form->BrowseLabel, SIGNAL(clicked()) },
    };
    // Each press runs the control's click handler once; keep them from opening real windows.
    QObject::disconnect(form->ChangeLabel, nullptr, form, nullptr);
    QObject::disconnect(form->BrowseLabel, nullptr, form, nullptr);
    for (const auto& [widget, signal] : stops) {
        for (const Qt::Key key : { Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter }) {
            SCOPED_TRACE(widget->objectName().toStdString() + " key " + std::to_string(key));
            widget->setFocus(Qt::TabFocusReason);
            QSignalSpy clicks(widget, signal);
            QTest::keyClick(widget, key);
            EXPECT_EQ(clicks.count(), 1);
        }
    }
    // "..." ran the chooser once per key, as a click does.
    EXPECT_EQ(box.dialogs.initialDirs.size(), 1 + 3);
    // A disabled link does not act on the keys.
    QSignalSpy openClicks(form->OpenLabel, SIGNAL(clicked()));
    QTest::keyClick(form->OpenLabel, Qt::Key_Space);
    EXPECT_EQ(openClicks.count(), 0);
}

// The stop that holds the focus looks different from how it looks without it. The pictures are
// taken while Tab moves the focus: styles draw the frame only for focus moved by the keyboard.
TEST_F(Keyboard, FocusFrameIsVisible)
{
    QWidget* stops[] = { form->ChangeSpeedButton, form->ChangeLabel, form->BrowseLabel };
    std::map<QWidget*, QImage> without, with;
    Walk(6); // round once, back to the log
    for (QWidget* stop : stops)
        without[stop] = stop->grab().toImage();
    for (int i = 0; i < 6; ++i) {
        QWidget* focus = Walk(1).front();
        with[focus] = focus->grab().toImage();
    }
    for (QWidget* stop : stops) {
        SCOPED_TRACE(stop->objectName().toStdString());
        ASSERT_EQ(with.count(stop), 1U) << "never reached";
        EXPECT_NE(with[stop], without[stop]);
    }
}

} // namespace
