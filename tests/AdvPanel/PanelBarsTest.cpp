// SPDX-License-Identifier: MIT
// Caption bar and status bar of the panel: bands and colours, the shaded header, button clicks,
// collapsing, moving and sizing with the mouse, and auto size.
#include "AdvPanel.h"
#include "PanelPixels.h"
#include "ShadedHeader.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QMetaEnum>
#include <QMouseEvent>
#include <QPainter>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <set>

using namespace AdvPanel;

namespace {

// Sends a real mouse event at a client point of `w`.
void Mouse(QWidget& w, QEvent::Type type, QPoint at, Qt::MouseButtons buttons = Qt::LeftButton)
{
    const QPointF global = w.mapToGlobal(QPointF(at));
    QMouseEvent event(type, QPointF(at), global, Qt::LeftButton, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &event);
}

void Click(QWidget& w, QPoint at)
{
    Mouse(w, QEvent::MouseButtonPress, at);
    Mouse(w, QEvent::MouseButtonRelease, at, Qt::NoButton);
}

TEST(PanelBars, BandColours)
{
    struct Case {
        const char* name;
        std::function<void(TAdvPanel&)> set;
        QPoint at;
        TColor expected;
    };
    const Case cases[] = {
        { "plain caption in Color", [](TAdvPanel&) {}, { 50, 10 }, clBlue },
        { "caption inside the bevel", [](TAdvPanel&) {}, { 50, 0 }, clBtnHighlight },
        { "collapsed caption in CloseColor",
            [](TAdvPanel& p) {
                p.Caption()->setCloseColor(clRed);
                p.setCollaps(true);
            },
            { 50, 10 }, clRed },
        { "gradient caption starts in Color", [](TAdvPanel& p) { p.Caption()->setColorTo(clRed); }, { 1, 10 },
            clBlue },
        { "gradient caption stops short of ColorTo",
            [](TAdvPanel& p) {
                p.Caption()->setColor(clBlack);
                p.Caption()->setColorTo(clWhite);
            },
            { 198, 10 }, RGBColor(247, 247, 247) },
        { "left caption", [](TAdvPanel& p) { p.Caption()->setPosition(cpLeft); }, { 10, 50 }, clBlue },
        { "status bar at the bottom", [](TAdvPanel&) {}, { 50, 90 }, clSilver },
        { "status bar on the right", [](TAdvPanel& p) { p.Caption()->setPosition(cpLeft); }, { 190, 50 },
            clSilver },
        { "status bar gradient",
            [](TAdvPanel& p) {
                p.StatusBar()->setColor(clBlack);
                p.StatusBar()->setColorTo(clWhite);
                p.StatusBar()->setGradientDirection(gdVertical);
            },
            { 50, 81 }, clBlack },
        { "status bar frame",
            [](TAdvPanel& p) {
                p.StatusBar()->setBorderStyle(bsSingle);
                p.StatusBar()->setBorderColor(clRed);
            },
            { 50, 81 }, clRed },
        { "status bar inner bevel: grey top", [](TAdvPanel& p) { p.StatusBar()->setBevelInner(true); },
            { 50, 81 }, clGray },
        { "status bar inner bevel: white bottom", [](TAdvPanel& p) { p.StatusBar()->setBevelInner(true); },
            { 50, 98 }, clWhite },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TAdvPanel p;
        p.resize(200, 100);
        p.setCollapsSteps(0);
        p.Caption()->setVisible(true);
        p.Caption()->setColor(clBlue);
        p.Caption()->setGradientDirection(gdHorizontal);
        p.StatusBar()->setVisible(true);
        p.StatusBar()->setColor(clSilver);
        c.set(p);
        p.resize(200, 100);
        EXPECT_EQ(At(Paint(p), c.at.x(), c.at.y()), ColorToRGB(c.expected));
    }
}

// Bar gradients and drawn buttons are kept between paints: a repaint after a change must look like
// a first paint of the changed panel.
TEST(PanelBars, RepaintAfterAChangeMatchesAFirstPaint)
{
    struct Case {
        const char* name;
        std::function<void(TAdvPanel&)> change;
    };
    const Case cases[] = {
        { "caption colours", [](TAdvPanel& p) { p.Caption()->setColorTo(clRed); } },
        { "gradient direction", [](TAdvPanel& p) { p.Caption()->setGradientDirection(gdVertical); } },
        { "status colours", [](TAdvPanel& p) { p.StatusBar()->setColor(clYellow); } },
        { "button colour", [](TAdvPanel& p) { p.Caption()->setCloseButtonColor(clLime); } },
        { "buttons at the start", [](TAdvPanel& p) { p.Caption()->setButtonPosition(cbpLeft); } },
        { "caption on the left", [](TAdvPanel& p) { p.Caption()->setPosition(cpLeft); } },
        { "collapsed", [](TAdvPanel& p) { p.setCollaps(true); } },
        { "resized", [](TAdvPanel& p) { p.resize(150, 120); } },
        { "system colour after a palette change",
            [](TAdvPanel&) {
                QPalette palette = QApplication::palette();
                palette.setColor(QPalette::Highlight, QColor(10, 200, 30));
                QApplication::setPalette(palette);
            } },
    };
    const QPalette saved = QApplication::palette();
    auto make = [](TAdvPanel& p) {
        p.resize(200, 100);
        p.setCollapsSteps(0);
        p.Caption()->setVisible(true);
        p.Caption()->setColor(clHighlight);
        p.Caption()->setColorTo(clWhite);
        p.Caption()->setGradientDirection(gdHorizontal);
        p.Caption()->setCloseButton(true);
        p.Caption()->setMinMaxButton(true);
        p.StatusBar()->setVisible(true);
        p.StatusBar()->setColorTo(clGray);
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TAdvPanel repainted;
        make(repainted);
        Paint(repainted);
        c.change(repainted);
        const QImage again = Paint(repainted);
        TAdvPanel fresh;
        make(fresh);
        c.change(fresh);
        EXPECT_TRUE(again == Paint(fresh));
        QApplication::setPalette(saved);
    }
}

TEST(PanelBars, EveryShadeTypeDrawsItsOwnHeader)
{
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::green);
    picture.setPixelColor(7, 0, Qt::red);
    std::set<qint64> seen;
    const QMetaEnum types = QMetaEnum::fromType<TShadeType>();
    for (int i = 0; i < types.keyCount(); ++i) {
        const auto type = TShadeType(types.value(i));
        SCOPED_TRACE(types.key(i));
        TShadeInput in { QSize(400, 20), 0x00B05A1E, type, 230, 32, picture, false };
        const QImage header = BuildShadedHeaderImage(in);
        if (type == stNormal) {
            EXPECT_TRUE(header.isNull());
            continue;
        }
        ASSERT_EQ(header.size(), QSize(400, 20));
        EXPECT_EQ(header, BuildShadedHeaderImage(in)); // the same input gives the same pixels
        // A digest of the pixels: no two types look alike.
        qint64 digest = 0;
        for (int y = 0; y < 20; ++y) {
            for (int x = 0; x < 400; ++x)
                digest = digest * 31 + qint64(header.pixel(x, y) & 0xFFFFFF);
        }
        EXPECT_TRUE(seen.insert(digest).second);
    }
}

TEST(PanelBars, ShadedHeaderIsBuiltOnlyWhenItsShapeChanges)
{
    TAdvPanel panel;
    panel.resize(200, 60);
    panel.Caption()->setVisible(true);
    panel.Caption()->setShadeType(stVShade);
    panel.show(); // resize events reach shown widgets
    const qint64 built = panel.ShadedHeader().cacheKey();
    ASSERT_EQ(panel.ShadedHeader().size(), QSize(198, 18));
    Paint(panel);
    panel.setText(QStringLiteral("text"));
    Paint(panel);
    EXPECT_EQ(panel.ShadedHeader().cacheKey(), built);
    panel.Caption()->setShadeGrain(10);
    EXPECT_NE(panel.ShadedHeader().cacheKey(), built);
    panel.resize(300, 60);
    EXPECT_EQ(panel.ShadedHeader().width(), 298);
    const qint64 wide = panel.ShadedHeader().cacheKey();
    panel.resize(300, 80);
    EXPECT_EQ(panel.ShadedHeader().cacheKey(), wide);
    // The shaded caption is drawn with a white and grey edge unless flat.
    EXPECT_EQ(At(Paint(panel), 50, 1), clWhite);
    panel.Caption()->setFlat(true);
    EXPECT_NE(At(Paint(panel), 50, 1), clWhite);
}

// A shown parent with a 200 x 100 panel at (10, 10) whose caption has both buttons; events recorded.
struct CaptionRig {
    QWidget parent;
    QPointer<TAdvPanel> panel = new TAdvPanel(&parent);
    QStringList events;
    CaptionRig()
    {
        parent.resize(400, 300);
        panel->setGeometry(10, 10, 200, 100);
        panel->setCollapsSteps(0);
        panel->Caption()->setVisible(true);
        panel->Caption()->setCloseButton(true);
        panel->Caption()->setMinMaxButton(true);
        panel->OnClose = [this](TCustomAdvPanel*) { events << "close"; };
        panel->OnCaptionClick = [this](TCustomAdvPanel*) { events << "click"; };
        panel->OnCaptionDBlClick = [this](TCustomAdvPanel*) { events << "double"; };
        panel->OnMinimize = [this](TCustomAdvPanel*) { events << "minimize"; };
        panel->OnMaximize = [this](TCustomAdvPanel*) { events << "maximize"; };
        panel->OnEndCollapsExpand = [this](TCustomAdvPanel*) { events << "end"; };
        panel->OnEndMoveSize = [this](TCustomAdvPanel*) { events << "movesize"; };
        parent.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&parent));
    }
    QPoint Centre(const TRect& r) const { return r.toQRect().center(); }
};
struct CaptionPanel : ::testing::Test, CaptionRig { };

TEST_F(CaptionPanel, ButtonAndBarClicks)
{
    struct Case {
        const char* name;
        bool minMaxCaption;
        bool freeOnClose;
        int target; // 0 the bar, 1 the min/max button, 2 the close button
        QStringList events;
        bool collapsed, visible, alive;
    };
    const Case cases[] = {
        { "bar", false, false, 0, { "click" }, false, true, true },
        { "bar toggles with MinMaxCaption", true, false, 0, { "minimize", "end", "click" }, true, true,
            true },
        { "min/max button", false, false, 1, { "minimize", "end", "click" }, true, true, true },
        { "close hides", false, false, 2, { "close", "click" }, false, false, true },
        { "close destroys after the event", false, true, 2, { "close" }, false, false, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CaptionRig f;
        f.panel->Caption()->setMinMaxCaption(c.minMaxCaption);
        f.panel->setFreeOnClose(c.freeOnClose);
        const auto buttons = f.panel->CaptionButtonRects();
        const QPoint at
            = c.target == 0 ? QPoint(40, 10) : f.Centre(c.target == 1 ? buttons.minMax : buttons.close);
        Click(*f.panel, at);
        ASSERT_TRUE(f.panel); // never destroyed under its own handler
        EXPECT_EQ(f.events, c.events);
        EXPECT_EQ(f.panel->Collaps(), c.collapsed);
        EXPECT_EQ(f.panel->isVisible(), c.visible);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(bool(f.panel), c.alive);
    }
}

TEST_F(CaptionPanel, DoubleClickAndHoverColour)
{
    Mouse(*panel, QEvent::MouseButtonDblClick, QPoint(40, 10));
    EXPECT_EQ(events, QStringList { "double" });
    panel->Caption()->setCloseButtonHoverColor(clRed);
    const QPoint close = Centre(panel->CaptionButtonRects().close);
    QTest::mouseMove(panel, close);
    EXPECT_TRUE(panel->CloseButtonHover());
    const QImage image = Paint(*panel);
    int red = 0;
    const QRect r = panel->CaptionButtonRects().close.toQRect();
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x)
            red += At(image, x, y) == clRed;
    }
    EXPECT_GT(red, 8);
}

TEST_F(CaptionPanel, CollapseInStepsAndExpandAgain)
{
    auto* shown = new QWidget(panel);
    auto* hidden = new QWidget(panel);
    shown->show();
    panel->setCollapsSteps(4);
    panel->setCollapsDelay(1);
    panel->setCollapsColor(clRed);
    panel->setColor(clBlue);
    // A nested change while animating does nothing beyond its event.
    QTimer::singleShot(0, panel, [this] { panel->setCollaps(false); });
    panel->OnMinimize = [&](TCustomAdvPanel*) { events << "minimize"; };
    panel->setCollaps(true);
    EXPECT_EQ(events, (QStringList { "minimize", "maximize", "end" }));
    EXPECT_EQ(panel->height(), 18);
    EXPECT_EQ(panel->FullHeight(), 100);
    EXPECT_EQ(panel->Color(), clRed);
    EXPECT_TRUE(shown->isHidden());
    EXPECT_EQ(panel->HideList(), QList<QWidget*> { hidden });
    events.clear();
    panel->setCollaps(false);
    EXPECT_EQ(events, (QStringList { "maximize", "end" }));
    EXPECT_EQ(panel->height(), 100);
    EXPECT_EQ(panel->Color(), clBlue);
    EXPECT_FALSE(shown->isHidden());
    EXPECT_TRUE(hidden->isHidden());
    EXPECT_TRUE(panel->HideList().isEmpty());
}

TEST_F(CaptionPanel, ClosingTheWindowEndsTheAnimation)
{
    panel->setCollapsSteps(50);
    panel->setCollapsDelay(20);
    QTimer::singleShot(30, &parent, [this] { parent.close(); });
    QElapsedTimer timer;
    timer.start();
    panel->setCollaps(true);
    EXPECT_LT(timer.elapsed(), 50 * 20);
    EXPECT_EQ(events, (QStringList { "minimize", "end" }));
    EXPECT_EQ(panel->height(), 18);
    EXPECT_FALSE(panel->Collapsing());
}

TEST_F(CaptionPanel, MoveByTheCaptionWithinTheParent)
{
    struct Case {
        const char* name;
        bool canMove, fixedLeft, fixedTop;
        QPoint drag;
        QPoint expected;
    };
    const Case cases[] = {
        { "no CanMove", false, false, false, { 30, 40 }, { 10, 10 } },
        { "moves", true, false, false, { 30, 40 }, { 40, 50 } },
        { "fixed left", true, true, false, { 30, 40 }, { 10, 50 } },
        { "fixed top", true, false, true, { 30, 40 }, { 40, 10 } },
        { "kept inside the parent", true, false, false, { 1000, -1000 }, { 380, 0 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CaptionRig f;
        f.panel->setCanMove(c.canMove);
        f.panel->setFixedLeft(c.fixedLeft);
        f.panel->setFixedTop(c.fixedTop);
        const QPoint start(40, 10);
        const QPoint global = f.panel->mapToGlobal(start);
        Mouse(*f.panel, QEvent::MouseButtonPress, start);
        Mouse(*f.panel, QEvent::MouseMove, f.panel->mapFromGlobal(global + QPoint(5, 5)));
        Mouse(*f.panel, QEvent::MouseMove, f.panel->mapFromGlobal(global + c.drag));
        Mouse(*f.panel, QEvent::MouseButtonRelease, f.panel->mapFromGlobal(global + c.drag), Qt::NoButton);
        EXPECT_EQ(f.panel->pos(), c.expected);
        EXPECT_EQ(f.events.contains("movesize"), c.canMove);
        EXPECT_FALSE(f.events.contains("click") && c.canMove);
    }
}

TEST_F(CaptionPanel, SizeByTheEdgesUnlessFixed)
{
    struct Case {
        const char* name;
        QPoint press;
        bool fixedWidth, fixedHeight;
        QSize expected;
    };
    const Case cases[] = {
        { "corner", { 198, 98 }, false, false, { 230, 140 } },
        { "bottom edge", { 100, 98 }, false, false, { 200, 140 } },
        { "right edge", { 198, 50 }, false, false, { 230, 100 } },
        { "fixed height keeps the corner", { 198, 98 }, false, true, { 200, 100 } },
        { "fixed width: bottom edge still sizes", { 100, 98 }, true, false, { 200, 140 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CaptionRig f;
        f.panel->setCanSize(true);
        f.panel->setFixedWidth(c.fixedWidth);
        f.panel->setFixedHeight(c.fixedHeight);
        Mouse(*f.panel, QEvent::MouseButtonPress, c.press);
        Mouse(*f.panel, QEvent::MouseMove, c.press + QPoint(30, 40));
        Mouse(*f.panel, QEvent::MouseButtonRelease, c.press + QPoint(30, 40), Qt::NoButton);
        EXPECT_EQ(f.panel->size(), c.expected);
        if (c.expected != QSize(200, 100)) {
            EXPECT_EQ(f.panel->FullHeight(), c.expected.height());
        }
    }
}

TEST(PanelBars, AutoSizeFitsTheText)
{
    TAdvPanel panel;
    panel.resize(50, 50);
    panel.setText(QStringLiteral("Some words<BR>and a second line"));
    EXPECT_EQ(panel.size(), QSize(50, 50)); // not enabled
    panel.Caption()->setVisible(true);
    panel.AutoSize()->setEnabled(true);
    const QSize fitted = panel.size();
    EXPECT_GT(fitted.width(), 50);
    EXPECT_GT(fitted.height(), 20 + 2 * 13);
    // The text fits: one line more would make it taller.
    panel.setText(QStringLiteral("Some words<BR>and a second line<BR>third"));
    EXPECT_GT(panel.height(), fitted.height());
    panel.AutoSize()->setWidth(false);
    panel.resize(400, 10);
    EXPECT_EQ(panel.width(), 400);
    EXPECT_LT(panel.height(), fitted.height() + 20);
}

// The hint is the size auto-sizing gives: the text's, plus each thing around it once.
TEST(PanelBars, SizeHintIsTheAutoSize)
{
    struct Case {
        const char* name;
        std::function<void(TAdvPanel&)> set;
        QSize more; // than the plain panel's hint
    };
    const Case cases[] = {
        { "plain", [](TAdvPanel&) {}, { 0, 0 } },
        { "a top caption bar adds its height", [](TAdvPanel& p) { p.Caption()->setVisible(true); },
            { 0, 20 } },
        { "a left caption bar adds its width",
            [](TAdvPanel& p) {
                p.Caption()->setVisible(true);
                p.Caption()->setPosition(cpLeft);
            },
            { 20, 0 } },
        { "a status bar adds its height", [](TAdvPanel& p) { p.StatusBar()->setVisible(true); }, { 0, 18 } },
        { "a border on both sides", [](TAdvPanel& p) { p.setBorderWidth(3); }, { 6, 6 } },
        { "wider bevels on both sides", [](TAdvPanel& p) { p.setBevelWidth(3); }, { 4, 4 } },
        { "indents",
            [](TAdvPanel& p) {
                p.setIndent(5);
                p.setTopIndent(7);
            },
            { 5, 7 } },
        { "the window frame", [](TAdvPanel& p) { p.setBorderStyle(bsSingle); }, { 2, 2 } },
        { "a border shadow",
            [](TAdvPanel& p) {
                p.setBorderWidth(1);
                p.setBorderShadow(true);
            },
            { 2 + 2, 2 + 3 } },
    };
    auto make = [](TAdvPanel& p) {
        p.resize(50, 50);
        p.setText(QStringLiteral("Some words<BR>and a second line"));
        p.AutoSize()->setEnabled(true);
    };
    TAdvPanel plain;
    make(plain);
    const QSize base = plain.sizeHint();
    EXPECT_GT(base.width(), 50);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TAdvPanel p;
        make(p);
        c.set(p);
        EXPECT_EQ(p.sizeHint(), base + c.more);
        p.UpdateAutoSize();
        EXPECT_EQ(p.sizeHint(), p.size()); // sized to the hint, the hint stays
    }
    // Directions auto-sizing leaves alone keep the current size; without it Qt's default.
    TAdvPanel p;
    make(p);
    p.AutoSize()->setWidth(false);
    p.resize(300, 10);
    EXPECT_EQ(p.sizeHint(), QSize(300, base.height()));
    p.AutoSize()->setEnabled(false);
    EXPECT_FALSE(p.sizeHint().isValid());
}

// An auto-sized panel follows what takes room from its text, not only the text.
TEST(PanelBars, AutoSizeFollowsBandsBordersIndentsAndFont)
{
    struct Case {
        const char* name;
        std::function<void(TAdvPanel&)> set;
    };
    const Case cases[] = {
        { "caption bar", [](TAdvPanel& p) { p.Caption()->setVisible(true); } },
        { "caption height",
            [](TAdvPanel& p) {
                p.Caption()->setVisible(true);
                p.Caption()->setHeight(40);
            } },
        { "status bar", [](TAdvPanel& p) { p.StatusBar()->setVisible(true); } },
        { "border", [](TAdvPanel& p) { p.setBorderWidth(3); } },
        { "bevel width", [](TAdvPanel& p) { p.setBevelWidth(3); } },
        { "window frame", [](TAdvPanel& p) { p.setBorderStyle(bsSingle); } },
        { "indent", [](TAdvPanel& p) { p.setIndent(12); } },
        { "top indent", [](TAdvPanel& p) { p.setTopIndent(12); } },
        { "line spacing", [](TAdvPanel& p) { p.setLineSpacing(6); } },
        { "font",
            [](TAdvPanel& p) {
                TFont font = p.Font();
                font.SetSize(16);
                p.setFont(font);
            } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TAdvPanel p;
        p.setText(QStringLiteral("Some words<BR>and a second line"));
        p.AutoSize()->setEnabled(true);
        const QSize before = p.size();
        c.set(p);
        EXPECT_NE(p.size(), before);
        EXPECT_EQ(p.size(), p.sizeHint());
    }
}

} // namespace
