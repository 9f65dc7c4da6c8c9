// SPDX-License-Identifier: MIT
#include "Fakes.h"
#include "Links.h"

#include <QFontInfo>
#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

namespace {

TEST(MainWindowLinks, OpenTheirTargets)
{
    Sandbox box;
    T_mainForm& form = box.start();
    form.show();
    QTest::mouseClick(form.SiteLabel, Qt::LeftButton);
    QTest::mouseClick(form.EmailLabel, Qt::LeftButton);
    QTest::mouseClick(form.UndeleteLabel, Qt::LeftButton);
    QTest::mouseClick(form.OpenLabel, Qt::LeftButton); // greyed out, no action
    EXPECT_EQ(box.shell.opened,
        (QStringList { Links::Site, QStringLiteral("mailto:") + Links::Email, Links::Undelete }));
}

TEST(MainWindowLinks, UsableDuringAPass)
{
    Sandbox box;
    T_mainForm& form = box.start();
    form.show();
    box.choose(box.files.write(QStringLiteral("a.doc"), "ab"));
    box.waiter.onStep = [&](int step) {
        if (step == 5)
            QTest::mouseClick(form.SiteLabel, Qt::LeftButton);
        if (step == 6)
            QTest::mouseClick(form.BrowseLabel, Qt::LeftButton); // disabled while busy
    };
    form.StartBitBtnClick();
    EXPECT_EQ(box.shell.opened, QStringList { Links::Site });
}

// Darkness of a grabbed label against its background, and its longest dark row in window pixels.
std::pair<qint64, double> InkAndLongestRow(QWidget& label)
{
    const QImage image = label.grab().toImage();
    const int background = qGray(image.pixel(0, 0));
    qint64 ink = 0;
    int longest = 0;
    for (int y = 0; y < image.height(); ++y) {
        int row = 0;
        for (int x = 0; x < image.width(); ++x) {
            const int gray = qGray(image.pixel(x, y));
            ink += std::max(0, background - gray);
            row += gray < background / 2 ? 1 : 0;
        }
        longest = std::max(longest, row);
    }
    return { ink, longest / image.devicePixelRatio() };
}

// The emboldened regular face must stay visibly bold, and underlined, at the screen's density.
TEST(MainWindowLinks, AreBoldAndUnderlined)
{
    Sandbox box;
    T_mainForm& form = box.start();
    form.show();
    for (QWidget* link : std::initializer_list<QWidget*> { form.EmailLabel, form.UndeleteLabel }) {
        SCOPED_TRACE(link->objectName().toStdString());
        const auto [bold, boldRow] = InkAndLongestRow(*link);
        QFont regular = link->font();
        regular.setBold(false);
        regular.setStyleName(QString());
        link->setFont(regular);
        const auto [plain, plainRow] = InkAndLongestRow(*link);
        EXPECT_GE(double(bold), 1.3 * double(plain)); // the underline is alike in both
        EXPECT_GE(boldRow, 0.8 * link->fontMetrics().horizontalAdvance(static_cast<QLabel*>(link)->text()))
            << "underline";
    }
}

TEST(ManualForm, CaptionTextAndSize)
{
    Sandbox box;
    T_mainForm& main = box.start();
    T_manualForm dialog(&main);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("No data to recover detected, BUT "));
    EXPECT_EQ(dialog.size(), QSize(412, 83));
    // The label sizes its height to the text: four lines of Tahoma 11 fill the designed 58 pixels.
    const THTMLabel& label = *dialog.ManualHTMLabel;
    EXPECT_EQ(label.pos(), QPoint(11, 12));
    EXPECT_EQ(label.width(), 390);
    EXPECT_EQ(label.height(), label.GetSizeWithMaxWidth(390).height() + 6);
    if (QFontInfo(label.font()).family() == QStringLiteral("Tahoma")) {
        EXPECT_EQ(label.height(), 58);
        EXPECT_EQ(main.ManualHTMLabel->height(), 32);
    }
    EXPECT_LE(label.geometry().bottom(), 82) << "the text runs out of the dialog";
    EXPECT_TRUE(label.Text().startsWith(
        QStringLiteral("you can send us your file for the manual repair of the file.")));
    EXPECT_TRUE(label.Text().endsWith(Links::Email));
    EXPECT_TRUE(main.ManualHTMLabel->Text().startsWith(QStringLiteral("You can send us your file")));
    EXPECT_EQ(label.HTMLText(), QStringList { Links::ManualRepairMarkup(QLatin1Char('y')) });
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowContextHelpButtonHint);
}

// A point on the e-mail address: the label's own hit test finds it.
QPoint AddressPoint(THTMLabel& label)
{
    for (int y = label.height() - 4; y > 0; --y)
        for (int x = 2; x < label.width(); x += 2)
            if (!label.AnchorAt(x, y).isEmpty())
                return QPoint(x, y);
    return QPoint(-1, -1);
}

// A pointer move delivered to the label's window. QTest's widget move places the cursor instead,
// which reaches no window where the window reaches past the screen (at twice the density).
void MovePointer(QWidget& widget, QPoint pos)
{
    QWidget* window = widget.window();
    QTest::mouseMove(window->windowHandle(), widget.mapTo(window, pos));
}

TEST(ManualForm, AClickOnTheAddressOpensTheMailProgram)
{
    Sandbox box;
    T_mainForm& main = box.start();
    T_manualForm dialog(&main);
    for (THTMLabel* label : { dialog.ManualHTMLabel, main.ManualHTMLabel }) {
        label->window()->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(label->window()));
        const QPoint address = AddressPoint(*label);
        ASSERT_GE(address.x(), 0) << "no anchor anywhere on the label";
        // A move to where the pointer already is would be dropped, so come from elsewhere.
        MovePointer(*label, QPoint(1, 1));
        MovePointer(*label, address);
        EXPECT_EQ(label->cursor().shape(), Qt::PointingHandCursor)
            << label->window()->objectName().toStdString();
        box.shell.opened.clear();
        QTest::mouseClick(label, Qt::LeftButton, {}, address);
        EXPECT_EQ(box.shell.opened, QStringList { QStringLiteral("mailto:") + Links::Email });
        // Plain text opens nothing.
        MovePointer(*label, QPoint(3, 3));
        EXPECT_NE(label->cursor().shape(), Qt::PointingHandCursor);
        QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(3, 3));
        EXPECT_EQ(box.shell.opened.size(), 1);
    }
}

TEST(ManualForm, MarkupForTheHtmlLabel)
{
    EXPECT_EQ(Links::ManualRepairMarkup(QLatin1Char('y')).right(98),
        QStringLiteral("email <A href=\"mailto:support@quillon.example\"><U><FONT color=\"#000000\"><B>"
                       "support@quillon.example</B></FONT></U></A>")
            .right(98));
    EXPECT_TRUE(Links::ManualRepairMarkup(QLatin1Char('Y')).startsWith(QStringLiteral("You can send us")));
}

} // namespace
