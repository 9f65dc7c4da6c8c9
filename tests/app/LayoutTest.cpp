// SPDX-License-Identifier: MIT
// The main window against its layout table, control by control. The same binary also runs at a
// device pixel ratio of 2 (see CMakeLists.txt): positions stay in layout pixels, pictures come from
// the 2x files.
#include "Fakes.h"
#include "Image.h"
#include "Label.h"
#include "Links.h"
#include "PropertyNotify.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTest>
#include <QtEndian>
#include <cstring>
#include <gtest/gtest.h>

namespace {

enum Style { Regular = 0, Bold = 1, Italic = 2, Underline = 4 };

struct Row {
    const char* name;
    const char* kind; // class of the widget
    QRect rect; // labels and static texts: the width is their text's
    QString text; // null: not checked
    int pixels; // font height
    int style;
    TColor color; // text colour
    bool enabled; // at start-up
    const char* hint;
    int tabOrder; // -1: none; from 18 on, the stops after the designed ones
    const char* picture; // resource of the 1x picture
};

const QString kNone;

// clang-format off
const Row kRows[] = {
    { "ChangeSpeedButton", "QToolButton", { 762, 110, 23, 22 }, "...", 11, Regular, clWindowText, true, "", 18, nullptr },
    { "ChangeLabel", "ClickLabel", { 581, 138, 35, 11 }, "change", 9, Bold | Underline, clBlack, false, "", 19, nullptr },
    { "SiteLabel", "ClickLabel", { 625, 28, 160, 13 }, Links::Site, 11, Bold | Underline, clBlack, true, "", -1, nullptr },
    { "EmailLabel", "ClickLabel", { 646, 41, 129, 13 }, Links::Email, 11, Bold | Underline, clBlack, true, "", -1, nullptr },
    { "LogoImage", "TImage", { 11, 21, 250, 45 }, kNone, 11, Regular, clWindowText, true, "", -1, ":/forms/logo.png" },
    { "ExcelImage", "TImage", { 20, 514, 22, 22 }, kNone, 11, Regular, clWindowText, true, "MS Excel", -1, ":/forms/excel.png" },
    { "WordImage", "TImage", { 20, 489, 22, 22 }, kNone, 11, Regular, clWindowText, true, "MS Word", -1, ":/forms/word.png" },
    { "ArchivesImage", "TImage", { 20, 539, 22, 22 }, kNone, 11, Regular, clWindowText, true, "Zip or Rar", -1, ":/forms/archives.png" },
    { "PDFImage", "TImage", { 410, 490, 22, 22 }, kNone, 11, Regular, clWindowText, true, "PDF docs", -1, ":/forms/pdf.png" },
    { "AccessImage", "TImage", { 410, 514, 22, 22 }, kNone, 11, Regular, clWindowText, true, "MS Access", -1, ":/forms/access.png" },
    { "ImagesImage", "TImage", { 20, 589, 22, 22 }, kNone, 11, Regular, clWindowText, true, "Images", -1, ":/forms/images.png" },
    { "MusicImage", "TImage", { 410, 564, 22, 22 }, kNone, 11, Regular, clWindowText, true, "MP3 or WAV", -1, ":/forms/music.png" },
    { "PowerpointImage", "TImage", { 410, 539, 22, 22 }, kNone, 11, Regular, clWindowText, true, "MS Powerpoint", -1, ":/forms/powerpoint.png" },
    { "VideoImage", "TImage", { 20, 564, 22, 22 }, kNone, 11, Regular, clWindowText, true, "Videos", -1, ":/forms/video.png" },
    { "ManualHTMLabel", "THTMLabel", { 10, 427, 775, 32 }, kNone, 11, Regular, clWindowText, true, "", -1, nullptr },
    { "OpenLabel", "ClickLabel", { 622, 138, 24, 11 }, "open", 9, Bold | Underline, clBlack, false, "", -1, nullptr },
    { "BrowseLabel", "ClickLabel", { 652, 138, 36, 11 }, "browse", 9, Bold | Underline, clBlack, false, "", 20, nullptr },
    { "UndeleteLabel", "ClickLabel", { 555, 54, 230, 13 }, "Recover deleted files in Windows for free", 11, Bold | Underline, clRed, true, "", -1, nullptr },
    { "SourceStaticText", "TStaticText", { 11, 94, 179, 17 }, "Select the source file to be repaired:", 11, Regular, clWindowText, true, "", 0, nullptr },
    { "LogStaticText", "TStaticText", { 13, 186, 62, 17 }, "Process log:", 11, Regular, clWindowText, true, "", 1, nullptr },
    { "LogMemo", "QPlainTextEdit", { 11, 204, 774, 214 }, "Ready", 11, Regular, clWindowText, true, "", 2, nullptr },
    { "StartBitBtn", "QPushButton", { 704, 138, 81, 38 }, "Start Repair", 11, Regular, clWindowText, true, "", 3, nullptr },
    { "OutputStaticText", "TStaticText", { 11, 140, 85, 15 }, "Output fixed file as:", 9, Regular, clWindowText, true, "", 4, nullptr },
    { "OutputFileStaticText", "TStaticText", { 102, 140, 261, 15 }, kNone, 9, Italic, clWindowText, true, "", 5, nullptr },
    { "AdvProgress", "TAdvProgress", { 11, 155, 680, 17 }, kNone, 11, Regular, clWindowText, true, "", 6, nullptr },
    { "ModulesStaticText", "TStaticText", { 13, 471, 85, 17 }, "Modules loaded: ", 11, Italic, clWindowText, true, "", 7, nullptr },
    { "WordStaticText", "TStaticText", { 45, 494, 298, 17 }, "- repair corrupted Word documents (.doc, .docx, .docm, .rtf)", 11, Italic, clWindowText, true, "", 8, nullptr },
    { "ExcelStaticText", "TStaticText", { 45, 519, 268, 17 }, "- repair corrupted Excel spreadsheets (.xls, .xla, .xlsx)", 11, Italic, clWindowText, true, "", 9, nullptr },
    { "ArchivesStaticText", "TStaticText", { 45, 544, 293, 17 }, "- extract files from corrupted Zip or RAR archives (.zip, .rar)", 11, Italic, clWindowText, true, "", 10, nullptr },
    { "VideosStaticText", "TStaticText", { 45, 569, 327, 17 }, "- repair corrupted videos (.avi, .mp4, .mov, .flv, .wmv, .asf, .mpg)", 11, Italic, clWindowText, true, "", 16, nullptr },
    { "ImagesStaticText", "TStaticText", { 45, 594, 469, 17 }, "- repair corrupted JPEG, GIF, TIFF, BMP, PNG or RAW images (.jpg, .jpeg, .gif, .tiff, .bmp, .png)", 11, Italic, clWindowText, true, "", 13, nullptr },
    { "PDFStaticText", "TStaticText", { 435, 494, 197, 17 }, "- repair corrupted PDF documents (.pdf)", 11, Italic, clWindowText, true, "", 11, nullptr },
    { "AccessStaticText", "TStaticText", { 435, 519, 322, 17 }, "- repair corrupted Access databases (.mdb, .mde, .accdb, .accde)", 11, Italic, clWindowText, true, "", 12, nullptr },
    { "PowerpointStaticText", "TStaticText", { 435, 544, 307, 17 }, "- repair corrupted PowerPoint presentations (.ppt, .pps, .pptx)", 11, Italic, clWindowText, true, "", 15, nullptr },
    { "MusicStaticText", "TStaticText", { 435, 569, 184, 17 }, "- repair corrupted music (.mp3, .wav)", 11, Italic, clWindowText, true, "", 14, nullptr },
    { "FileAdvEdit", "TAdvEdit", { 10, 111, 746, 21 }, kNone, 11, Regular, clWindowText, true, "", 17, nullptr },
};
// clang-format on

QString TextOf(QWidget* w)
{
    if (auto* label = qobject_cast<QLabel*>(w))
        return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(w))
        return button->text();
    if (auto* memo = qobject_cast<QPlainTextEdit*>(w))
        return memo->toPlainText();
    return {};
}

// A picture file as stored: PNG, 8 bits per channel, RGBA, not interlaced; its size.
QSize CheckedPngSize(const QString& resource)
{
    QFile file(resource);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray head = file.read(33);
    EXPECT_TRUE(head.startsWith("\x89PNG\r\n\x1a\n")) << resource.toStdString();
    EXPECT_EQ(head.mid(12, 4), QByteArray("IHDR"));
    EXPECT_EQ(int(head[24]), 8) << "bits per channel";
    EXPECT_EQ(int(head[25]), 6) << "colour type RGBA";
    EXPECT_EQ(int(head[28]), 0) << "interlace";
    return QSize(
        qFromBigEndian<quint32>(head.constData() + 16), qFromBigEndian<quint32>(head.constData() + 20));
}

QString TwiceFile(const QString& resource)
{
    return QString(resource).replace(QStringLiteral(".png"), QStringLiteral("@2x.png"));
}

TEST(MainWindowLayout, EveryControlAsTheTableSays)
{
    Sandbox box;
    T_mainForm& form = box.start();
    form.show();
    const qreal ratio = form.devicePixelRatioF();
    EXPECT_EQ(form.size(), QSize(800, 626));
    EXPECT_EQ(form.MainAdvPanel->geometry(), QRect(0, 0, 800, 626));
    // Positions are layout pixels; the screen gets them scaled.
    EXPECT_EQ(form.grab().size(), QSize(800, 626) * ratio);

    std::vector<std::pair<int, QWidget*>> tabStops;
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.name);
        auto* w = form.findChild<QWidget*>(QLatin1String(row.name));
        ASSERT_NE(w, nullptr);
        EXPECT_STREQ(w->metaObject()->className(), row.kind);
        EXPECT_EQ(w->parentWidget(), form.MainAdvPanel);
        EXPECT_EQ(w->pos(), row.rect.topLeft());
        if (auto* label = qobject_cast<TLabel*>(w)) {
            // Labels size themselves to the text they show: all of it, and not much more.
            const int needed = QFontMetrics(w->font()).horizontalAdvance(label->text());
            EXPECT_GE(w->width(), needed);
            EXPECT_LE(w->width(), needed + 2);
            EXPECT_EQ(w->height(), row.rect.height());
        } else {
            EXPECT_EQ(w->size(), row.rect.size());
        }
        EXPECT_LE(w->geometry().right(), 799) << "leaves the window";
        if (!row.text.isNull()) {
            EXPECT_EQ(TextOf(w), row.text);
        }

        const QFont f = w->font();
        EXPECT_EQ(f.family(), QStringLiteral("Tahoma"));
        EXPECT_EQ(f.pixelSize(), row.pixels);
        EXPECT_EQ(f.bold(), bool(row.style & Bold));
        EXPECT_EQ(f.italic(), bool(row.style & Italic));
        EXPECT_EQ(f.underline(), bool(row.style & Underline));
        const QPalette palette = w->palette();
        EXPECT_EQ(palette.color(QPalette::Active, QPalette::WindowText), ColorToQColor(row.color, &palette));

        EXPECT_EQ(w->isEnabled(), row.enabled);
        if (!row.enabled) { // greyed whatever its colour
            EXPECT_NE(palette.color(QPalette::Disabled, QPalette::WindowText),
                palette.color(QPalette::Active, QPalette::WindowText));
        }
        if (std::strcmp(row.kind, "ClickLabel") == 0) {
            EXPECT_EQ(w->cursor().shape(), Qt::PointingHandCursor);
        }
        EXPECT_EQ(w->toolTip(), QString::fromUtf8(row.hint));
        const bool takesFocus = (w->focusPolicy() & Qt::TabFocus) != 0;
        if (takesFocus && w->isEnabled())
            tabStops.emplace_back(row.tabOrder, w);

        if (row.picture) {
            const QString file = QString::fromLatin1(row.picture);
            EXPECT_EQ(CheckedPngSize(file), row.rect.size());
            EXPECT_EQ(CheckedPngSize(TwiceFile(file)), row.rect.size() * 2);
            const QPixmap shown = static_cast<TImage*>(w)->pixmap();
            const QString expected = ratio > 1 ? TwiceFile(file) : file;
            EXPECT_EQ(shown.devicePixelRatio(), ratio > 1 ? 2.0 : 1.0);
            EXPECT_EQ(shown.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
                QImage(expected).convertToFormat(QImage::Format_ARGB32_Premultiplied))
                << "not " << expected.toStdString();
        }
    }
    EXPECT_EQ(form.ChangeSpeedButton->focusPolicy(), Qt::TabFocus); // a click leaves the focus where it was
    EXPECT_TRUE(form.LogMemo->isReadOnly());
    EXPECT_EQ(form.LogMemo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_TRUE(form.FileAdvEdit->isReadOnly());
    EXPECT_EQ(form.AdvProgress->maximum(), 100);
    EXPECT_FALSE(form.windowFlags() & (Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint));

    // Tab walks the enabled controls that take the focus in the table's order, and round again.
    std::sort(tabStops.begin(), tabStops.end());
    ASSERT_EQ(tabStops.size(), 4U);
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    EXPECT_EQ(QApplication::focusWidget(), tabStops.front().second) << "first focus";
    for (size_t i = 1; i <= tabStops.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), tabStops[i % tabStops.size()].second) << "after Tab " << i;
    }
}

// A preview wider than its row keeps clear of the links beside it; the path itself stays whole.
TEST(MainWindowLayout, WidePreviewStopsBeforeTheLinks)
{
    Sandbox box;
    T_mainForm& form = box.start();
    const QString source = box.files.write(QString(40, QLatin1Char('W')) + QStringLiteral(".doc"), "ab");
    box.choose(source);
    TLabel& preview = *form.OutputFileStaticText;
    EXPECT_TRUE(preview.text().endsWith(QStringLiteral(".doc")));
    EXPECT_GT(QFontMetrics(preview.font()).horizontalAdvance(preview.text()), preview.width()) << "too wide";
    EXPECT_LT(preview.geometry().right(), form.ChangeLabel->x());
}

// The preview of a long output path shows whole, within the window, whatever the path.
TEST(MainWindowLayout, OutputPreviewFitsItsText)
{
    Sandbox box;
    T_mainForm& form = box.start();
    const QString deep = QStringLiteral("Quarterly reports/2011/final versions/for the board/");
    QDir().mkpath(box.files.file(deep));
    for (const QString& name :
        { QStringLiteral("a.doc"), QStringLiteral("Quarterly report final version.docx") }) {
        SCOPED_TRACE(name.toStdString());
        box.choose(box.files.write(deep + name, "ab"));
        TLabel& preview = *form.OutputFileStaticText;
        EXPECT_TRUE(preview.text().endsWith(QStringLiteral(".doc"))
            || preview.text().endsWith(QStringLiteral(".docx")));
        EXPECT_GE(preview.width(), QFontMetrics(preview.font()).horizontalAdvance(preview.text()));
        EXPECT_LE(preview.geometry().right(), 799);
    }
}

} // namespace

TEST(MainWindowLayout, ThePictureOfAnImageNotifiesItsChange)
{
    TImage image;
    ExpectNotifiesOnChangeOnly(image, "Picture", QStringLiteral(":/forms/word.png"));
    EXPECT_EQ(PropertiesWithoutNotify(image), QStringList());
}
