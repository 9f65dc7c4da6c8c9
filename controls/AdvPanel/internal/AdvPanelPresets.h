// SPDX-License-Identifier: MIT
#pragma once

#include "AdvPanelTypes.h"
#include "Color.h"

#include <optional>

class TAdvPanelSettings;

// The values a style preset writes into panel settings; an empty optional is a setting the preset
// leaves alone.
struct TPanelPreset {
    TColor Color;
    TColor ColorTo;
    TColor ColorMirror;
    TColor ColorMirrorTo;
    std::optional<TColor> FontColor;
    AdvPanel::TBevelCut BevelInner;
    AdvPanel::TBevelCut BevelOuter;
    TColor BorderColor;
    bool BorderShadow;
    AdvPanel::TBorderStyle BorderStyle;
    TColor CollapsColor;
    TColor CaptionColor;
    TColor CaptionColorTo;
    AdvPanel::TGradientDirection CaptionGradientDirection;
    TColor CaptionFontColor;
    AdvPanel::TShadeType CaptionShadeType;
    std::optional<int> CaptionShadeGrain;
    std::optional<int> CaptionShadeLight;
    std::optional<bool> CaptionVisible;
    std::optional<int> CaptionHeight;
    std::optional<int> CaptionIndent;
    TColor StatusBarColor;
    TColor StatusBarColorTo;
    std::optional<AdvPanel::TGradientDirection> StatusBarGradientDirection;
    TColor StatusBarBorderColor;
    AdvPanel::TBorderStyle StatusBarBorderStyle;
    bool StatusBarBevelInner;
    TColor StatusBarFontColor;
};

// The preset of `style`; none for psCustom, which writes nothing.
std::optional<TPanelPreset> PanelPreset(AdvPanel::TAdvPanelStyle style);

// Writes the preset of `style` into `settings` inside one update, so that bound panels are updated
// once (also for psCustom, which changes nothing).
void ApplyPanelPreset(TAdvPanelSettings& settings, AdvPanel::TAdvPanelStyle style);
