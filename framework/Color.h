// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QPalette>
#include <cstdint>

// A colour as the controls store it: 0x00BBGGRR for a plain colour, 0xFF0000nn for the
// system colour with Windows index nn, clNone for "no colour at all".
using TColor = std::uint32_t;

constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clSkyBlue = 0xF0CAA6;

constexpr TColor clSystemColor = 0xFF000000;
constexpr TColor clScrollBar = 0xFF000000;
constexpr TColor clBackground = 0xFF000001;
constexpr TColor clActiveCaption = 0xFF000002;
constexpr TColor clInactiveCaption = 0xFF000003;
constexpr TColor clMenu = 0xFF000004;
constexpr TColor clWindow = 0xFF000005;
constexpr TColor clWindowFrame = 0xFF000006;
constexpr TColor clMenuText = 0xFF000007;
constexpr TColor clWindowText = 0xFF000008;
constexpr TColor clCaptionText = 0xFF000009;
constexpr TColor clActiveBorder = 0xFF00000A;
constexpr TColor clInactiveBorder = 0xFF00000B;
constexpr TColor clAppWorkSpace = 0xFF00000C;
constexpr TColor clHighlight = 0xFF00000D;
constexpr TColor clHighlightText = 0xFF00000E;
constexpr TColor clBtnFace = 0xFF00000F;
constexpr TColor clBtnShadow = 0xFF000010;
constexpr TColor clGrayText = 0xFF000011;
constexpr TColor clBtnText = 0xFF000012;
constexpr TColor clInactiveCaptionText = 0xFF000013;
constexpr TColor clBtnHighlight = 0xFF000014;
constexpr TColor cl3DDkShadow = 0xFF000015;
constexpr TColor cl3DLight = 0xFF000016;
constexpr TColor clInfoText = 0xFF000017;
constexpr TColor clInfoBk = 0xFF000018;
constexpr TColor clHotLight = 0xFF00001A;
constexpr TColor clGradientActiveCaption = 0xFF00001B;
constexpr TColor clGradientInactiveCaption = 0xFF00001C;
constexpr TColor clMenuHighlight = 0xFF00001D;
constexpr TColor clMenuBar = 0xFF00001E;

constexpr bool IsSystemColor(TColor c)
{
    return (c & 0xFF000000u) == clSystemColor;
}

// Plain 0x00BBGGRR value of a colour; system colours are resolved through `palette`
// (the application palette when none is given). clNone and clDefault pass through unchanged.
TColor ColorToRGB(TColor color, const QPalette* palette = nullptr);

// The colour as Qt draws it (system colours resolved as above; clNone gives a transparent QColor).
QColor ColorToQColor(TColor color, const QPalette* palette = nullptr);

// 0x00BBGGRR of a Qt colour (alpha dropped).
TColor QColorToColor(const QColor& color);

constexpr TColor RGBColor(int r, int g, int b)
{
    return TColor(r & 0xFF) | (TColor(g & 0xFF) << 8) | (TColor(b & 0xFF) << 16);
}
constexpr int RedOf(TColor c)
{
    return int(c & 0xFF);
}
constexpr int GreenOf(TColor c)
{
    return int((c >> 8) & 0xFF);
}
constexpr int BlueOf(TColor c)
{
    return int((c >> 16) & 0xFF);
}
