// SPDX-License-Identifier: MIT
#include "AdvPanelPresets.h"

#include "AdvPanelSettings.h"

using namespace AdvPanel;

namespace {

TPanelPreset Classic()
{
    return { clBtnFace, clNone, clNone, clNone, clWindowText, bvNone, bvRaised, clGray, false, bsNone,
        clBtnFace, clWhite, clNone, gdHorizontal, clBlack, stNormal, 32, 255, false, std::nullopt,
        std::nullopt, clBtnFace, clNone, std::nullopt, clNone, bsNone, true, clBlack };
}

TPanelPreset XP()
{
    return { clWhite, 0xE3F0F2, clNone, clNone, std::nullopt, bvNone, bvNone, clGray, true, bsNone, clBtnFace,
        clHighlight, clBlue, gdHorizontal, clHighlightText, stNormal, std::nullopt, std::nullopt,
        std::nullopt, 20, 2, 0xE3F0F2, clWhite, std::nullopt, clSilver, bsSingle, false, clBlack };
}

TPanelPreset Flat()
{
    return { clBtnFace, clNone, clNone, clNone, clWindowText, bvNone, bvNone, clGray, false, bsNone,
        clBtnFace, clHighlight, clNone, gdHorizontal, clHighlightText, stNormal, std::nullopt, std::nullopt,
        std::nullopt, 20, 0, clBtnFace, clNone, std::nullopt, clSilver, bsSingle, false, clBlack };
}

TPanelPreset Office2003Blue()
{
    return { 0xFDEADA, 0xE4AE88, clNone, clNone, clWindowText, bvNone, bvNone, clGray, false, bsNone, clNone,
        0xD68759, 0x933803, gdVertical, clWhite, stNormal, 32, 255, std::nullopt, std::nullopt, std::nullopt,
        0xE08F65, 0xF9DBC4, std::nullopt, clNone, bsSingle, false, clWhite };
}

TPanelPreset Office2007Luna()
{
    return { 0xFAF1E9, 0xEDD8C7, 0xEDD8C7, 0xFFF2E7, 0x723708, bvNone, bvNone, 0xFFD2AF, false, bsNone,
        clNone, 0xFFEFE3, 0xFFD2AF, gdVertical, clBlack, stNormal, 32, 255, std::nullopt, std::nullopt,
        std::nullopt, 0xF7E3D3, 0xF5D0B3, gdVertical, 0xFFD2AF, bsSingle, false, 0x723708 };
}

// The presets built on another: its settings with their own main colours, caption text and status
// bar.
struct MainColors {
    TColor color, colorTo, mirror, mirrorTo, border;
    bool shadow;
    TColor caption, captionTo, captionFont, status, statusTo, statusBorder, statusFont;
};

TPanelPreset With(TPanelPreset p, const MainColors& m)
{
    p.Color = m.color;
    p.ColorTo = m.colorTo;
    p.ColorMirror = m.mirror;
    p.ColorMirrorTo = m.mirrorTo;
    p.BorderColor = m.border;
    p.BorderShadow = m.shadow;
    p.CaptionColor = m.caption;
    p.CaptionColorTo = m.captionTo;
    p.CaptionFontColor = m.captionFont;
    p.StatusBarColor = m.status;
    p.StatusBarColorTo = m.statusTo;
    p.StatusBarBorderColor = m.statusBorder;
    p.StatusBarFontColor = m.statusFont;
    return p;
}

TPanelPreset BlueVertical(const MainColors& m)
{
    TPanelPreset p = With(Office2003Blue(), m);
    p.StatusBarGradientDirection = gdVertical;
    return p;
}

} // namespace

std::optional<TPanelPreset> PanelPreset(TAdvPanelStyle style)
{
    switch (style) {
    case psClassic:
        return Classic();
    case psWindowsXP: {
        TPanelPreset p = Classic();
        p.CaptionFontColor = clHighlightText;
        return p;
    }
    case psXP:
    case psOffice2003Classic:
        return XP();
    case psFlat:
        return Flat();
    case psOffice2003Blue:
        return Office2003Blue();
    case psOffice2007Luna:
        return Office2007Luna();
    case psOffice2003Olive:
        return With(Office2003Blue(),
            { 0xCFF0EA, 0x8CC0B1, clNone, clNone, clGray, false, 0xC6EFE7, 0x94BDB5, clBlack, 0x94BDB5,
                0xC6EFE7, clNone, clBlack });
    case psOffice2003Silver:
        return With(Office2003Blue(),
            { 0xECE2E1, 0xB39698, clNone, clNone, clGray, false, 0xEFE7E7, 0xAA8888, clBlack, 0xAA8888,
                0xEFE7E7, clNone, clBlack });
    case psOffice2007Obsidian:
        return BlueVertical({ 0xCFC6C1, 0xC5BBB4, 0xC5BBB4, 0xECECE5, 0xFFD2AF, false, 0xB8B8B6, 0xA0A09E,
            clWhite, 0xA0A09E, 0x8C8C8A, 0xFFD2AF, clWhite });
    case psOffice2007Silver:
        return BlueVertical({ 0xF9F5F3, 0xE7DCD5, 0xE7DCD5, 0xFBFAF0, 0xFFD2AF, false, 0xF8F7F6, 0xE8E0DB,
            clBlack, 0xF3EFEC, 0xE0D6CF, 0xFFD2AF, clBlack });
    case psWindowsVista:
        return BlueVertical({ 0xFDF8F1, 0xFCEFD5, clNone, clNone, 0xFDDE99, false, 0xFDF8F1, 0xFCEFD5,
            clBlack, 0xFDF8F1, 0xFCEFD5, 0xFDDE99, clBlack });
    case psWindows7:
        return BlueVertical({ 0xFDFBFA, 0xFDF3EB, clNone, clNone, 0xFFD2AF, false, 0xFCEBDC, 0xFCDBC1,
            clBlack, 0xFDFBFA, 0xFDF3EB, 0xFFD2AF, clBlack });
    case psTerminal: {
        TPanelPreset p = BlueVertical({ clBtnFace, clNone, clNone, clNone, clGray, false, clSilver, clNone,
            clBlack, clBtnFace, clNone, clGray, clBlack });
        p.FontColor = clBlack;
        p.CollapsColor = clHighlight;
        return p;
    }
    case psWhidbey:
        return With(XP(),
            { clWhite, 0xE3F0F2, clNone, clNone, clGray, true, 0xF3F7F8, 0xACC3C3, clBlack, 0xE3F0F2, clWhite,
                clSilver, clBlack });
    case psOrvane: {
        TPanelPreset p = With(Classic(),
            { clWhite, 0xE4E4E4, clNone, clNone, clGray, true, clWhite, clNone, clBlack, clBtnFace, clNone,
                clNone, clBlack });
        p.CaptionHeight = 20;
        p.CaptionIndent = 4;
        p.CaptionVisible = true;
        p.CaptionShadeType = stRMetal;
        return p;
    }
    case psCustom:
        break;
    }
    return std::nullopt;
}

void ApplyPanelPreset(TAdvPanelSettings& s, TAdvPanelStyle style)
{
    s.BeginUpdate();
    if (const std::optional<TPanelPreset> preset = PanelPreset(style)) {
        const TPanelPreset& p = *preset;
        s.setColor(p.Color);
        s.setColorTo(p.ColorTo);
        s.setColorMirror(p.ColorMirror);
        s.setColorMirrorTo(p.ColorMirrorTo);
        if (p.FontColor)
            s.FontRef().Color = *p.FontColor;
        s.setBevelInner(p.BevelInner);
        s.setBevelOuter(p.BevelOuter);
        s.setBorderColor(p.BorderColor);
        s.setBorderShadow(p.BorderShadow);
        s.setBorderStyle(p.BorderStyle);
        s.setCollapsColor(p.CollapsColor);
        TPanelCaption& c = *s.Caption();
        c.setColor(p.CaptionColor);
        c.setColorTo(p.CaptionColorTo);
        c.setGradientDirection(p.CaptionGradientDirection);
        TFont captionFont = c.Font();
        captionFont.Color = p.CaptionFontColor;
        c.setFont(captionFont);
        c.setShadeType(p.CaptionShadeType);
        if (p.CaptionShadeGrain)
            c.setShadeGrain(*p.CaptionShadeGrain);
        if (p.CaptionShadeLight)
            c.setShadeLight(*p.CaptionShadeLight);
        if (p.CaptionVisible)
            c.setVisible(*p.CaptionVisible);
        if (p.CaptionHeight)
            c.setHeight(*p.CaptionHeight);
        if (p.CaptionIndent)
            c.setIndent(*p.CaptionIndent);
        TPanelStatusBar& b = *s.StatusBar();
        b.setColor(p.StatusBarColor);
        b.setColorTo(p.StatusBarColorTo);
        if (p.StatusBarGradientDirection)
            b.setGradientDirection(*p.StatusBarGradientDirection);
        b.setBorderColor(p.StatusBarBorderColor);
        b.setBorderStyle(p.StatusBarBorderStyle);
        b.setBevelInner(p.StatusBarBevelInner);
        TFont statusFont = b.Font();
        statusFont.Color = p.StatusBarFontColor;
        b.setFont(statusFont);
    }
    s.EndUpdate();
}
