// SPDX-License-Identifier: MIT
#pragma once

#include "ControlTypes.h"
#include "Rect.h"

#include <QObject>
#include <algorithm>
#include <type_traits>

// The enumerations shared by the styled panel, its settings objects, the styler and the panel group,
// and the helpers their generated setters use.
namespace AdvPanel {
Q_NAMESPACE

// Bevels, borders, alignment and vertical text placement are the ones every control shares.
using namespace ControlTypes;
enum TGradientDirection { gdVertical, gdHorizontal };
Q_ENUM_NS(TGradientDirection)
enum TBackGroundPosition {
    bpTopLeft,
    bpTopRight,
    bpBottomLeft,
    bpBottomRight,
    bpTiled,
    bpStretched,
    bpCenter
};
Q_ENUM_NS(TBackGroundPosition)
enum TCaptionPosition { cpTop, cpLeft };
Q_ENUM_NS(TCaptionPosition)
enum TCaptionShape { csRectangle, csRounded, csSemiRounded };
Q_ENUM_NS(TCaptionShape)
enum TShadeType {
    stNormal,
    stNoise,
    stDiagShade,
    stHShade,
    stVShade,
    stHBump,
    stVBump,
    stSoftBump,
    stHardBump,
    stLMetal,
    stRMetal,
    stIRadial,
    stORadial,
    stHShadeInv,
    stVShadeInv,
    stXPCaption,
    stBitmap,
    stBitmapRStretch,
    stBitmapLStretch
};
Q_ENUM_NS(TShadeType)
enum TCaptionButtonPosition { cbpRight, cbpLeft };
Q_ENUM_NS(TCaptionButtonPosition)
enum TPanelPositionLocation { clRegistry, clInifile };
Q_ENUM_NS(TPanelPositionLocation)
enum TAdvPanelStyle {
    psXP,
    psFlat,
    psOrvane,
    psClassic,
    psOffice2003Blue,
    psOffice2003Olive,
    psOffice2003Silver,
    psOffice2003Classic,
    psOffice2007Luna,
    psOffice2007Obsidian,
    psWhidbey,
    psWindowsXP,
    psCustom,
    psOffice2007Silver,
    psWindowsVista,
    psWindows7,
    psTerminal
};
Q_ENUM_NS(TAdvPanelStyle)
enum TGroupStyle { gsVertical, gsHorizontal };
Q_ENUM_NS(TGroupStyle)

// How a settings setter raises the change notification (see TAdvPanelSettings).
enum class TNotify { Always, IfChanged, Silent };
// The range a panel setter keeps an integer in; far beyond any panel, it keeps the frame and indent
// arithmetic within int range.
enum class TBound { Any, Offset, Size, AtLeastOne };
using ::kMaxExtent;
constexpr int Bounded(TBound bound, int value)
{
    switch (bound) {
    case TBound::Offset:
        return std::clamp(value, -kMaxExtent, kMaxExtent);
    case TBound::Size:
        return std::clamp(value, 0, kMaxExtent);
    case TBound::AtLeastOne:
        return std::clamp(value, 1, kMaxExtent);
    case TBound::Any:
        break;
    }
    return value;
}
template <typename T> constexpr T Bounded(TBound, const T& value)
{
    return value;
}

// Small values are passed by value, the rest by reference.
template <typename T> using Arg = std::conditional_t<std::is_trivially_copyable_v<T>, T, const T&>;

} // namespace AdvPanel
