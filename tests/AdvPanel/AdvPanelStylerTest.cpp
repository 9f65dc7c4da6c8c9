// SPDX-License-Identifier: MIT
// The styler and its settings: notification rules, presets, loading order, bound panels, themes.
#include "AdvPanelStyler.h"
#include "AdvPanel.h"
#include "AdvPanelPresets.h"

#include <QApplication>
#include <gtest/gtest.h>

using namespace AdvPanel;

namespace {

TEST(AdvPanelSettings, WhichSettersNotify)
{
    struct Case {
        const char* name;
        std::function<void(TAdvPanelSettings&)> set;
        int notifications;
    };
    const Case cases[] = {
        { "BevelOuter always", [](auto& s) { s.setBevelOuter(s.BevelOuter()); }, 1 },
        { "ColorTo unchanged", [](auto& s) { s.setColorTo(s.ColorTo()); }, 0 },
        { "ColorTo changed", [](auto& s) { s.setColorTo(clRed); }, 1 },
        { "ColorMirrorTo changed", [](auto& s) { s.setColorMirrorTo(clRed); }, 1 },
        { "Color silently", [](auto& s) { s.setColor(clRed); }, 0 },
        { "ShadowOffset silently", [](auto& s) { s.setShadowOffset(5); }, 0 },
        { "FixedWidth silently", [](auto& s) { s.setFixedWidth(true); }, 0 },
        { "Font copied and notifies", [](auto& s) { s.setFont(TFont {}); }, 1 },
        { "StatusBar copied and notifies", [](auto& s) { s.setStatusBar(TPanelStatusBar {}); }, 1 },
        { "inside the caption", [](auto& s) { s.Caption()->setColor(clRed); }, 1 },
        { "inside the status bar", [](auto& s) { s.StatusBar()->setColor(clRed); }, 0 },
        { "inside the font", [](auto& s) { s.FontRef().Color = clRed; }, 0 },
        { "three setters in one update",
            [](auto& s) {
                s.BeginUpdate();
                s.setIndent(3);
                s.setHover(true);
                s.BeginUpdate();
                s.setCanMove(true);
                s.EndUpdate();
                s.setTopIndent(2);
                s.EndUpdate();
            },
            1 },
        { "EndUpdate without BeginUpdate", [](auto& s) { s.EndUpdate(); }, 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TAdvPanelSettings settings;
        int count = 0;
        settings.OnChange = [&count] { ++count; };
        c.set(settings);
        EXPECT_EQ(count, c.notifications);
        EXPECT_EQ(settings.UpdateCount(), 0);
    }
}

TEST(AdvPanelSettings, CreationValues)
{
    TAdvPanelSettings s;
    EXPECT_EQ(s.BevelOuter(), bvNone);
    EXPECT_EQ(s.BorderStyle(), bsSingle);
    EXPECT_EQ(s.Height(), 120);
    EXPECT_EQ(s.Width(), 0);
    EXPECT_EQ(s.CollapsColor(), clBtnFace);
    EXPECT_EQ(s.ShadowColor(), clBlack);
    EXPECT_EQ(s.ShadowOffset(), 0);
    EXPECT_EQ(s.URLColor(), clBlue);
}

TEST(PanelPresets, FirstTableAndDerivedPresets)
{
    const auto classic = *PanelPreset(psClassic);
    EXPECT_EQ(classic.BevelOuter, bvRaised);
    EXPECT_EQ(classic.BorderColor, clGray);
    EXPECT_EQ(*classic.CaptionVisible, false);
    EXPECT_TRUE(classic.StatusBarBevelInner);
    EXPECT_FALSE(classic.CaptionHeight.has_value());
    const auto xp = *PanelPreset(psXP);
    EXPECT_FALSE(xp.FontColor.has_value());
    EXPECT_EQ(xp.ColorTo, 0xE3F0F2u);
    EXPECT_TRUE(xp.BorderShadow);
    EXPECT_EQ(*xp.CaptionHeight, 20);
    const auto luna = *PanelPreset(psOffice2007Luna);
    EXPECT_EQ(luna.ColorMirrorTo, 0xFFF2E7u);
    EXPECT_EQ(*luna.StatusBarGradientDirection, gdVertical);

    const auto windowsXP = *PanelPreset(psWindowsXP);
    EXPECT_EQ(windowsXP.CaptionFontColor, clHighlightText);
    EXPECT_EQ(windowsXP.BevelOuter, bvRaised);
    EXPECT_EQ(PanelPreset(psOffice2003Classic)->ColorTo, xp.ColorTo);
    EXPECT_FALSE(PanelPreset(psCustom).has_value());

    struct Main {
        TAdvPanelStyle style;
        TColor color, colorTo, mirror, border;
        bool shadow;
        TColor caption, captionTo;
    };
    const Main mains[] = {
        { psOffice2003Olive, 0xCFF0EA, 0x8CC0B1, clNone, clGray, false, 0xC6EFE7, 0x94BDB5 },
        { psOffice2003Silver, 0xECE2E1, 0xB39698, clNone, clGray, false, 0xEFE7E7, 0xAA8888 },
        { psOffice2007Obsidian, 0xCFC6C1, 0xC5BBB4, 0xC5BBB4, 0xFFD2AF, false, 0xB8B8B6, 0xA0A09E },
        { psOffice2007Silver, 0xF9F5F3, 0xE7DCD5, 0xE7DCD5, 0xFFD2AF, false, 0xF8F7F6, 0xE8E0DB },
        { psWhidbey, clWhite, 0xE3F0F2, clNone, clGray, true, 0xF3F7F8, 0xACC3C3 },
        { psWindowsVista, 0xFDF8F1, 0xFCEFD5, clNone, 0xFDDE99, false, 0xFDF8F1, 0xFCEFD5 },
        { psWindows7, 0xFDFBFA, 0xFDF3EB, clNone, 0xFFD2AF, false, 0xFCEBDC, 0xFCDBC1 },
        { psTerminal, clBtnFace, clNone, clNone, clGray, false, clSilver, clNone },
        { psOrvane, clWhite, 0xE4E4E4, clNone, clGray, true, clWhite, clNone },
    };
    for (const Main& m : mains) {
        SCOPED_TRACE(int(m.style));
        const TPanelPreset p = *PanelPreset(m.style);
        EXPECT_EQ(p.Color, m.color);
        EXPECT_EQ(p.ColorTo, m.colorTo);
        EXPECT_EQ(p.ColorMirror, m.mirror);
        EXPECT_EQ(p.BorderColor, m.border);
        EXPECT_EQ(p.BorderShadow, m.shadow);
        EXPECT_EQ(p.CaptionColor, m.caption);
        EXPECT_EQ(p.CaptionColorTo, m.captionTo);
        const bool vertical = m.style == psOffice2007Obsidian || m.style == psOffice2007Silver
            || m.style == psWindowsVista || m.style == psWindows7 || m.style == psTerminal;
        EXPECT_EQ(p.StatusBarGradientDirection.has_value(), vertical);
    }
    const auto orvane = *PanelPreset(psOrvane);
    EXPECT_EQ(orvane.CaptionShadeType, stRMetal);
    EXPECT_EQ(*orvane.CaptionIndent, 4);
    EXPECT_TRUE(*orvane.CaptionVisible);
    const auto terminal = *PanelPreset(psTerminal);
    EXPECT_EQ(*terminal.FontColor, clBlack);
    EXPECT_EQ(terminal.CollapsColor, clHighlight);
}

TEST(AdvPanelStyler, PresetWritesOnlyItsSettingsInOneUpdate)
{
    TAdvPanelStyler styler;
    EXPECT_EQ(styler.Style(), psXP);
    EXPECT_EQ(styler.Settings()->Color(), clWhite);
    styler.Settings()->setIndent(7);
    styler.Settings()->FontRef().Color = clRed;
    int count = 0;
    styler.Settings()->OnChange = [&count] { ++count; };
    styler.setStyle(psClassic);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(styler.Settings()->Indent(), 7);
    EXPECT_EQ(styler.Settings()->Font().Color, clWindowText);
    EXPECT_EQ(styler.Settings()->Caption()->Height(), 20); // kept from psXP
    styler.setStyle(psXP);
    EXPECT_EQ(styler.Settings()->Font().Color, clWindowText); // psXP leaves the font colour
    styler.setStyle(psCustom);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(styler.Settings()->Color(), clWhite);
}

TEST(AdvPanelStyler, ComponentStyleInterface)
{
    TAdvPanelStyler styler;
    auto* style = qobject_cast<IComponentStyle*>(&styler);
    ASSERT_NE(style, nullptr);
    style->SetComponentStyle(tsWhidbey);
    EXPECT_EQ(styler.Style(), psWhidbey);
    style->SetComponentStyle(tsCustom);
    EXPECT_EQ(styler.Style(), psWhidbey);
    style->SetComponentStyle(tsOffice2003Olive);
    EXPECT_EQ(styler.Style(), psOffice2003Olive);
}

TEST(AdvPanelStyler, UpdatesOnlyThePanelsOfItsOwnerThatNameIt)
{
    QWidget form;
    auto* styler = new TAdvPanelStyler(&form);
    auto* other = new TAdvPanelStyler(&form);
    auto* a = new TAdvPanel(&form);
    auto* b = new TAdvPanel(a); // nested panels belong to the same window
    auto* c = new TAdvPanel(&form);
    a->SetStyler(styler);
    b->SetStyler(styler);
    c->SetStyler(other);
    EXPECT_EQ(a->Color(), clWhite); // psXP applied at once outside loading
    styler->setStyle(psOffice2003Blue);
    EXPECT_EQ(a->Color(), 0xFDEADAu);
    EXPECT_EQ(b->Color(), 0xFDEADAu);
    EXPECT_EQ(c->Color(), clWhite);
    styler->Settings()->setColor(clRed); // stored without notification
    EXPECT_EQ(a->Color(), 0xFDEADAu);
    styler->Settings()->setIndent(3);
    EXPECT_EQ(a->Color(), clRed);
}

struct CountingPanel : TAdvPanel {
    using TAdvPanel::TAdvPanel;
    std::vector<bool> appliedWhileStylerLoads; // one entry per ApplySettings
    void ApplySettings(const TAdvPanelSettings& settings) override
    {
        appliedWhileStylerLoads.push_back(Styler()->Settings()->Indent() == 4);
        TAdvPanel::ApplySettings(settings);
    }
};

TEST(AdvPanelStyler, LoadingOrderAppliesInThePanelsLoadedAndOnceMore)
{
    QWidget form;
    CountingPanel* panel = nullptr;
    LoadForm([&] {
        panel = new CountingPanel(&form);
        auto* styler = new TAdvPanelStyler(&form);
        styler->Settings()->setIndent(4);
        styler->setStyle(psOffice2003Blue);
        panel->SetStyler(styler);
        EXPECT_EQ(panel->Color(), clBtnFace); // nothing before the panel's Loaded
        EXPECT_TRUE(panel->appliedWhileStylerLoads.empty());
    });
    // Once in the panel's Loaded, once more in the styler's.
    EXPECT_EQ(panel->appliedWhileStylerLoads.size(), 2u);
    EXPECT_EQ(panel->Color(), 0xFDEADAu);
    EXPECT_EQ(panel->Indent(), 4);
}

TEST(AdvPanelStyler, AssignTakesSettingsCommentsAndStyle)
{
    TAdvPanelStyler source;
    source.setStyle(psOffice2007Luna);
    source.setComments(QStringLiteral("c"));
    source.setAutoThemeAdapt(true);
    source.Settings()->setIndent(9);
    TAdvPanelStyler target;
    target.Assign(&source);
    EXPECT_EQ(target.Style(), psOffice2007Luna);
    EXPECT_EQ(target.Comments(), QStringLiteral("c"));
    EXPECT_TRUE(target.AutoThemeAdapt());
    EXPECT_EQ(target.Settings()->Indent(), 9);
    QObject notAStyler;
    target.Assign(&notAStyler);
    EXPECT_EQ(target.Style(), psOffice2007Luna);
}

TEST(AdvPanelStyler, ThemeChangesFollowTheSchemeOnlyWithAutoThemeAdapt)
{
    QWidget form;
    TAdvPanelStyler styler(&form);
    EXPECT_EQ(styler.NotifierWindow()->parentWidget(), &form);
    TThemeScheme scheme = TThemeScheme::Olive;
    styler.ThemeQuery = [&scheme] { return scheme; };
    styler.setStyle(psFlat);
    QApplication::setPalette(QApplication::palette()); // no change, no event
    QPalette changed = QApplication::palette();
    changed.setColor(QPalette::Window, Qt::darkGreen);
    const QPalette saved = QApplication::palette();
    QApplication::setPalette(changed);
    EXPECT_EQ(styler.Style(), psFlat);
    styler.setAutoThemeAdapt(true);
    QApplication::setPalette(saved);
    EXPECT_EQ(styler.Style(), psOffice2003Olive);
    scheme = TThemeScheme::None;
    styler.ThemeChanged();
    EXPECT_EQ(styler.Style(), psXP);
    scheme = TThemeScheme::Blue;
    styler.ThemeChanged();
    EXPECT_EQ(styler.Style(), psOffice2003Blue);
}

} // namespace
