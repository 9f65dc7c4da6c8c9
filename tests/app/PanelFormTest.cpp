// SPDX-License-Identifier: MIT
// Both windows stand on the styled panel with the classic look.
#include "AdvPanel.h"
#include "Fakes.h"
#include "_manualUnit.h"

#include <gtest/gtest.h>

using namespace AdvPanel;

namespace {

// The whole client area in button face with a one-pixel raised edge.
void ExpectClassicEdge(QWidget& panel)
{
    const QImage image = panel.grab().toImage();
    const int w = panel.width();
    const int h = panel.height();
    // The grab has the screen's density; a window pixel is read at its middle.
    const double scale = image.devicePixelRatio();
    auto at = [&image, scale](int x, int y) {
        return QColorToColor(image.pixelColor(int((x + 0.5) * scale), int((y + 0.5) * scale)));
    };
    const TColor light = ColorToRGB(clBtnHighlight);
    const TColor shadow = ColorToRGB(clBtnShadow);
    EXPECT_EQ(at(0, 0), light);
    EXPECT_EQ(at(w - 2, 0), light);
    EXPECT_EQ(at(w - 1, 0), shadow);
    EXPECT_EQ(at(0, h - 2), light);
    EXPECT_EQ(at(0, h - 1), shadow);
    EXPECT_EQ(at(w - 1, h / 2), shadow);
    EXPECT_EQ(at(w / 2, h - 1), shadow);
    EXPECT_EQ(at(1, 1), ColorToRGB(clBtnFace));
}

TEST(PanelForms, MainWindowPanelIsStyledByTheClassicStyler)
{
    Sandbox box;
    T_mainForm& form = box.start();
    TAdvPanel* panel = form.MainAdvPanel;
    ASSERT_NE(form.MainAdvPanelStyler, nullptr);
    EXPECT_EQ(form.MainAdvPanelStyler->objectName(), QStringLiteral("MainAdvPanelStyler"));
    EXPECT_EQ(panel->Styler(), form.MainAdvPanelStyler);
    EXPECT_EQ(form.MainAdvPanelStyler->Style(), psClassic);
    EXPECT_EQ(panel->Align(), alClient);
    EXPECT_EQ(panel->BevelOuter(), bvRaised);
    EXPECT_EQ(panel->BorderColor(), clGray);
    EXPECT_FALSE(panel->Caption()->Visible());
    EXPECT_FALSE(panel->CanSize());
    EXPECT_EQ(panel->Version(), QStringLiteral("1.9.0.2"));
    ExpectClassicEdge(*panel);
}

TEST(PanelForms, DialogPanelHasTheSameLookWithoutStyler)
{
    T_manualForm dialog;
    EXPECT_EQ(dialog.MainAdvPanel->Styler(), nullptr);
    EXPECT_EQ(dialog.MainAdvPanel->geometry(), QRect(0, 0, 412, 83));
    EXPECT_EQ(dialog.MainAdvPanel->ShadowOffset(), 0);
    EXPECT_EQ(dialog.MainAdvPanel->Caption()->Indent(), 2);
    ExpectClassicEdge(*dialog.MainAdvPanel);
}

} // namespace
