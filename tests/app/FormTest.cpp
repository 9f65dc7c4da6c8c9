// SPDX-License-Identifier: MIT
#include "Fakes.h"
#include "Links.h"

#include <QFontInfo>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct Placement {
    const char* name;
    QRect rect;
    const char* text; // nullptr: not checked
};

// Positions may grow in width only (labels fit their text); left, top and height are as designed.
const Placement kPlacements[] = {
    { "ChangeSpeedButton", { 762, 110, 23, 22 }, "..." },
    { "ChangeLabel", { 581, 138, 35, 11 }, "change" },
    { "SiteLabel", { 625, 28, 160, 13 }, nullptr },
    { "EmailLabel", { 646, 41, 129, 13 }, nullptr },
    { "LogoImage", { 11, 21, 250, 45 }, nullptr },
    { "ExcelImage", { 20, 514, 22, 22 }, nullptr },
    { "WordImage", { 20, 489, 22, 22 }, nullptr },
    { "ArchivesImage", { 20, 539, 22, 22 }, nullptr },
    { "PDFImage", { 410, 490, 22, 22 }, nullptr },
    { "AccessImage", { 410, 514, 22, 22 }, nullptr },
    { "ImagesImage", { 20, 589, 22, 22 }, nullptr },
    { "MusicImage", { 410, 564, 22, 22 }, nullptr },
    { "PowerpointImage", { 410, 539, 22, 22 }, nullptr },
    { "VideoImage", { 20, 564, 22, 22 }, nullptr },
    { "ManualHTMLabel", { 10, 427, 775, 32 }, nullptr },
    { "OpenLabel", { 622, 138, 24, 11 }, "open" },
    { "BrowseLabel", { 652, 138, 36, 11 }, "browse" },
    { "UndeleteLabel", { 555, 54, 230, 13 }, "Recover deleted files in Windows for free" },
    { "SourceStaticText", { 11, 94, 179, 17 }, "Select the source file to be repaired:" },
    { "LogStaticText", { 13, 186, 62, 17 }, "Process log:" },
    { "LogMemo", { 11, 204, 774, 214 }, nullptr },
    { "StartBitBtn", { 704, 138, 81, 38 }, "Start Repair" },
    { "OutputStaticText", { 11, 140, 85, 15 }, "Output fixed file as:" },
    { "OutputFileStaticText", { 102, 140, 261, 15 }, nullptr },
    { "AdvProgress", { 11, 155, 680, 17 }, nullptr },
    { "ModulesStaticText", { 13, 471, 85, 17 }, "Modules loaded: " },
    { "WordStaticText", { 45, 494, 298, 17 },
        "- repair corrupted Word documents (.doc, .docx, .docm, .rtf)" },
    { "ExcelStaticText", { 45, 519, 268, 17 }, "- repair corrupted Excel spreadsheets (.xls, .xla, .xlsx)" },
    { "ArchivesStaticText", { 45, 544, 293, 17 },
        "- extract files from corrupted Zip or RAR archives (.zip, .rar)" },
    { "VideosStaticText", { 45, 569, 327, 17 },
        "- repair corrupted videos (.avi, .mp4, .mov, .flv, .wmv, .asf, .mpg)" },
    { "ImagesStaticText", { 45, 594, 469, 17 },
        "- repair corrupted JPEG, GIF, TIFF, BMP, PNG or RAW images (.jpg, .jpeg, .gif, .tiff, .bmp, .png)" },
    { "PDFStaticText", { 435, 494, 197, 17 }, "- repair corrupted PDF documents (.pdf)" },
    { "AccessStaticText", { 435, 519, 322, 17 },
        "- repair corrupted Access databases (.mdb, .mde, .accdb, .accde)" },
    { "PowerpointStaticText", { 435, 544, 307, 17 },
        "- repair corrupted PowerPoint presentations (.ppt, .pps, .pptx)" },
    { "MusicStaticText", { 435, 569, 184, 17 }, "- repair corrupted music (.mp3, .wav)" },
    { "FileAdvEdit", { 10, 111, 746, 21 }, nullptr },
};

QString TextOf(QWidget* w)
{
    if (auto* l = qobject_cast<QLabel*>(w))
        return l->text();
    if (auto* b = qobject_cast<QAbstractButton*>(w))
        return b->text();
    return {};
}

TEST(MainWindowLayout, EveryControlAtItsPlaceWithItsText)
{
    Sandbox box;
    T_mainForm& form = box.start();
    EXPECT_EQ(form.size(), QSize(800, 626));
    EXPECT_EQ(form.MainAdvPanel->geometry(), QRect(0, 0, 800, 626));
    for (const Placement& p : kPlacements) {
        auto* w = form.findChild<QWidget*>(QLatin1String(p.name));
        ASSERT_NE(w, nullptr) << p.name;
        EXPECT_EQ(w->parentWidget(), form.MainAdvPanel) << p.name;
        EXPECT_EQ(w->pos(), p.rect.topLeft()) << p.name;
        EXPECT_EQ(w->height(), p.rect.height()) << p.name;
        EXPECT_GE(w->width(), p.rect.width()) << p.name;
        EXPECT_LE(w->geometry().right(), 799) << p.name << " leaves the window";
        if (p.text) {
            EXPECT_EQ(TextOf(w), QString::fromUtf8(p.text)) << p.name;
        }
    }
    EXPECT_EQ(form.SiteLabel->text(), Links::Site);
    EXPECT_EQ(form.EmailLabel->text(), Links::Email);
    EXPECT_EQ(form.ChangeSpeedButton->focusPolicy(), Qt::NoFocus);
    EXPECT_TRUE(form.LogMemo->isReadOnly());
    EXPECT_EQ(form.LogMemo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_TRUE(form.FileAdvEdit->isReadOnly());
    EXPECT_EQ(form.AdvProgress->minimum(), 0);
    EXPECT_EQ(form.AdvProgress->maximum(), 100);
    EXPECT_FALSE(form.isWindowType() && (form.windowFlags() & Qt::WindowMaximizeButtonHint));
    EXPECT_FALSE(form.windowFlags() & Qt::WindowMinimizeButtonHint);
}

struct FontCase {
    const char* name;
    int pixels;
    bool bold, italic, underline;
};

TEST(MainWindowLayout, Fonts)
{
    const FontCase cases[] = {
        { "ChangeLabel", 9, true, false, true },
        { "OpenLabel", 9, true, false, true },
        { "BrowseLabel", 9, true, false, true },
        { "SiteLabel", 11, true, false, true },
        { "UndeleteLabel", 11, true, false, true },
        { "SourceStaticText", 11, false, false, false },
        { "OutputStaticText", 9, false, false, false },
        { "OutputFileStaticText", 9, false, true, false },
        { "ModulesStaticText", 11, false, true, false },
        { "MusicStaticText", 11, false, true, false },
        { "LogMemo", 11, false, false, false },
        { "StartBitBtn", 11, false, false, false },
    };
    Sandbox box;
    T_mainForm& form = box.start();
    for (const FontCase& c : cases) {
        const QFont f = form.findChild<QWidget*>(QLatin1String(c.name))->font();
        EXPECT_EQ(f.family(), QStringLiteral("Tahoma")) << c.name;
        EXPECT_EQ(f.pixelSize(), c.pixels) << c.name;
        EXPECT_EQ(f.bold(), c.bold) << c.name;
        EXPECT_EQ(f.italic(), c.italic) << c.name;
        EXPECT_EQ(f.underline(), c.underline) << c.name;
    }
    EXPECT_EQ(form.UndeleteLabel->palette().color(QPalette::WindowText), QColor(Qt::red));
    EXPECT_EQ(form.ChangeLabel->cursor().shape(), Qt::PointingHandCursor);
    // Disabled links are greyed whatever their colour.
    for (QWidget* link : { static_cast<QWidget*>(form.OpenLabel), static_cast<QWidget*>(form.BrowseLabel),
             static_cast<QWidget*>(form.ChangeLabel) }) {
        EXPECT_NE(link->palette().color(QPalette::Disabled, QPalette::WindowText),
            link->palette().color(QPalette::Active, QPalette::WindowText));
    }
}

TEST(MainWindowLayout, HintsOnTheNineIconsOnly)
{
    Sandbox box;
    T_mainForm& form = box.start();
    const QStringList expected { "MS Excel", "MS Word", "Zip or Rar", "PDF docs", "MS Access", "Images",
        "MP3 or WAV", "MS Powerpoint", "Videos" };
    QStringList hints;
    for (QWidget* w : form.findChildren<QWidget*>()) {
        if (!w->toolTip().isEmpty())
            hints << w->toolTip();
    }
    EXPECT_EQ(hints, expected);
}

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
        QTest::mouseMove(label, QPoint(1, 1));
        QTest::mouseMove(label, address);
        EXPECT_EQ(label->cursor().shape(), Qt::PointingHandCursor)
            << label->window()->objectName().toStdString();
        box.shell.opened.clear();
        QTest::mouseClick(label, Qt::LeftButton, {}, address);
        EXPECT_EQ(box.shell.opened, QStringList { QStringLiteral("mailto:") + Links::Email });
        // Plain text opens nothing.
        QTest::mouseMove(label, QPoint(3, 3));
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
