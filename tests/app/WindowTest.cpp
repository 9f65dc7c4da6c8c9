// SPDX-License-Identifier: MIT
// The main window as a user meets it: keyboard, caption, placement, assistive technology.
#include "Fakes.h"
#include "Links.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAccessibleValueInterface>
#include <QTest>
#include <gtest/gtest.h>

namespace {

void ShowActive(QWidget& window)
{
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}

TEST(MainWindowKeyboard, EnterAndKeypadEnterPressTheFocusedStartButton)
{
    const std::pair<Qt::Key, Qt::KeyboardModifiers> keys[]
        = { { Qt::Key_Return, Qt::NoModifier }, { Qt::Key_Enter, Qt::KeypadModifier } };
    for (const auto& [key, modifiers] : keys) {
        SCOPED_TRACE(key);
        Sandbox box;
        T_mainForm& form = box.start();
        ShowActive(form);
        form.StartBitBtn->setFocus();
        // The source is a folder, so the press opens the chooser (cancelled) and logs "No File".
        QTest::keyClick(form.StartBitBtn, key, modifiers);
        EXPECT_EQ(box.dialogs.initialDirs.size(), 1);
        EXPECT_EQ(box.log(), QStringList { QStringLiteral("No File") });
    }
}

TEST(MainWindowKeyboard, TheLogShowsThatItHasTheFocus)
{
    Sandbox box;
    T_mainForm& form = box.start();
    ShowActive(form);
    form.StartBitBtn->setFocus();
    const QImage without = form.LogMemo->grab().toImage();
    form.LogMemo->setFocus();
    ASSERT_TRUE(form.LogMemo->hasFocus());
    EXPECT_NE(form.LogMemo->grab().toImage(), without) << "nothing shows the focus";
    EXPECT_TRUE(form.LogMemo->isReadOnly());
}

// A desktop may hold a new window back from activation (focus-stealing prevention) or never activate
// it (no window manager): the caption must not wait for the activation.
TEST(MainWindowCaption, ReadsNameAndVersionBeforeAnyActivation)
{
    struct TitleAtActivation : QObject {
        QStringList titles;
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            if (event->type() == QEvent::WindowActivate)
                titles << static_cast<QWidget*>(watched)->windowTitle();
            return false;
        }
    } spy;
    Sandbox box;
    T_mainForm& form = box.start();
    form.installEventFilter(&spy);
    form.setAttribute(Qt::WA_ShowWithoutActivating);
    form.show();
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Quillon  2.1 Build 2"));
    ShowActive(form);
    ASSERT_FALSE(spy.titles.isEmpty());
    EXPECT_EQ(spy.titles.front(), QStringLiteral("Quillon  2.1 Build 2")) << "set only by the activation";
}

TEST(MainWindowPlacement, OfferDialogCentredOnTheMainWindow)
{
    Sandbox box;
    T_mainForm& form = box.start();
    form.show();
    T_manualForm dialog(&form);
    for (const QPoint at : { QPoint(0, 0), QPoint(37, 11) }) {
        form.move(at);
        dialog.show();
        EXPECT_LE((dialog.frameGeometry().center() - form.frameGeometry().center()).manhattanLength(), 1);
        dialog.hide();
    }
}

QAccessibleInterface* Accessible(QWidget* w)
{
    return QAccessible::queryAccessibleInterface(w);
}

TEST(MainWindowAccessibility, LinksIconsAndProgress)
{
    Sandbox box;
    T_mainForm& form = box.start();
    form.show();

    // The link labels are links whose press action opens their target; a greyed one does nothing.
    for (ClickLabel* link : { form.SiteLabel, form.EmailLabel, form.UndeleteLabel, form.OpenLabel }) {
        SCOPED_TRACE(link->objectName().toStdString());
        QAccessibleInterface* a = Accessible(link);
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->role(), QAccessible::Link);
        EXPECT_EQ(a->text(QAccessible::Name), link->text());
        ASSERT_NE(a->actionInterface(), nullptr);
        EXPECT_TRUE(a->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
        a->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    }
    EXPECT_EQ(box.shell.opened,
        (QStringList { Links::Site, QStringLiteral("mailto:") + Links::Email, Links::Undelete }));

    // The family icons are pictures described by their hints.
    for (QLabel* icon : { static_cast<QLabel*>(form.WordImage), static_cast<QLabel*>(form.MusicImage) }) {
        QAccessibleInterface* a = Accessible(icon);
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->role(), QAccessible::Graphic);
        EXPECT_EQ(a->text(QAccessible::Description), icon->toolTip());
    }

    // The manual-repair text reads as static text whose address is a link that opens the mail program.
    QAccessibleInterface* text = Accessible(form.ManualHTMLabel);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->role(), QAccessible::StaticText);
    EXPECT_TRUE(text->text(QAccessible::Name).startsWith(QStringLiteral("You can send us your file")));
    ASSERT_EQ(text->childCount(), 1);
    QAccessibleInterface* address = text->child(0);
    EXPECT_EQ(address->role(), QAccessible::Link);
    EXPECT_EQ(address->text(QAccessible::Name), Links::Email);
    box.shell.opened.clear();
    address->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(box.shell.opened, QStringList { QStringLiteral("mailto:") + Links::Email });

    QAccessibleInterface* bar = Accessible(form.AdvProgress);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->role(), QAccessible::ProgressBar);
    ASSERT_NE(bar->valueInterface(), nullptr);
    form.AdvProgress->setValue(42);
    EXPECT_EQ(bar->valueInterface()->currentValue().toInt(), 42);
    EXPECT_EQ(bar->valueInterface()->maximumValue().toInt(), 100);
}

} // namespace
