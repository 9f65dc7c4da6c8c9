// SPDX-License-Identifier: MIT
// The panel's behaviour: values at creation, anchors, settings taken from a styler, references,
// sizes.
#include "AdvPanel.h"
#include "RecordingShell.h"

#include <QTest>
#include <gtest/gtest.h>
#include <memory>

using namespace AdvPanel;

namespace {

TEST(AdvPanel, CreationValuesAndVersion)
{
    TAdvPanel panel;
    EXPECT_EQ(panel.size(), QSize(185, 41));
    EXPECT_EQ(panel.Color(), clBtnFace);
    EXPECT_EQ(panel.BevelOuter(), bvRaised);
    EXPECT_EQ(panel.BorderColor(), clBlack);
    EXPECT_EQ(panel.ShadowOffset(), 2);
    EXPECT_EQ(panel.CollapsColor(), clGray);
    EXPECT_EQ(panel.CollapsDelay(), 20);
    EXPECT_TRUE(panel.Buffered());
    EXPECT_TRUE(panel.AutoHideChildren());
    EXPECT_EQ(panel.Caption()->Height(), 20);
    EXPECT_EQ(panel.Caption()->Color(), clHighlight);
    EXPECT_EQ(panel.Caption()->Font().Color, clHighlightText);
    EXPECT_EQ(panel.StatusBar()->Height(), 18);
    EXPECT_EQ(panel.StatusBar()->Font().Name, QStringLiteral("Tahoma"));
    EXPECT_EQ(panel.Position()->Location(), clRegistry);
    EXPECT_TRUE(panel.AutoSize()->Height() && panel.AutoSize()->Width() && !panel.AutoSize()->Enabled());
    panel.setVersion(QStringLiteral("9.9.9.9"));
    EXPECT_EQ(panel.Version(), QStringLiteral("1.9.0.2"));
    panel.Caption()->setShadeLight(10);
    EXPECT_EQ(panel.Caption()->ShadeLight(), 200);
}

struct AnchorPanel : ::testing::Test {
    TAdvPanel panel;
    RecordingShell shell;
    QStringList clicked, entered, exited;
    AnchorPanel()
    {
        panel.resize(300, 60);
        panel.setText(QStringLiteral("<A href=\"mailto:a@b.example\">mail</A> "
                                     "<A href=\"help\">help</A> plain"));
        panel.OnAnchorClick = [this](TCustomAdvPanel*, const QString& a) { clicked << a; };
        panel.OnAnchorEnter = [this](TCustomAdvPanel*, const QString& a) { entered << a; };
        panel.OnAnchorExit = [this](TCustomAdvPanel*, const QString& a) { exited << a; };
        panel.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&panel));
    }
    // A client point on the first drawn anchor called `name` (the text is laid out from (2, 2)).
    QPoint PointOn(const char* target)
    {
        for (int x = 2; x < 300; x += 2) {
            if (panel.AnchorAt(x, 8) == QLatin1String(target))
                return { x, 8 };
        }
        ADD_FAILURE() << "no anchor " << target;
        return {};
    }
};

TEST_F(AnchorPanel, PressOpensWebAndMailTargetsAndReportsOthers)
{
    QTest::mouseClick(&panel, Qt::LeftButton, {}, PointOn("mailto:a@b.example"));
    EXPECT_EQ(shell.opened, QStringList { QStringLiteral("mailto:a@b.example") });
    EXPECT_TRUE(clicked.isEmpty());
    QTest::mouseClick(&panel, Qt::RightButton, {}, PointOn("help"));
    EXPECT_EQ(clicked, QStringList { QStringLiteral("help") });
    EXPECT_EQ(shell.opened.size(), 1);
    panel.OnAnchorClick = nullptr;
    QTest::mouseClick(&panel, Qt::LeftButton, {}, PointOn("help"));
    QTest::mouseClick(&panel, Qt::LeftButton, {}, QPoint(290, 50));
    EXPECT_EQ(shell.opened.size(), 1);
}

TEST_F(AnchorPanel, HoverEntersAndLeavesWithTheHandCursor)
{
    panel.setHover(true);
    // Through the window: QTest's widget move places the cursor, which reaches no window lying
    // past the screen (the panel does at twice the density).
    QTest::mouseMove(panel.windowHandle(), PointOn("help"));
    EXPECT_EQ(entered, QStringList { QStringLiteral("help") });
    EXPECT_EQ(panel.cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(panel.HoverHyperLink(), 2);
    QTest::mouseMove(panel.windowHandle(), QPoint(290, 50));
    EXPECT_EQ(exited.size(), 1);
    EXPECT_NE(panel.cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(panel.HoverHyperLink(), -1);
}

TEST(AdvPanel, HitLiesOnTheDrawnAnchorWithCaptionAndCentring)
{
    TAdvPanel panel;
    panel.resize(200, 120);
    panel.Caption()->setVisible(true);
    panel.setTextVAlign(tvaCenter);
    panel.setText(QStringLiteral("<A href=\"x\">anchor</A>"));
    // The text lies where paint puts it: top 19 + 18, centred in the rest.
    const TRect area = PanelGeometry::AlignText(
        panel.CurrentLayout(), PanelGeometry::TextArea(panel.CurrentLayout()), 13, tvaCenter);
    bool found = false;
    for (int y = 0; y < 120 && !found; ++y)
        found = panel.AnchorAt(10, y) == QLatin1String("x");
    ASSERT_TRUE(found);
    EXPECT_GE(panel.AnchorRect().Top, area.Top);
}

TEST(AdvPanel, FullHeightFollowsTheSizeSetters)
{
    TAdvPanel panel;
    panel.setHeight(90);
    EXPECT_EQ(panel.FullHeight(), 90);
    panel.setWidth(70);
    EXPECT_EQ(panel.FullHeight(), 90);
    panel.Caption()->setPosition(cpLeft);
    panel.setWidth(60);
    EXPECT_EQ(panel.FullHeight(), 60);
}

TEST(AdvPanel, ReferencesClearWhenTheOtherComponentGoes)
{
    TAdvPanel panel;
    auto images = std::make_unique<TImageList>();
    auto container = std::make_unique<TPictureContainer>();
    auto styler = std::make_unique<TAdvPanelStyler>();
    panel.setImages(images.get());
    panel.setPictureContainer(container.get());
    panel.SetStyler(styler.get());
    images.reset();
    container.reset();
    styler.reset();
    EXPECT_EQ(panel.Images(), nullptr);
    EXPECT_EQ(panel.PictureContainer(), nullptr);
    EXPECT_EQ(panel.Styler(), nullptr);
}

TEST(AdvPanel, ApplySettingsKeepsButtonsSizeTextAndCollapsedState)
{
    TAdvPanel panel;
    panel.resize(150, 70);
    panel.setText(QStringLiteral("own"));
    panel.Caption()->setCloseButton(true);
    panel.Caption()->setText(QStringLiteral("caption"));
    TAdvPanelSettings settings;
    settings.setColor(clRed);
    settings.setBevelOuter(bvLowered);
    settings.setHeight(300);
    settings.setText(QStringLiteral("styled"));
    settings.setCollaps(true);
    settings.Caption()->setMinMaxButton(true);
    settings.Caption()->setColor(clBlue);
    settings.Caption()->setText(QStringLiteral("settings caption"));
    settings.StatusBar()->setColor(clYellow);
    settings.StatusBar()->setHeight(30);
    settings.setHint(QStringLiteral("hint"));
    panel.ApplySettings(settings);
    EXPECT_EQ(panel.Color(), clRed);
    EXPECT_EQ(panel.BevelOuter(), bvLowered);
    EXPECT_EQ(panel.Caption()->Color(), clBlue);
    EXPECT_EQ(panel.StatusBar()->Color(), clYellow);
    EXPECT_TRUE(panel.Caption()->CloseButton());
    EXPECT_FALSE(panel.Caption()->MinMaxButton());
    EXPECT_EQ(panel.Caption()->Text(), QStringLiteral("caption"));
    EXPECT_EQ(panel.StatusBar()->Height(), 18);
    EXPECT_EQ(panel.size(), QSize(150, 70));
    EXPECT_EQ(panel.Text(), QStringLiteral("own"));
    EXPECT_FALSE(panel.Collaps());
    EXPECT_TRUE(panel.Hint().isEmpty());
}

TEST(AdvPanel, AssignCopiesLookTextAndHeight)
{
    TAdvPanel source;
    source.resize(120, 77);
    source.setText(QStringLiteral("t"));
    source.setColorTo(clRed);
    source.setTag(7);
    source.Caption()->setVisible(true);
    TAdvPanel target;
    target.resize(50, 20);
    target.Assign(source);
    EXPECT_EQ(target.Text(), QStringLiteral("t"));
    EXPECT_EQ(target.ColorTo(), clRed);
    EXPECT_EQ(target.Tag(), 7);
    EXPECT_TRUE(target.Caption()->Visible());
    EXPECT_EQ(target.size(), QSize(50, 77));
}

TEST(AdvPanel, ScaleChangeScalesCaptionHeightAndFont)
{
    TAdvPanel panel;
    TFont font = panel.Caption()->Font();
    font.Height = -11;
    panel.Caption()->setFont(font);
    panel.ChangeScale(3, 2);
    EXPECT_EQ(panel.Caption()->Height(), 30);
    EXPECT_EQ(panel.Caption()->Font().Height, -17);
    EXPECT_EQ(panel.size(), QSize(278, 62));
}

TEST(AdvPanel, ClientAlignedChildPanelFillsTheAreaLeftByCaptionAndStatusBar)
{
    TAdvPanel parent;
    parent.resize(200, 100);
    parent.Caption()->setVisible(true);
    parent.StatusBar()->setVisible(true);
    auto* child = new TAdvPanel(&parent);
    child->setAlign(alClient);
    parent.show();
    EXPECT_EQ(child->geometry(), QRect(1, 18, 198, 64));
    parent.resize(300, 100);
    EXPECT_EQ(child->width(), 298);
}

} // namespace
