// SPDX-License-Identifier: MIT
#pragma once

#include "AdvPanelTypes.h"
#include "Color.h"
#include "Font.h"
#include "HTMLPicture.h"
#include "MarkupEngine.h"
#include "MarkupHitMap.h"
#include "PaintCache.h"
#include "PanelGeometry.h"
#include "Rect.h"

#include <QImage>
#include <QPoint>
#include <QString>
#include <functional>
#include <memory>

class QPainter;
class TImageList;
class TMeasureCanvas;
class TPainterCanvas;
class TPanelCaption;
class TPanelStatusBar;
class TPictureContainer;

// Everything that places the panel's text; equal values lay it out the same way.
struct TAdvPanelTextLayout {
    QString text;
    quint64 generation = 0; // changes when the image list behind IDX pictures changes
    TFont font;
    PanelGeometry::Layout geometry;
    AdvPanel::TTextVAlignment valign = AdvPanel::tvaTop;
    bool ellipsis = false;
    int lineSpacing = 0;
    int shadowOffset = 0;
    TImageList* images = nullptr;
    TPictureContainer* container = nullptr;
    bool operator==(const TAdvPanelTextLayout&) const = default;
};

// Everything a paint of the panel depends on. The caption and status bar are read where they are.
struct TAdvPanelLook {
    TAdvPanelTextLayout layout;
    QSize outer; // the widget's size
    QPoint origin; // the client area's top-left corner in the widget
    bool frame = false; // a one-pixel window frame around the widget (bsSingle)
    TColor color = clBtnFace;
    TColor colorTo = clNone;
    TColor colorMirror = clNone;
    TColor colorMirrorTo = clNone;
    bool horizontal = false; // gradient direction
    TColor borderColor = clBlack;
    AdvPanel::TBevelCut bevelOuter = AdvPanel::bvRaised;
    AdvPanel::TBevelCut bevelInner = AdvPanel::bvNone;
    const QImage* background = nullptr; // the picture behind the text; null or a null image: none
    AdvPanel::TBackGroundPosition backgroundPosition = AdvPanel::bpTopLeft;
    TColor urlColor = clBlue;
    TColor shadowColor = clGray;
    bool hover = false;
    TColor hoverColor = clNone;
    TColor hoverFontColor = clNone;
    int hoverLink = -1; // 1-based anchors under the mouse, -1 when none
    int captionHoverLink = -1;
    bool collapsed = false;
    bool sizeGrip = false;
    bool closeHover = false;
    bool minMaxHover = false;
    const TPanelCaption* caption = nullptr;
    const TPanelStatusBar* statusBar = nullptr;
};

// The styled panel's rendering without the widget: painting (background, border, bevels, picture,
// text, caption and status bars, size grip), the caption buttons and hit testing. It keeps what a
// paint or a mouse move would otherwise compute again: the text's placement, a map of the anchors
// of the text and of the caption while their layout stays the same, the shaded caption picture and
// the bars' gradients and buttons.
class TAdvPanelRenderer {
public:
    TAdvPanelRenderer();
    ~TAdvPanelRenderer();
    TAdvPanelRenderer(const TAdvPanelRenderer&) = delete;
    TAdvPanelRenderer& operator=(const TAdvPanelRenderer&) = delete;

    // Pictures loaded from "://" sources.
    THTMLPictureCache& PictureCache() { return m_pictures; }

    // Paints the whole panel: the window frame, then the rest translated to the client area, where
    // `after` (if any) draws last on the same canvas.
    void Paint(const TAdvPanelLook& look, QPainter& painter, const std::function<void(TCanvas&)>& after = {});

    // The caption buttons in client coordinates (empty rectangles for hidden buttons).
    static PanelGeometry::CaptionButtonRects CaptionButtons(const TAdvPanelLook& look);
    // What of the caption bar lies at a client point.
    static PanelGeometry::CaptionPart CaptionPartAt(const TAdvPanelLook& look, QPoint p);

    struct Hit {
        enum class Area { None, Caption, Text }; // what was tested: nothing, the caption or the text
        Area area = Area::None;
        QString target;
        int number = -1; // 1-based, -1 when none
        TRect rect { -1, -1, -1, -1 };
    };
    // The anchor at a client point, laid out as a paint lays it out. A point on the caption bar
    // tests the caption's text (a top caption's only), any other the panel's text.
    Hit AnchorAt(const TAdvPanelLook& look, int x, int y);
    // Whether the last hit test on the text answered from the map (texts with scripts, shadows,
    // rotation or pictures are left to the engine).
    bool TextAnsweredFromMap() const { return m_text.map.Usable(); }

    // The shaded caption picture: built for the caption's colour (CloseColor while collapsed), shade
    // and the caption band's size; again only when asked to or when the band's size changed.
    const QImage& ShadedHeader() const { return m_shadedHeader; }
    void BuildShadedHeader(const TAdvPanelLook& look);
    bool ShadedHeaderFits(const TAdvPanelLook& look) const;

    // Size of the text laid out in `area` (word wrapped whatever Ellipsis says), as auto-sizing
    // measures it.
    QSize MeasureText(const TAdvPanelLook& look, const TRect& area);

private:
    // A text laid out in one place and the map of its anchors, kept for one layout.
    struct KeptText {
        TAdvPanelTextLayout layout;
        TRect rect;
        bool built = false;
        TMarkupHitMap map;
    };

    TMarkupParams TextParams(const TAdvPanelLook& look, const TRect& rect);
    TMarkupParams CaptionParams(const TAdvPanelLook& look, const TRect& rect);
    // Where the text is laid out, after vertical alignment; measured through `canvas` only when the
    // alignment needs it and the layout changed.
    TRect PlaceText(const TAdvPanelLook& look, TCanvas& canvas);
    static TRect CaptionTextArea(const TAdvPanelLook& look);
    Hit HitTest(KeptText& kept, quint64 generation, const TMarkupParams& params, const QString& text,
        const TFont& font, int x, int y);
    TMeasureCanvas& MeasureCanvas();

    void PaintBackground(const TAdvPanelLook& look, TCanvas& canvas);
    void PaintText(const TAdvPanelLook& look, TCanvas& canvas);
    void PaintCaption(const TAdvPanelLook& look, TPainterCanvas& canvas);
    void PaintCaptionButtons(
        const TAdvPanelLook& look, TPainterCanvas& canvas, const PanelGeometry::CaptionButtonRects& buttons);
    void PaintStatusBar(const TAdvPanelLook& look, TPainterCanvas& canvas);

    THTMLPictureCache m_pictures;
    std::unique_ptr<TMeasureCanvas> m_measure;
    TAdvPanelTextLayout m_placedLayout; // what m_placed was found for
    TRect m_placed;
    bool m_hasPlaced = false;
    KeptText m_text;
    KeptText m_caption;
    QImage m_shadedHeader;
    TPaintCache m_captionGradient;
    TPaintCache m_statusGradient;
    TPaintCache m_closeButton;
    TPaintCache m_minMaxButton;
};
