// SPDX-License-Identifier: MIT
// The HTML label as a widget: properties, auto-sizing, painting into images, real mouse input on the
// offscreen platform, clicks and the shell open, hints, updates and text rewrites.
#include "HTMLabel.h"

#include "FixedCanvas.h"
#include "Loadable.h"
#include "PropertyNotify.h"
#include "RecordingShell.h"

#include <QApplication>
#include <QFontDatabase>
#include <QHelpEvent>
#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>
#include <gtest/gtest.h>
#include <limits>
#include <memory>
#include <optional>
#include <vector>

namespace {

const QString kAddress = QStringLiteral("support@quillon-repair.com");
const QString kMailto = QStringLiteral("mailto:support@quillon-repair.com");

QString AnchorMarkup()
{
    return QStringLiteral("<A href=\"mailto:%1\"><U><FONT color=\"#000000\"><B>%1</B></FONT></U></A>")
        .arg(kAddress);
}

// The offer dialog's text: it continues the dialog's caption, hence the lower-case start.
QString DialogText()
{
    return QStringLiteral(
               "you can send us your file for the manual repair of the file. Our repair experts will "
               "analyze the file and repair it for you. Once the file has been received, it generally "
               "takes 1-48 hours to process. You can send your corrupted file as an attachment to us "
               "via email ")
        + AnchorMarkup();
}

QFont Tahoma11()
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(11);
    return font;
}

bool IsDark(QRgb c)
{
    return qRed(c) < 80 && qGreen(c) < 80 && qBlue(c) < 80;
}

QImage Render(THTMLabel& label, QColor fill = Qt::white)
{
    QImage image(label.size(), QImage::Format_ARGB32);
    image.fill(fill);
    // Only what the label paints itself, over the fill as its parent's background.
    label.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

int CountDark(const QImage& image, const QRect& area)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += IsDark(image.pixel(x, y));
    return n;
}

QRect DarkBounds(const QImage& image)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (IsDark(image.pixel(x, y)))
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

// The client points on a 2-pixel grid that hit `target`.
std::vector<QPoint> HitPoints(THTMLabel& label, const QString& target)
{
    std::vector<QPoint> points;
    for (int y = 0; y < label.height(); y += 2)
        for (int x = 0; x < label.width(); x += 2)
            if (label.AnchorAt(x, y) == target)
                points.emplace_back(x, y);
    return points;
}

// A label in a shown window, the offer dialog's way.
struct DialogLabel {
    QWidget window;
    THTMLabel* label = nullptr;

    explicit DialogLabel(const QString& text = DialogText())
    {
        window.resize(412, 83);
        window.setFont(Tahoma11());
        label = new THTMLabel(&window);
        label->setGeometry(11, 12, 390, 58);
        label->setAutoSizing(true);
        label->setHTMLText({ text });
    }
    void Show()
    {
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
};

// Records the shell opens instead of starting a mail program.
class ShellOpenFake : public ::testing::Test {
protected:
    RecordingShell shell;
    QStringList& opened = shell.opened;
};

TEST(HTMLabel, DefaultsAndPublishedProperties)
{
    THTMLabel label;
    EXPECT_EQ(label.width(), 120);
    struct Expected {
        const char* name;
        QVariant value;
    };
    const Expected expected[] = {
        { "AutoSizing", false },
        { "AutoSizeType", QVariant::fromValue(THTMLabel::asVertical) },
        { "URLColor", uint(0xFF0000) },
        { "ShadowColor", uint(0x808080) },
        { "ShadowOffset", 2 },
        { "BevelWidth", 1 },
        { "BevelInner", QVariant::fromValue(THTMLabel::bvNone) },
        { "BevelOuter", QVariant::fromValue(THTMLabel::bvNone) },
        { "BorderStyle", QVariant::fromValue(THTMLabel::bsNone) },
        { "BorderWidth", 0 },
        { "BorderColor", uint(0) },
        { "Hover", false },
        { "HoverColor", uint(clNone) },
        { "HoverFontColor", uint(clNone) },
        { "ColorTo", uint(clNone) },
        { "LineWidth", 2 },
        { "LineSpacing", 0 },
        { "VAlignment", QVariant::fromValue(THTMLabel::tvaTop) },
        { "GradientType", QVariant::fromValue(THTMLabel::gtFullHorizontal) },
        { "Ellipsis", false },
        { "AnchorHint", false },
        { "HintShowFull", false },
        { "HTMLHint", false },
        { "Transparent", false },
        { "HTMLText", QStringList() },
        { "Version", QStringLiteral("1.8.0.2") },
    };
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.name);
        const QVariant actual = label.property(e.name);
        ASSERT_TRUE(actual.isValid());
        EXPECT_EQ(actual, e.value);
    }
    EXPECT_EQ(label.HoverHyperLink(), -1);
    EXPECT_EQ(label.CurrHoverRect(), TRect(-1, -1, -1, -1));
    EXPECT_NE(label.ImageCache(), nullptr);
    EXPECT_FALSE(label.autoFillBackground());
}

TEST(HTMLabel, VersionIgnoresWrites)
{
    THTMLabel label;
    label.setVersion(QStringLiteral("9.9.9.9"));
    EXPECT_TRUE(label.setProperty("Version", QStringLiteral("0.0.0.1")));
    EXPECT_EQ(label.Version(), QStringLiteral("1.8.0.2"));
    EXPECT_EQ(label.property("Version").toString(), QStringLiteral("1.8.0.2"));
}

TEST(HTMLabel, PropertiesTakeEnumerationNamesAsAFormDefinitionWritesThem)
{
    THTMLabel label;
    EXPECT_TRUE(label.setProperty("AutoSizeType", "asBoth"));
    EXPECT_TRUE(label.setProperty("VAlignment", "tvaBottom"));
    EXPECT_TRUE(label.setProperty("BevelOuter", "bvRaised"));
    EXPECT_TRUE(label.setProperty("GradientType", "gtCenterLine"));
    EXPECT_TRUE(label.setProperty("BorderStyle", "bsSingle"));
    EXPECT_TRUE(label.setProperty("Align", "alClient"));
    EXPECT_EQ(label.AutoSizeType(), THTMLabel::asBoth);
    EXPECT_EQ(label.VAlignment(), THTMLabel::tvaBottom);
    EXPECT_EQ(label.BevelOuter(), THTMLabel::bvRaised);
    EXPECT_EQ(label.GradientType(), THTMLabel::gtCenterLine);
    EXPECT_EQ(label.BorderStyle(), THTMLabel::bsSingle);
    EXPECT_EQ(label.Align(), THTMLabel::alClient);
    label.setBevelWidth(0);
    EXPECT_EQ(label.BevelWidth(), 1);
    label.setBorderWidth(-3);
    EXPECT_EQ(label.BorderWidth(), 0);
}

TEST(HTMLabel, HTMLTextAssignedAsAListRunsTogether)
{
    THTMLabel label;
    label.setHTMLText({ "first line", "second line" });
    EXPECT_EQ(label.HTMLText(), QStringList({ "first linesecond line" }));
    label.setHTMLText({ "a\r\nb", "c\n" });
    EXPECT_EQ(label.HTMLText(), QStringList({ "abc" }));
    label.setHTMLText({});
    EXPECT_TRUE(label.HTMLText().isEmpty());
    EXPECT_EQ(label.Text(), QString());

    // Lines put into the list as they are are shown joined by one blank.
    label.setHTMLLines({ "<b>first</b>", "second" });
    EXPECT_EQ(label.HTMLLines().Count(), 2);
    EXPECT_EQ(label.HTMLText(), QStringList({ "<b>first</b>", "second" }));
    EXPECT_EQ(label.DisplayText(), QStringLiteral("<b>first</b> second"));
    EXPECT_EQ(label.Text(), QStringLiteral("first second"));
}

TEST(HTMLabel, TextChangesEmptyThePictureCache)
{
    THTMLabel label;
    label.ImageCache()->Add(QStringLiteral("https://example.invalid/a.png"));
    ASSERT_EQ(label.ImageCache()->Count(), 1);
    label.setHTMLLines({ "x" });
    EXPECT_EQ(label.ImageCache()->Count(), 0);
    label.ImageCache()->Add(QStringLiteral("https://example.invalid/b.png"));
    label.setHTMLText({ "y" });
    EXPECT_EQ(label.ImageCache()->Count(), 0);
}

TEST(HTMLabel, ProgramLabelSizesItsHeightToTheText)
{
    // Created as the form definition creates it: values first, sizing once loading is over.
    QWidget window;
    THTMLabel* label = nullptr;
    LoadForm([&] {
        label = new THTMLabel(&window);
        label->setFont(Tahoma11());
        label->setGeometry(11, 12, 390, 58);
        label->setAutoSizing(true);
        label->setHTMLText({ DialogText() });
        EXPECT_EQ(label->height(), 58); // nothing sized while loading
    });
    const QSize text = label->GetSizeWithMaxWidth(390);
    EXPECT_GT(text.height(), 13 * 2);
    EXPECT_EQ(label->height(), text.height() + 6);
    EXPECT_EQ(label->width(), 390);
    EXPECT_EQ(label->pos(), QPoint(11, 12));
    if (QFontDatabase::families().contains(QStringLiteral("Tahoma"))) {
        // Four lines of Tahoma 11: the height the dialog was laid out for.
        EXPECT_EQ(label->height(), 58);
    }

    // Painting leaves the size alone, and a wider label needs fewer lines.
    Render(*label);
    QCoreApplication::processEvents();
    EXPECT_EQ(label->height(), text.height() + 6);
    label->resize(775, label->height());
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(label->height(), label->GetSizeWithMaxWidth(775).height() + 6);
    EXPECT_LT(label->height(), text.height() + 6);
}

TEST(HTMLabel, AutoSizeTypesAndAlignment)
{
    THTMLabel label;
    label.setFont(Tahoma11());
    label.setHTMLText({ "short text" });
    label.resize(300, 40);
    label.setAutoSizeType(THTMLabel::asHorizontal);
    label.setAutoSizing(true);
    EXPECT_EQ(label.width(), label.HTMLSize().width() + 6);
    EXPECT_EQ(label.height(), 40);
    label.setAutoSizeType(THTMLabel::asBoth);
    EXPECT_EQ(label.size(), label.HTMLSize() + QSize(6, 6));

    // Aligned left the label starts 6 wide; only a horizontal type grows it again.
    THTMLabel left;
    left.setHTMLText({ "short text" });
    left.setAlign(THTMLabel::alLeft);
    left.setAutoSizing(true);
    EXPECT_EQ(left.width(), 6);
    left.setAutoSizeType(THTMLabel::asBoth);
    EXPECT_EQ(left.width(), left.HTMLSize().width() + 6);
}

TEST(HTMLabel, AlignDocksInTheParent)
{
    QWidget parent;
    parent.resize(300, 200);
    auto* label = new THTMLabel(&parent);
    label->setHTMLText({ "docked" });
    label->resize(50, 20);
    parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
    label->setAlign(THTMLabel::alBottom);
    EXPECT_EQ(label->geometry(), QRect(0, 180, 300, 20));
    parent.resize(400, 100);
    EXPECT_EQ(label->geometry(), QRect(0, 80, 400, 20));
    label->setAlign(THTMLabel::alClient);
    EXPECT_EQ(label->geometry(), QRect(0, 0, 400, 100));
    label->setAlign(THTMLabel::alNone);
    parent.resize(500, 500);
    EXPECT_EQ(label->geometry(), QRect(0, 0, 400, 100));
}

TEST(HTMLabel, AddressIsDrawnBlackBoldAndUnderlined)
{
    DialogLabel bold;
    const std::vector<QPoint> hits = HitPoints(*bold.label, kMailto);
    ASSERT_FALSE(hits.empty());
    bold.label->AnchorAt(hits.front().x(), hits.front().y());
    const QRect anchor = bold.label->AnchorAtRect().toQRect();
    ASSERT_FALSE(anchor.isEmpty());
    const QImage image = Render(*bold.label);

    // Black, not the anchor blue.
    int dark = 0;
    int blue = 0;
    for (int y = anchor.top(); y <= anchor.bottom(); ++y)
        for (int x = anchor.left(); x <= anchor.right(); ++x) {
            const QRgb c = image.pixel(x, y);
            dark += IsDark(c);
            blue += qBlue(c) > qRed(c) + 80;
        }
    EXPECT_GT(dark, anchor.width());
    EXPECT_EQ(blue, 0);

    // Underlined: a row under the text that is dark across nearly the whole address.
    int bestRow = 0;
    for (int y = anchor.top(); y <= anchor.bottom(); ++y)
        bestRow = std::max(bestRow, CountDark(image, QRect(anchor.left(), y, anchor.width(), 1)));
    EXPECT_GE(bestRow, anchor.width() * 8 / 10);

    // Bold: wider and with more ink than the same address in the regular face.
    QString regularText = DialogText();
    regularText.replace(QLatin1String("<B>"), QString()).replace(QLatin1String("</B>"), QString());
    DialogLabel regular(regularText);
    const std::vector<QPoint> regularHits = HitPoints(*regular.label, kMailto);
    ASSERT_FALSE(regularHits.empty());
    regular.label->AnchorAt(regularHits.front().x(), regularHits.front().y());
    const QRect regularAnchor = regular.label->AnchorAtRect().toQRect();
    EXPECT_GT(anchor.width(), regularAnchor.width());
    EXPECT_GT(dark, CountDark(Render(*regular.label), regularAnchor));

    // The text before the address is drawn too, in the window text colour.
    EXPECT_GT(CountDark(image, QRect(0, 0, image.width(), 13)), 100);
}

TEST(HTMLabel, HoverFollowsRealMouseMoves)
{
    DialogLabel d;
    d.Show();
    THTMLabel& label = *d.label;
    const std::vector<QPoint> hits = HitPoints(label, kMailto);
    ASSERT_GE(hits.size(), 2u);
    const QPoint onAddress = hits.front();
    const QPoint alsoOnAddress = hits.back();
    const QPoint onText(4, 6);
    ASSERT_TRUE(label.AnchorAt(onText.x(), onText.y()).isEmpty());

    QStringList entered;
    QStringList exited;
    label.OnAnchorEnter = [&](THTMLabel* sender, const QString& a) {
        EXPECT_EQ(sender, &label);
        entered.append(a);
    };
    label.OnAnchorExit = [&](THTMLabel*, const QString& a) { exited.append(a); };
    QSignalSpy hovered(&label, &THTMLabel::hoverHyperLinkChanged);
    auto hoverChanges = [&] {
        QList<int> numbers;
        for (const QList<QVariant>& args : std::as_const(hovered))
            numbers.append(args.at(0).toInt());
        return numbers;
    };

    QTest::mouseMove(&label, onText);
    EXPECT_TRUE(entered.isEmpty());
    EXPECT_TRUE(exited.isEmpty());

    QTest::mouseMove(&label, onAddress);
    EXPECT_EQ(entered, QStringList({ kMailto }));
    EXPECT_EQ(label.cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(label.HoverHyperLink(), 1);
    EXPECT_NE(label.CurrHoverRect().Left, -1);

    QTest::mouseMove(&label, alsoOnAddress);
    EXPECT_EQ(entered.size(), 1); // still the same anchor

    QTest::mouseMove(&label, onText);
    EXPECT_EQ(exited, QStringList({ QString() }));
    EXPECT_FALSE(label.testAttribute(Qt::WA_SetCursor));
    EXPECT_EQ(label.cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(label.CurrHoverRect(), TRect(-1, -1, -1, -1));

    QTest::mouseMove(&label, onText + QPoint(3, 0));
    EXPECT_EQ(exited.size(), 1); // no second exit off an anchor

    QTest::mouseMove(&label, onAddress);
    EXPECT_EQ(entered, QStringList({ kMailto, kMailto }));
    EXPECT_EQ(label.cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(hoverChanges(), QList<int>({ 1, -1, 1 })) << "once per change of the hovered anchor";
}

TEST(HTMLabel, MouseEnterAndLeaveEventsAndHoverReset)
{
    DialogLabel d;
    d.Show();
    THTMLabel& label = *d.label;
    label.setHover(true);
    int enters = 0;
    int leaves = 0;
    label.OnMouseEnter = [&](THTMLabel*) { ++enters; };
    label.OnMouseLeave = [&](THTMLabel*) { ++leaves; };
    const std::vector<QPoint> hits = HitPoints(label, kMailto);
    ASSERT_FALSE(hits.empty());

    QTest::mouseMove(&d.window, QPoint(2, 2));
    QTest::mouseMove(&label, hits.front());
    EXPECT_EQ(enters, 1);
    EXPECT_EQ(label.HoverHyperLink(), 1);
    QTest::mouseMove(&d.window, QPoint(2, 2));
    EXPECT_EQ(leaves, 1);
    EXPECT_EQ(label.HoverHyperLink(), -1);
}

TEST_F(ShellOpenFake, AnyButtonOnTheAddressClicksAndOpensTheMailTarget)
{
    DialogLabel d;
    d.Show();
    THTMLabel& label = *d.label;
    QStringList clicked;
    label.OnAnchorClick = [&](THTMLabel*, const QString& a) { clicked.append(a); };
    const std::vector<QPoint> hits = HitPoints(label, kMailto);
    ASSERT_FALSE(hits.empty());

    QTest::mouseClick(&label, Qt::LeftButton, {}, hits.front());
    QTest::mouseClick(&label, Qt::RightButton, {}, hits.front());
    QTest::mouseClick(&label, Qt::MiddleButton, {}, hits.front());
    EXPECT_EQ(clicked, QStringList({ kMailto, kMailto, kMailto }));
    EXPECT_EQ(opened, QStringList({ kMailto, kMailto, kMailto }));

    // Off the address nothing happens.
    QTest::mouseClick(&label, Qt::LeftButton, {}, QPoint(4, 6));
    EXPECT_EQ(clicked.size(), 3);
    EXPECT_EQ(opened.size(), 3);
}

TEST_F(ShellOpenFake, OnlyWebAndMailTargetsReachTheShell)
{
    struct Case {
        const char* target;
        bool opens;
    };
    const Case cases[] = {
        { "page2", false }, { "MAILTO:someone@example.invalid", false }, // the test is case-sensitive
        { "HTTP:/example.invalid", false }, { "https://example.invalid/x", true },
        { "ftp://example.invalid", true },
        { "see mailto:someone@example.invalid", true }, // anywhere in the target
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target);
        opened.clear();
        DialogLabel d(
            QStringLiteral("<a href=\"%1\">a link with some width</a>").arg(QString::fromUtf8(c.target)));
        d.Show();
        QString clicked;
        d.label->OnAnchorClick = [&](THTMLabel*, const QString& a) { clicked = a; };
        const std::vector<QPoint> hits = HitPoints(*d.label, QString::fromUtf8(c.target));
        ASSERT_FALSE(hits.empty());
        QTest::mouseClick(d.label, Qt::LeftButton, {}, hits.front());
        EXPECT_EQ(clicked, QString::fromUtf8(c.target));
        EXPECT_EQ(opened.size(), c.opens ? 1 : 0);
    }
}

TEST(HTMLabel, HintsShowAnchorMarkupOrPlainText)
{
    DialogLabel d;
    d.Show();
    THTMLabel& label = *d.label;
    const std::vector<QPoint> hits = HitPoints(label, kMailto);
    ASSERT_FALSE(hits.empty());
    auto hintAt = [&](const QPoint& pt) {
        QToolTip::hideText();
        QHelpEvent help(QEvent::ToolTip, pt, label.mapToGlobal(pt));
        QApplication::sendEvent(&label, &help);
        return QToolTip::text();
    };

    label.setToolTip(QStringLiteral("plain hint"));
    EXPECT_EQ(hintAt(hits.front()), QStringLiteral("plain hint"));

    label.setAnchorHint(true);
    EXPECT_TRUE(hintAt(hits.front()).contains(kMailto));
    EXPECT_EQ(hintAt(QPoint(4, 6)), QStringLiteral("plain hint"));
    label.OnAnchorHint = [](THTMLabel*, QString& anchor) { anchor = QStringLiteral("write to us"); };
    EXPECT_TRUE(hintAt(hits.front()).contains(QStringLiteral("write to us")));

    label.setHintShowFull(true);
    const QString full = hintAt(QPoint(4, 6));
    EXPECT_TRUE(full.contains(QStringLiteral("manual repair")));
    EXPECT_FALSE(full.contains(QStringLiteral("href")));
    label.setHTMLHint(true);
    EXPECT_EQ(hintAt(QPoint(4, 6)), label.DisplayText());
    EXPECT_TRUE(hintAt(hits.front()).contains(QStringLiteral("write to us"))); // the anchor hint wins
    QToolTip::hideText();
}

TEST(HTMLabel, EllipsisKeepsALongTextOnOneLine)
{
    THTMLabel label;
    QString words;
    for (int i = 0; i < 40; ++i)
        words += QStringLiteral("word ");
    label.setHTMLText({ words });

    TFixedCanvas wrapped;
    label.HTMLPrint(wrapped, TRect(0, 0, 100, 400));
    ASSERT_FALSE(wrapped.drawn.empty());
    EXPECT_NE(wrapped.drawn.front().rect.Bottom, wrapped.drawn.back().rect.Bottom);

    label.setEllipsis(true);
    TFixedCanvas cut;
    label.HTMLPrint(cut, TRect(0, 0, 100, 400));
    ASSERT_FALSE(cut.drawn.empty());
    for (const auto& call : cut.drawn) {
        EXPECT_EQ(call.rect.Bottom, cut.drawn.front().rect.Bottom);
        EXPECT_TRUE(call.format & DT::EndEllipsis);
        EXPECT_LE(call.rect.Right, 100);
    }
    EXPECT_EQ(label.GetSizeWithMaxWidth(100).height(), label.GetSizeWithMaxWidth(4096).height());

    // On screen too: the ink stays within the first line.
    label.setFont(Tahoma11());
    label.resize(100, 60);
    label.setURLColor(clBlack);
    const QRect ink = DarkBounds(Render(label));
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_LT(ink.bottom(), 16);
}

TEST(HTMLabel, UpdatesSuppressPaintingUntilTheLastEnd)
{
    THTMLabel label;
    label.setFont(Tahoma11());
    label.resize(200, 30);
    label.setHTMLText({ "some visible text" });
    const QRect area(0, 0, 200, 30);
    ASSERT_GT(CountDark(Render(label), area), 20);

    label.BeginUpdate();
    label.BeginUpdate();
    label.EndUpdate();
    EXPECT_EQ(label.UpdateCount(), 1);
    EXPECT_EQ(CountDark(Render(label), area), 0);
    label.EndUpdate();
    EXPECT_EQ(label.UpdateCount(), 0);
    EXPECT_GT(CountDark(Render(label), area), 20);
    label.EndUpdate();
    EXPECT_EQ(label.UpdateCount(), 0);
    EXPECT_GT(CountDark(Render(label), area), 20);
}

TEST(HTMLabel, HighlightAndMarkWrapEveryOccurrence)
{
    THTMLabel label;
    const QString original = QStringLiteral("find me, <b>Find</b> you");
    label.setHTMLText({ original });
    label.ImageCache()->Add(QStringLiteral("https://example.invalid/p.png"));
    label.HilightText(QStringLiteral("find"), false);
    EXPECT_EQ(label.HTMLText(), QStringList({ "<hi>find</hi> me, <hi><b>Find</hi></b> you" }));
    EXPECT_EQ(label.ImageCache()->Count(), 0); // through the change notification
    label.UnHilightText();
    EXPECT_EQ(label.HTMLText(), QStringList({ original }));

    label.MarkText(QStringLiteral("find"), true);
    EXPECT_EQ(label.HTMLText(), QStringList({ "<e>find</e> me, <b>Find</b> you" }));
    label.UnMarkText();
    EXPECT_EQ(label.HTMLText(), QStringList({ original }));

    // A stray "<" does not hang the search.
    label.setHTMLText({ "a < b word" });
    label.HilightText(QStringLiteral("word"), true);
    EXPECT_EQ(label.HTMLText(), QStringList({ "a < b <hi>word</hi>" }));
}

// A label far taller than what is shown paints only the exposed part, the same pixels there as a
// paint of the whole, whether it draws them anew or shows them from what it kept.
TEST(HTMLabel, AnExposedPartShowsWhatTheWholeShowsThere)
{
    QString text;
    for (int i = 0; i < 300; ++i)
        text += QStringLiteral("line %1 <a href=\"x\">link</a><br>").arg(i);
    auto make = [&](THTMLabel& label) {
        label.setFont(Tahoma11());
        label.resize(200, 40);
        label.setAutoSizing(true);
        label.setHTMLText({ text });
    };
    THTMLabel whole;
    make(whole);
    ASSERT_GT(whole.height(), 3000);
    const QImage all = Render(whole);
    const QRect part(0, 2000, 200, 50);
    auto renderPart = [&](THTMLabel& label) {
        QImage image(part.size(), QImage::Format_ARGB32);
        image.fill(Qt::white);
        label.render(&image, QPoint(), QRegion(part), QWidget::DrawChildren);
        return image;
    };
    EXPECT_EQ(renderPart(whole), all.copy(part)) << "from the kept picture";
    THTMLabel fresh;
    make(fresh);
    const QImage drawn = renderPart(fresh);
    EXPECT_EQ(drawn, all.copy(part)) << "drawn for the part alone";
    EXPECT_GT(CountDark(drawn, drawn.rect()), 50);
}

TEST(HTMLabel, BackgroundTransparencyAndGradients)
{
    THTMLabel label;
    label.resize(100, 20);
    label.setColor(clLime);
    EXPECT_FALSE(label.ParentColor());
    QImage image = Render(label, Qt::red);
    EXPECT_EQ(image.pixel(0, 0), qRgb(0, 255, 0));
    EXPECT_EQ(image.pixel(99, 19), qRgb(0, 255, 0));

    label.setTransparent(true);
    image = Render(label, Qt::red);
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(99, 19), qRgb(255, 0, 0));

    label.setTransparent(false);
    label.setColor(clWhite);
    label.setColorTo(clBlack);
    image = Render(label, Qt::red);
    EXPECT_GT(qRed(image.pixel(0, 10)), 200);
    EXPECT_LT(qRed(image.pixel(99, 10)), 55);
    EXPECT_EQ(image.pixel(50, 0), image.pixel(50, 19)); // horizontal: columns are even

    label.setGradientType(THTMLabel::gtFullVertical);
    image = Render(label, Qt::red);
    EXPECT_GT(qRed(image.pixel(50, 0)), 200);
    EXPECT_LT(qRed(image.pixel(50, 19)), 100);

    // A line gradient draws its band even on a transparent label, and nothing else.
    label.setTransparent(true);
    label.setGradientType(THTMLabel::gtBottomLine);
    label.setLineWidth(3);
    image = Render(label, Qt::red);
    EXPECT_EQ(image.pixel(50, 10), qRgb(255, 0, 0));
    EXPECT_GT(qRed(image.pixel(0, 18)), 200);
    EXPECT_NE(image.pixel(0, 18), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(0, 16), qRgb(255, 0, 0));
}

// A repaint may show the picture kept from the last paint, but never once something that shows changed.
TEST(HTMLabel, RepaintsShowEveryChange)
{
    THTMLabel label;
    label.setFont(Tahoma11());
    label.resize(200, 30);
    label.setColor(clWhite);
    label.setHTMLText({ "<a href=\"x\">link</a> text" });
    const QImage first = Render(label);
    EXPECT_EQ(Render(label), first);

    label.setURLColor(clRed);
    const QImage red = Render(label);
    EXPECT_NE(red, first);
    label.setHover(true);
    const QImage hover = Render(label);
    EXPECT_NE(hover, red); // no anchor under the mouse: no underline
    label.setHover(false);
    EXPECT_EQ(Render(label), red);

    label.setHTMLText({ "<a href=\"x\">link</a> other" });
    EXPECT_NE(Render(label), red);
    QPalette palette = label.palette();
    palette.setColor(QPalette::WindowText, Qt::blue);
    label.setPalette(palette);
    const QImage blue = Render(label);
    int bluish = 0;
    for (int y = 0; y < blue.height(); ++y)
        for (int x = 0; x < blue.width(); ++x)
            bluish += qBlue(blue.pixel(x, y)) > 200 && qRed(blue.pixel(x, y)) < 80;
    EXPECT_GT(bluish, 10);
    label.resize(150, 30);
    EXPECT_EQ(Render(label).width(), 150);
}

TEST(HTMLabel, ParentColorFollowsTheParent)
{
    QWidget parent;
    QPalette palette = parent.palette();
    palette.setColor(QPalette::Window, QColor(10, 20, 30));
    parent.setPalette(palette);
    auto* label = new THTMLabel(&parent);
    label->resize(40, 10);
    EXPECT_TRUE(label->ParentColor());
    EXPECT_EQ(label->Color(), RGBColor(10, 20, 30));
    EXPECT_EQ(Render(*label).pixel(5, 5), qRgb(10, 20, 30));
    parent.setProperty("Color", uint(clRed));
    EXPECT_EQ(label->Color(), clRed);
    label->setColor(clBlue);
    EXPECT_FALSE(label->ParentColor());
    EXPECT_EQ(label->Color(), clBlue);
}

TEST(HTMLabel, BevelsAreDrawnInTheButtonColours)
{
    THTMLabel label;
    label.resize(60, 30);
    label.setColor(clWhite);
    label.setBevelOuter(THTMLabel::bvLowered);
    QImage image = Render(label);
    EXPECT_EQ(QColor(image.pixel(0, 0)), ColorToQColor(clBtnShadow));
    EXPECT_EQ(QColor(image.pixel(59, 29)), ColorToQColor(clBtnHighlight));
    EXPECT_EQ(image.pixel(30, 15), qRgb(255, 255, 255));

    label.setBevelOuter(THTMLabel::bvNone);
    label.setBorderStyle(THTMLabel::bsSingle);
    label.setBorderWidth(1);
    label.setBorderColor(clRed);
    image = Render(label);
    // A one-pixel border runs along the client edges, over the colour frame.
    EXPECT_EQ(image.pixel(0, 15), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(30, 0), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(59, 15), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(30, 29), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(30, 15), qRgb(255, 255, 255));
}

bool IsRed(QRgb c)
{
    return qRed(c) > 150 && qGreen(c) < 110 && qBlue(c) < 110;
}

// Bounds of the red pixels, one rectangle per band of rows that hold some; up to `gap` empty rows
// (above an underline) do not end a band.
std::vector<QRect> RedLines(const QImage& image, int gap)
{
    std::vector<QRect> lines;
    int emptyRows = gap + 1;
    for (int y = 0; y < image.height(); ++y) {
        QRect row;
        for (int x = 0; x < image.width(); ++x)
            if (IsRed(image.pixel(x, y)))
                row |= QRect(x, y, 1, 1);
        if (row.isEmpty()) {
            ++emptyRows;
        } else {
            if (emptyRows > gap)
                lines.push_back(row);
            else
                lines.back() |= row;
            emptyRows = 0;
        }
    }
    return lines;
}

// The hit area and the drawn text come from one placement, whatever the frames and alignment: every
// point that hits the anchor lies on the anchor's drawn ink (the red text), and all of that ink is hit.
TEST(HTMLabel, HitAreaLiesOnTheDrawnAddress)
{
    struct Frame {
        THTMLabel::TBevelCut outer, inner;
        int bevel, border;
        THTMLabel::TBorderStyle style;
    };
    const Frame frames[] = {
        { THTMLabel::bvNone, THTMLabel::bvNone, 1, 0, THTMLabel::bsNone },
        { THTMLabel::bvRaised, THTMLabel::bvLowered, 2, 3, THTMLabel::bsSingle },
        { THTMLabel::bvLowered, THTMLabel::bvNone, 3, 1, THTMLabel::bsNone },
    };
    const QString texts[] = {
        QStringLiteral("write to <a href=\"mailto:x@y.z\">x@y.z</a> today"),
        // Wraps onto a second line in a 120-pixel label.
        QStringLiteral(
            "<p align=\"right\">some words then <a href=\"mailto:x@y.z\">a long wrapped address</a></p>"),
    };
    for (const QString& text : texts)
        for (const Frame& f : frames)
            for (auto align : { THTMLabel::tvaTop, THTMLabel::tvaCenter, THTMLabel::tvaBottom })
                for (bool autoSizing : { false, true }) {
                    SCOPED_TRACE(testing::Message()
                        << text.left(12).toStdString() << " bevel " << f.bevel << " alignment " << align
                        << " auto-sizing " << autoSizing);
                    THTMLabel label;
                    label.setFont(Tahoma11());
                    label.resize(120, 90);
                    label.setColor(clWhite);
                    label.setURLColor(clRed);
                    label.setBevelOuter(f.outer);
                    label.setBevelInner(f.inner);
                    label.setBevelWidth(f.bevel);
                    label.setBorderWidth(f.border);
                    label.setBorderStyle(f.style);
                    label.setBorderColor(clNone);
                    label.setVAlignment(align);
                    label.setHTMLText({ text });
                    label.setAutoSizing(autoSizing);
                    const QImage image = Render(label);

                    QImage hitMask(image.size(), QImage::Format_ARGB32);
                    hitMask.fill(Qt::white);
                    for (int y = 0; y < label.height(); ++y)
                        for (int x = 0; x < label.width(); ++x)
                            if (label.AnchorAt(x, y) == QLatin1String("mailto:x@y.z"))
                                hitMask.setPixel(x, y, qRgb(255, 0, 0));
                    // Line by line, the hit area is the address's ink with at most the room of its
                    // text cell around it.
                    const std::vector<QRect> inkLines = RedLines(image, 1);
                    const std::vector<QRect> hitLines
                        = RedLines(hitMask, 0); // the hit bands of two lines touch
                    ASSERT_FALSE(inkLines.empty());
                    ASSERT_EQ(hitLines.size(), inkLines.size());
                    for (size_t i = 0; i < inkLines.size(); ++i) {
                        const QRect& ink = inkLines[i];
                        const QRect& hit = hitLines[i];
                        SCOPED_TRACE(testing::Message()
                            << "line " << i << " ink " << ink.left() << "," << ink.top() << "-" << ink.right()
                            << "," << ink.bottom() << " hit " << hit.left() << "," << hit.top() << "-"
                            << hit.right() << "," << hit.bottom());
                        EXPECT_LE(hit.top(), ink.top());
                        EXPECT_GE(hit.top(), ink.top() - 4);
                        EXPECT_GE(hit.bottom(), ink.bottom());
                        EXPECT_LE(hit.bottom(), ink.bottom() + 4);
                        EXPECT_LE(hit.left(), ink.left());
                        EXPECT_GE(hit.left(), ink.left() - 2);
                        EXPECT_GE(hit.right(), ink.right());
                        EXPECT_LE(hit.right(), ink.right() + 3);
                    }
                }
}

// A hovered anchor that wraps is repainted on every line it covers, not only on the line where it ends.
TEST(HTMLabel, HoverRepaintsAWrappedAnchorWhole)
{
    QWidget window;
    window.resize(200, 100);
    window.setFont(Tahoma11());
    auto* label = new THTMLabel(&window);
    label->setGeometry(10, 10, 120, 60);
    label->setHover(true);
    label->setHTMLText({ "words <a href=\"t\">a long anchor that wraps</a>" });
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    // The first hit row from the top is on the anchor's first line.
    QPoint first(-1, -1);
    for (int y = 0; y < label->height() && first.x() < 0; ++y)
        for (int x = 0; x < label->width() && first.x() < 0; ++x)
            if (label->AnchorAt(x, y) == QLatin1String("t"))
                first = QPoint(x, y);
    ASSERT_GE(first.x(), 0);
    label->AnchorAt(first.x(), first.y());
    ASSERT_GT(label->AnchorAtRect().Top, first.y()); // the anchor ends on a later line

    struct PaintRegions : QObject {
        QRegion painted;
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::Paint)
                painted += static_cast<QPaintEvent*>(e)->region();
            return false;
        }
    } regions;
    QCoreApplication::processEvents();
    label->installEventFilter(&regions);
    QTest::mouseMove(label, first);
    QCoreApplication::processEvents();
    EXPECT_EQ(label->HoverHyperLink(), 1);
    EXPECT_TRUE(regions.painted.contains(first));

    regions.painted = QRegion();
    QTest::mouseMove(label, QPoint(1, label->height() - 2));
    QCoreApplication::processEvents();
    EXPECT_EQ(label->HoverHyperLink(), -1);
    EXPECT_TRUE(regions.painted.contains(first));
    label->removeEventFilter(&regions);
}

// Setters that shape the text repaint only on a change; hover settings only store; frame settings
// always repaint.
TEST(HTMLabel, SettersRepaintAsTheirRulesSay)
{
    QWidget window;
    window.resize(200, 60);
    auto* label = new THTMLabel(&window);
    label->setGeometry(0, 0, 150, 40);
    label->setHTMLText({ "text" });
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    struct PaintCount : QObject {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* e) override
        {
            paints += e->type() == QEvent::Paint;
            return false;
        }
    } counter;
    label->installEventFilter(&counter);
    auto paintsAfter = [&](const std::function<void()>& change) {
        QCoreApplication::processEvents();
        counter.paints = 0;
        change();
        QCoreApplication::processEvents();
        return counter.paints;
    };
    struct Setter {
        const char* name;
        QVariant value; // differs from the default
        enum { OnChange, Always, Never } rule;
    };
    const Setter setters[] = {
        { "URLColor", uint(clRed), Setter::OnChange },
        { "ShadowColor", uint(clRed), Setter::OnChange },
        { "ShadowOffset", 5, Setter::OnChange },
        { "VAlignment", QVariant::fromValue(THTMLabel::tvaBottom), Setter::OnChange },
        { "Ellipsis", true, Setter::OnChange },
        { "ColorTo", uint(clRed), Setter::OnChange },
        { "BorderColor", uint(clRed), Setter::OnChange },
        { "GradientType", QVariant::fromValue(THTMLabel::gtTopLine), Setter::OnChange },
        { "LineSpacing", 3, Setter::OnChange },
        { "LineWidth", 4, Setter::OnChange },
        { "BevelInner", QVariant::fromValue(THTMLabel::bvRaised), Setter::Always },
        { "BevelOuter", QVariant::fromValue(THTMLabel::bvLowered), Setter::Always },
        { "BevelWidth", 2, Setter::Always },
        { "BorderWidth", 2, Setter::Always },
        { "BorderStyle", QVariant::fromValue(THTMLabel::bsSingle), Setter::Always },
        { "Hover", true, Setter::Never },
        { "HoverColor", uint(clRed), Setter::Never },
        { "HoverFontColor", uint(clRed), Setter::Never },
    };
    for (const Setter& s : setters) {
        SCOPED_TRACE(s.name);
        const QVariant before = label->property(s.name);
        EXPECT_EQ(paintsAfter([&] { label->setProperty(s.name, before); }) > 0, s.rule == Setter::Always);
        EXPECT_EQ(paintsAfter([&] { label->setProperty(s.name, s.value); }) > 0, s.rule != Setter::Never);
        EXPECT_EQ(label->property(s.name), s.value);
    }
    label->removeEventFilter(&counter);
}

// Frame widths far beyond the label neither hang the paint nor overflow the text rectangle.
TEST(HTMLabel, HugeFrameWidthsStayBounded)
{
    THTMLabel label;
    label.resize(60, 20);
    label.setHTMLText({ "<a href=\"t\">x</a>" });
    label.setBevelOuter(THTMLabel::bvRaised);
    label.setBevelInner(THTMLabel::bvLowered);
    label.setBevelWidth(std::numeric_limits<int>::max());
    label.setBorderWidth(std::numeric_limits<int>::max());
    label.setBorderStyle(THTMLabel::bsSingle);
    label.setLineWidth(std::numeric_limits<int>::min());
    label.setGradientType(THTMLabel::gtCenterLine);
    EXPECT_EQ(label.BevelWidth(), 65535);
    EXPECT_EQ(label.BorderWidth(), 65535);
    const QImage image = Render(label);
    EXPECT_EQ(image.size(), QSize(60, 20));
    EXPECT_TRUE(label.AnchorAt(5, 5).isEmpty());
}

// Mouse moves answer from a map of the anchors kept between moves; at every point it gives what a
// fresh layout gives, and texts it cannot describe are left to the layout.
TEST(HTMLabel, AnchorMapAnswersAsAFreshLayout)
{
    struct Case {
        QString markup;
        bool mapped;
        QSize size = QSize(170, 95);
    };
    const Case cases[] = {
        { DialogText(), true, QSize(390, 75) },
        { "<a href=\"1\">one</a><a href=\"2\">two</a> text <a href=\"3\">three words that wrap around</a>",
            true },
        { "<font size=\"5\"><a href=\"big\">big link</a></font> small <a href=\"s\">small link</a>", true },
        { "<p align=\"center\">centred <a href=\"c\">link text</a></p><p align=\"right\" indent=\"10\"><a "
          "href=\"r\">right</a></p>",
            true },
        { "<ul><li><a href=\"l1\">item one</a><li>item <a href=\"l2\">two</a></ul>", true },
        { "<a href=\"x\">a<br>b</a><hr><a href=\"y\">c</a> &amp; <a href=\"amp\">Tom &amp; Jerry</a>", true },
        { "<a href=\"h\">vis<z>hidden</z>ible</a> <a href=\"p\">&amp;prefix</a> & <a>no target</a>", true },
        { "<a href=\"s\">x<sub>2</sub> y<sup>3</sup></a> <a href=\"t\">after</a>", false },
        { "<shad><a href=\"sh\">shadowed</a></shad>", false },
        { "<s>struck <a href=\"st\">out</a></s> <a href=\"<img\">no picture</a>", true },
    };
    for (const Case& c : cases) {
        for (int variant = 0; variant < 3; ++variant) {
            SCOPED_TRACE(testing::Message() << c.markup.left(30).toStdString() << " variant " << variant);
            THTMLabel mapped;
            THTMLabel fresh;
            fresh.setHitCaching(false);
            for (THTMLabel* label : { &mapped, &fresh }) {
                label->setFont(Tahoma11());
                label->resize(c.size);
                label->setHTMLText({ c.markup });
                if (variant == 1) {
                    label->setBevelOuter(THTMLabel::bvRaised);
                    label->setBorderWidth(2);
                    label->setBorderStyle(THTMLabel::bsSingle);
                    label->setVAlignment(THTMLabel::tvaCenter);
                    label->setLineSpacing(3);
                } else if (variant == 2) {
                    label->setAutoSizing(true);
                    label->setAutoSizeType(THTMLabel::asBoth);
                    label->setVAlignment(THTMLabel::tvaBottom);
                }
            }
            int hits = 0;
            for (int y = -2; y < mapped.height() + 2; ++y)
                for (int x = -2; x < mapped.width() + 2; ++x) {
                    const QString a = mapped.AnchorAt(x, y);
                    const QString b = fresh.AnchorAt(x, y);
                    hits += !b.isEmpty();
                    ASSERT_EQ(a, b) << x << "," << y;
                    ASSERT_EQ(mapped.HoverHyperLink(), fresh.HoverHyperLink()) << x << "," << y;
                    ASSERT_EQ(mapped.AnchorAtRect(), fresh.AnchorAtRect()) << x << "," << y;
                }
            if (variant == 0) {
                EXPECT_GT(hits, 0);
            }
            EXPECT_EQ(mapped.AnswersFromMap(), c.mapped);
            EXPECT_FALSE(fresh.AnswersFromMap());
        }
    }

    // A change of text is a new map.
    THTMLabel label;
    label.setFont(Tahoma11());
    label.setHTMLText({ "<a href=\"old\">link</a>" });
    ASSERT_EQ(label.AnchorAt(5, 7), QStringLiteral("old"));
    label.setHTMLText({ "<a href=\"new\">link</a>" });
    EXPECT_EQ(label.AnchorAt(5, 7), QStringLiteral("new"));
    label.setFont(QFont(QStringLiteral("Tahoma"), 30));
    EXPECT_EQ(label.AnchorAt(40, 20), QStringLiteral("new"));
}

TEST(HTMLabel, ImageListAndContainerReferencesClearThemselves)
{
    THTMLabel label;
    label.setHTMLText({ "<img src=\"idx:0\"> text" });
    auto images = std::make_unique<TImageList>();
    auto container = std::make_unique<TPictureContainer>();
    label.setImages(images.get());
    label.setPictureContainer(container.get());
    QImage picture(16, 16, QImage::Format_ARGB32);
    picture.fill(Qt::black);
    const int before = label.HTMLSize().width();
    images->Add(picture);
    EXPECT_GT(label.HTMLSize().width(), before);
    images.reset();
    container.reset();
    EXPECT_EQ(label.Images(), nullptr);
    EXPECT_EQ(label.PictureContainer(), nullptr);
    Render(label);
    EXPECT_EQ(label.HTMLSize().width(), before);
}

TEST(HTMLabel, SizesFollowTheWidthLimit)
{
    DialogLabel d;
    const QSize narrow = d.label->GetSizeWithMaxWidth(150);
    const QSize wide = d.label->GetSizeWithMaxWidth(1000);
    EXPECT_GT(narrow.height(), wide.height());
    EXPECT_LT(narrow.width(), wide.width());
    EXPECT_EQ(d.label->HTMLSize(), d.label->GetSizeWithMaxWidth(4096));
    THTMLabel empty;
    EXPECT_EQ(empty.HTMLSize().width(), 0);
    EXPECT_GT(empty.HTMLSize().height(), 0);
}

// Every setting a program changes tells its listeners, once per real change.
TEST(HTMLabel, EveryChangeNotifiesOnceAndTheSameValueNever)
{
    TImageList images;
    TPictureContainer container;
    THTMLabel label;
    const struct {
        const char* name;
        QVariant value;
    } changes[] = {
        { "AnchorHint", true },
        { "AutoSizing", true },
        { "AutoSizeType", QVariant::fromValue(THTMLabel::asBoth) },
        { "Align", QVariant::fromValue(THTMLabel::alTop) },
        { "BevelInner", QVariant::fromValue(THTMLabel::bvRaised) },
        { "BevelWidth", 3 },
        { "BorderColor", uint(clRed) },
        { "BorderStyle", QVariant::fromValue(THTMLabel::bsSingle) },
        { "ParentColor", false }, // writing Color ends ParentColor, a change of its own
        { "Color", uint(clRed) },
        { "ColorTo", uint(clRed) },
        { "Ellipsis", true },
        { "GradientType", QVariant::fromValue(THTMLabel::gtTopLine) },
        { "HintShowFull", true },
        { "Hover", true },
        { "HoverColor", uint(clRed) },
        { "HTMLHint", true },
        { "HTMLText", QStringList { "<b>new</b>" } },
        { "Images", QVariant::fromValue(&images) },
        { "LineSpacing", 2 },
        { "PictureContainer", QVariant::fromValue(&container) },
        { "ShadowOffset", 4 },
        { "Transparent", true },
        { "URLColor", uint(clRed) },
        { "VAlignment", QVariant::fromValue(THTMLabel::tvaCenter) },
    };
    for (const auto& c : changes)
        ExpectNotifiesOnChangeOnly(label, c.name, c.value);
    EXPECT_EQ(PropertiesWithoutNotify(label), QStringList { "Version" });
    // Lines written again as they are repaint but change nothing to report.
    QSignalSpy text(&label, &THTMLabel::htmlTextChanged);
    label.setHTMLLines(label.HTMLText());
    EXPECT_EQ(text.count(), 0);
    label.setHTMLLines({ "a", "b" });
    EXPECT_EQ(text.count(), 1);
}

TEST(HTMLabel, SizeHintIsTheAutoSizedSizeOnly)
{
    THTMLabel label;
    label.setHTMLText({ "some words in a label" });
    EXPECT_FALSE(label.sizeHint().isValid());
    label.setAutoSizeType(THTMLabel::asBoth);
    label.setAutoSizing(true);
    EXPECT_TRUE(label.sizeHint().isValid());
    EXPECT_EQ(label.sizeHint(), label.size());
    label.setHTMLText({ "some words in a label, and many more of them" });
    EXPECT_EQ(label.sizeHint(), label.size());
    EXPECT_GT(label.sizeHint().width(), 0);
}

} // namespace
