// SPDX-License-Identifier: MIT
#pragma once

#include "Canvas.h"
#include "Font.h"
#include "HTMLPicture.h"
#include "HTMLabelAccessible.h"
#include "HTMLabelGeometry.h"
#include "MarkupEngine.h"
#include "MarkupHitMap.h"
#include "Rect.h"

#include <QPixmap>
#include <QPoint>
#include <QSize>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

class QPainter;
class TImageList;
class TMeasureCanvas;
class THTMLabelMeasureCache;

// Everything that places the label's text; equal values lay it out the same way.
struct THTMLabelLayout {
    QString text; // the markup drawn
    quint64 textGeneration = 0; // changes with the text and with its picture sources
    TFont font; // the base font, in the window text colour
    QSize size; // client size
    bool autoSizing = false;
    bool sizesWidth = false; // auto-sizing sets the width to the text's
    bool sizesHeight = false;
    HTMLabelGeometry::VAlign valign = HTMLabelGeometry::VAlign::Top;
    HTMLabelGeometry::FrameSettings frames;
    bool ellipsis = false;
    int lineSpacing = 0;
    TImageList* images = nullptr;
    TPictureContainer* container = nullptr;
    bool operator==(const THTMLabelLayout&) const = default;
};

// Everything a paint of the label depends on besides the point under the mouse.
struct THTMLabelLook {
    enum class Gradient { FullHorizontal, FullVertical, BottomLine, CenterLine, TopLine };

    THTMLabelLayout layout;
    HTMLabelGeometry::FrameColors colors; // the background colour and the single border's
    TColor colorTo = clNone;
    Gradient gradient = Gradient::FullHorizontal;
    int lineWidth = 0; // height of the line gradients' band
    TColor urlColor = clNone;
    TColor shadowColor = clNone;
    int shadowOffset = 0;
    bool hover = false;
    TColor hoverColor = clNone;
    TColor hoverFontColor = clNone;
    int hoverLink = -1; // 1-based anchor under the mouse, -1 when none
    bool transparent = false;
    bool updating = false; // frames and text are not painted
    qreal devicePixelRatio = 1.0; // of the widget, for a painter without a device
    bool operator==(const THTMLabelLook&) const = default;
};

// The HTML label's rendering without the widget: placement of the text within the frames, painting
// (kept as a picture that is shown again while nothing that shows changes), hit testing (answered
// from a map of the anchors while the layout stays the same), measurement and printing. It keeps
// the caches behind them and the label's picture cache. The label describes itself in a layout
// (all that hit tests and measurements depend on) or, for painting, a look.
class THTMLabelRenderer {
public:
    THTMLabelRenderer();
    ~THTMLabelRenderer();
    THTMLabelRenderer(const THTMLabelRenderer&) = delete;
    THTMLabelRenderer& operator=(const THTMLabelRenderer&) = delete;

    // Pictures loaded from "://" sources.
    THTMLPictureCache& PictureCache() { return m_pictures; }

    // Paints the label onto `target`; `hit` is the point under the mouse (an image inside a hovered
    // anchor shows its ALT picture). Returns the size auto-sizing asks for when the text was laid
    // out, nothing when the label showed its kept picture or did not paint its text.
    // Only `exposed` is painted (all of the label when it is empty): a tall label in a small window
    // needs no picture of its whole height.
    std::optional<QSize> Paint(
        const THTMLabelLook& look, QPainter& target, QPoint hit, const QRect& exposed = QRect());
    // Draws the text onto `canvas` in `rect` with the canvas's font, for printing.
    void Print(const THTMLabelLook& look, TCanvas& canvas, const TRect& rect);

    // The size auto-sizing asks for (the current size in the directions it does not size).
    QSize AutoSize(const THTMLabelLayout& layout, QPoint hit);
    // Size of the text laid out at most `maxWidth` pixels wide and 4096 high.
    QSize TextSize(const THTMLabelLayout& layout, int maxWidth);

    struct Hit {
        QString target;
        int number = -1; // 1-based, -1 when none
        TRect rect { -1, -1, -1, -1 };
    };
    // The anchor at a client point, the text laid out exactly as a paint lays it out.
    Hit AnchorAt(const THTMLabelLayout& layout, int x, int y);
    // Every anchor in text order, laid out as a paint lays it out (for assistive technology).
    std::vector<THTMLabelAnchor> Anchors(const THTMLabelLayout& layout);
    // Answering hit tests from the map of the anchors (on by default); off, every hit test lays the
    // text out again. The answers are the same either way.
    void setHitCaching(bool on);
    bool AnswersFromMap() const { return m_hitCaching && m_hitMap.Usable(); }

private:
    enum class Call { Draw, Layout, Print };
    struct Placement {
        TRect rect; // where the text is laid out
        QSize autoSize; // the size auto-sizing asks for (the current size when it asks nothing)
    };
    struct PaintKey {
        THTMLabelLook look;
        qint64 appPalette = 0; // system colours resolve through it
        qreal dpr = 1.0;
        QRect area; // the part of the label painted
        bool operator==(const PaintKey&) const = default;
    };

    // The engine's inputs for one call on `rect`. Colours and hover come from `look`; without one
    // (layout calls, and the drawing pass that only records where the runs go) they are left at the
    // engine's defaults, which place nothing differently.
    TMarkupParams Params(const THTMLabelLayout& layout, const TRect& rect, Call call, QPoint hit = QPoint(),
        const THTMLabelLook* look = nullptr);
    // Text rectangle for `layout`; measures the text when auto-sizing or alignment needs it (reusing
    // the last measurement when `reuse` and nothing that shapes the layout changed).
    Placement Place(const THTMLabelLayout& layout, TCanvas& canvas, QPoint hit, bool reuse);
    TMarkupResult HitTest(const THTMLabelLayout& layout, const TRect& rect, int x, int y);
    void BuildHitMap(const THTMLabelLayout& layout, const TRect& rect);
    // Whether the text has image or page tags, whose pictures the kept picture cannot follow.
    bool HoldsPictures(const QString& text);
    void PaintBackground(const THTMLabelLook& look, TCanvas& canvas, const TRect& client);
    static void PaintFrames(const HTMLabelGeometry::Frames& frames, TColor borderColor, TCanvas& canvas);
    // Measures without drawing, remembering what it measured; its font is the layout's.
    TCanvas& MeasureCanvas(const THTMLabelLayout& layout);

    THTMLPictureCache m_pictures;
    std::unique_ptr<TMeasureCanvas> m_measureCanvas;
    std::unique_ptr<THTMLabelMeasureCache> m_measureCache;
    THTMLabelLayout m_measuredLayout; // what m_measuredSize was measured for
    QSize m_measuredSize;
    bool m_hasMeasure = false;
    bool m_hitCaching = true;
    bool m_hitMapBuilt = false;
    THTMLabelLayout m_hitMapLayout; // what m_hitMap was built for
    TMarkupHitMap m_hitMap;
    QString m_scannedText; // the text m_holdsPictures was found for
    bool m_holdsPictures = false;
    QPixmap m_buffer; // off-screen paint buffer, kept between paints
    PaintKey m_bufferKey; // what the buffer shows
    bool m_bufferValid = false;
    bool m_paintedBefore = false;
};
