// SPDX-License-Identifier: MIT
#pragma once

#include "Canvas.h"
#include "Color.h"
#include "ControlTypes.h"
#include "Font.h"
#include "HTMLPicture.h"
#include "HTMLabelAccessible.h"
#include "HTMLabelStrings.h"
#include "ImageList.h"
#include "Loadable.h"
#include "Rect.h"

#include <QPointer>
#include <QSize>
#include <QStringList>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QPainter;
class THTMLabelRenderer;
struct THTMLabelLayout;
struct THTMLabelLook;

// A label that shows mini-markup. It paints on its parent's background (nothing of its own unless it
// is opaque, then its Color or the Color-to-ColorTo gradient), with optional line gradients, bevels
// and borders; sizes itself to its text when AutoSizing is on; shows the hand cursor over anchors and
// reports them through the On... events; a click on an anchor whose target holds "://" or "mailto:"
// opens it. Coordinates are client pixels; colours are TColor values (0x00BBGGRR, system, clNone).
class THTMLabel : public QWidget, public TLoadable {
    Q_OBJECT
    Q_PROPERTY(bool AnchorHint READ AnchorHint WRITE setAnchorHint NOTIFY hintsChanged)
    Q_PROPERTY(bool AutoSizing READ AutoSizing WRITE setAutoSizing NOTIFY autoSizingChanged)
    Q_PROPERTY(TAutoSizeType AutoSizeType READ AutoSizeType WRITE setAutoSizeType NOTIFY autoSizingChanged)
    Q_PROPERTY(ControlTypes::TAlign Align READ Align WRITE setAlign NOTIFY appearanceChanged)
    Q_PROPERTY(
        ControlTypes::TBevelCut BevelInner READ BevelInner WRITE setBevelInner NOTIFY appearanceChanged)
    Q_PROPERTY(
        ControlTypes::TBevelCut BevelOuter READ BevelOuter WRITE setBevelOuter NOTIFY appearanceChanged)
    Q_PROPERTY(int BevelWidth READ BevelWidth WRITE setBevelWidth NOTIFY appearanceChanged)
    Q_PROPERTY(uint BorderColor READ BorderColor WRITE setBorderColor NOTIFY appearanceChanged)
    Q_PROPERTY(
        ControlTypes::TBorderStyle BorderStyle READ BorderStyle WRITE setBorderStyle NOTIFY appearanceChanged)
    Q_PROPERTY(int BorderWidth READ BorderWidth WRITE setBorderWidth NOTIFY appearanceChanged)
    Q_PROPERTY(uint Color READ Color WRITE setColor NOTIFY appearanceChanged)
    Q_PROPERTY(uint ColorTo READ ColorTo WRITE setColorTo NOTIFY appearanceChanged)
    Q_PROPERTY(bool Ellipsis READ Ellipsis WRITE setEllipsis NOTIFY appearanceChanged)
    Q_PROPERTY(TGradientType GradientType READ GradientType WRITE setGradientType NOTIFY appearanceChanged)
    Q_PROPERTY(bool HintShowFull READ HintShowFull WRITE setHintShowFull NOTIFY hintsChanged)
    Q_PROPERTY(bool Hover READ Hover WRITE setHover NOTIFY appearanceChanged)
    Q_PROPERTY(uint HoverColor READ HoverColor WRITE setHoverColor NOTIFY appearanceChanged)
    Q_PROPERTY(uint HoverFontColor READ HoverFontColor WRITE setHoverFontColor NOTIFY appearanceChanged)
    Q_PROPERTY(bool HTMLHint READ HTMLHint WRITE setHTMLHint NOTIFY hintsChanged)
    Q_PROPERTY(QStringList HTMLText READ HTMLText WRITE setHTMLText NOTIFY htmlTextChanged)
    Q_PROPERTY(TImageList* Images READ Images WRITE setImages NOTIFY appearanceChanged)
    Q_PROPERTY(int LineSpacing READ LineSpacing WRITE setLineSpacing NOTIFY appearanceChanged)
    Q_PROPERTY(int LineWidth READ LineWidth WRITE setLineWidth NOTIFY appearanceChanged)
    Q_PROPERTY(bool ParentColor READ ParentColor WRITE setParentColor NOTIFY appearanceChanged)
    Q_PROPERTY(TPictureContainer* PictureContainer READ PictureContainer WRITE setPictureContainer NOTIFY
            appearanceChanged)
    Q_PROPERTY(uint ShadowColor READ ShadowColor WRITE setShadowColor NOTIFY appearanceChanged)
    Q_PROPERTY(int ShadowOffset READ ShadowOffset WRITE setShadowOffset NOTIFY appearanceChanged)
    Q_PROPERTY(bool Transparent READ Transparent WRITE setTransparent NOTIFY appearanceChanged)
    Q_PROPERTY(uint URLColor READ URLColor WRITE setURLColor NOTIFY appearanceChanged)
    Q_PROPERTY(
        ControlTypes::TTextVAlignment VAlignment READ VAlignment WRITE setVAlignment NOTIFY appearanceChanged)
    Q_PROPERTY(QString Version READ Version WRITE setVersion)
    Q_PROPERTY(QString Text READ Text NOTIFY htmlTextChanged)
    Q_PROPERTY(QSize HTMLSize READ HTMLSize)
    Q_PROPERTY(int HoverHyperLink READ HoverHyperLink NOTIFY hoverHyperLinkChanged)

public:
    enum TAutoSizeType { asVertical, asHorizontal, asBoth };
    Q_ENUM(TAutoSizeType)
    using TAlign = ControlTypes::TAlign;
    using enum ControlTypes::TAlign;
    using TBevelCut = ControlTypes::TBevelCut;
    using enum ControlTypes::TBevelCut;
    using TBorderStyle = ControlTypes::TBorderStyle;
    using enum ControlTypes::TBorderStyle;
    using TVAlignment = ControlTypes::TTextVAlignment;
    using enum ControlTypes::TTextVAlignment;
    enum TGradientType { gtFullHorizontal, gtFullVertical, gtBottomLine, gtCenterLine, gtTopLine };
    Q_ENUM(TGradientType)

    explicit THTMLabel(QWidget* parent = nullptr);
    ~THTMLabel() override;

    // Show the anchor target as the hint over an anchor.
    bool AnchorHint() const { return FAnchorHint; }
    void setAnchorHint(bool value);
    // Grow or shrink to the text (height and/or width as AutoSizeType and Align allow), 6 pixels more
    // than the text in each sized direction.
    bool AutoSizing() const { return FAutoSizing; }
    void setAutoSizing(bool value);
    TAutoSizeType AutoSizeType() const { return FAutoSizeType; }
    void setAutoSizeType(TAutoSizeType value);
    // Docking in the parent: top and bottom take the parent's width, left and right its height,
    // client all of it. Auto-sizing changes only the free direction.
    TAlign Align() const { return FAlign; }
    void setAlign(TAlign value);
    TBevelCut BevelInner() const { return FBevelInner; }
    void setBevelInner(TBevelCut value);
    TBevelCut BevelOuter() const { return FBevelOuter; }
    void setBevelOuter(TBevelCut value);
    // Width of each bevel in pixels (1 to 65535).
    int BevelWidth() const { return FBevelWidth; }
    void setBevelWidth(int value);
    TColor BorderColor() const { return FBorderColor; }
    void setBorderColor(TColor value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void setBorderStyle(TBorderStyle value);
    // Width of the colour frame between the bevels, and of the single border, in pixels (0 to 65535).
    int BorderWidth() const { return FBorderWidth; }
    void setBorderWidth(int value);
    // Background colour; writing it ends ParentColor. While ParentColor is on, Color reads the
    // parent's own Color property when it has one, else the parent's window colour.
    TColor Color() const;
    void setColor(TColor value);
    bool ParentColor() const { return FParentColor; }
    void setParentColor(bool value);
    // End colour of the gradients; clNone paints the full-area types in plain Color.
    TColor ColorTo() const { return FColorTo; }
    void setColorTo(TColor value);
    // One line per explicit break, cut with an ellipsis, instead of word wrapping.
    bool Ellipsis() const { return FEllipsis; }
    void setEllipsis(bool value);
    TGradientType GradientType() const { return FGradientType; }
    void setGradientType(TGradientType value);
    // Without an anchor hint: the whole text as hint (the markup with HTMLHint, else plain text).
    bool HintShowFull() const { return FHintShowFull; }
    void setHintShowFull(bool value);
    bool HTMLHint() const { return FHTMLHint; }
    void setHTMLHint(bool value);
    // Only the anchor under the mouse is underlined and takes HoverColor / HoverFontColor.
    bool Hover() const { return FHover; }
    void setHover(bool value);
    TColor HoverColor() const { return FHoverColor; }
    void setHoverColor(TColor value);
    TColor HoverFontColor() const { return FHoverFontColor; }
    void setHoverFontColor(TColor value);
    // The markup, one string per line; the label shows the lines joined with one blank. Assigning a
    // whole list runs its lines together, dropping every CR and LF, into a single line.
    QStringList HTMLText() const { return FHTMLText.Lines(); }
    void setHTMLText(const QStringList& value);
    // The line list, read-only; setHTMLLines replaces its lines as they are (shown joined by one
    // blank). Every change repaints and empties the picture cache.
    const THTMLStrings& HTMLLines() const { return FHTMLText; }
    void setHTMLLines(const QStringList& lines);
    TImageList* Images() const { return FImages; }
    void setImages(TImageList* value);
    // Extra pixels added to every line's height.
    int LineSpacing() const { return FLineSpacing; }
    void setLineSpacing(int value);
    // Height in pixels of the band of the line gradients.
    int LineWidth() const { return FLineWidth; }
    void setLineWidth(int value);
    TPictureContainer* PictureContainer() const { return FContainer; }
    void setPictureContainer(TPictureContainer* value);
    TColor ShadowColor() const { return FShadowColor; }
    void setShadowColor(TColor value);
    // Shadow displacement in pixels, both axes.
    int ShadowOffset() const { return FShadowOffset; }
    void setShadowOffset(int value);
    // Paint nothing of its own: no background, only line gradients, frames and text.
    bool Transparent() const { return FTransparent; }
    void setTransparent(bool value);
    TColor URLColor() const { return FURLColor; }
    void setURLColor(TColor value);
    TVAlignment VAlignment() const { return FVAlignment; }
    void setVAlignment(TVAlignment value);
    // Always "1.8.0.2"; writing does nothing.
    QString Version() const;
    void setVersion(const QString&) { }

    // The plain text (markup removed).
    QString Text() const;
    // Owned cache of pictures loaded from "://" sources.
    THTMLPictureCache* ImageCache() const;
    // Size of the text laid out without a width limit (within 4096 × 4096 pixels).
    QSize HTMLSize() const;
    // Size of the text laid out at most `maxWidth` pixels wide.
    QSize GetSizeWithMaxWidth(int maxWidth) const;

    // Painting is suppressed while BeginUpdate calls outnumber EndUpdate calls.
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }
    // Paints now.
    void Doit();
    // Draws the text onto `canvas` in `r` with the canvas's font, for printing (no hover, no picture
    // under the mouse, a one-pixel grey shadow).
    void HTMLPrint(TCanvas& canvas, const TRect& r);

    // Wrap every occurrence of `text` in the visible text in highlight ("hi") or error-mark ("e")
    // tags, or remove those tags again.
    void HilightText(const QString& text, bool matchCase);
    void UnHilightText();
    void MarkText(const QString& text, bool matchCase);
    void UnMarkText();

    // Target of the anchor at a client point ("" when none). Sets the hovered anchor's number and
    // rectangle (AnchorAtRect) as a side effect. Lays the text out exactly as paint does, so the hit
    // area always lies on the drawn text.
    QString AnchorAt(int x, int y);
    // AnchorAt answers from a map of the anchors kept while the layout stays the same (on by
    // default). The answers are the same either way; off, every call lays the text out again.
    void setHitCaching(bool on);
    // Whether AnchorAt answers from the map for the layout it last saw (texts with scripts, shadows,
    // rotation or pictures, an ellipsis or a negative line spacing are always laid out again).
    bool AnswersFromMap() const;
    // Rectangle of the anchor found by the last AnchorAt, (-1, -1, -1, -1) when none.
    TRect AnchorAtRect() const { return m_anchorRect; }
    // 1-based number of the anchor under the mouse, -1 when none.
    int HoverHyperLink() const { return FHoverHyperLink; }
    // Rectangle of the anchor the hover state refers to, (-1, -1, -1, -1) when none.
    TRect CurrHoverRect() const { return FCurrHoverRect; }

    // The anchors as laid out now, in text order, for assistive technology.
    std::vector<THTMLabelAnchor> Anchors();

    // Paints the label onto `painter` (the widget's own paint routine; also usable for a QImage),
    // only `exposed` of it when that is not empty.
    void PaintLabel(QPainter& painter, const QRect& exposed = QRect());
    // With AutoSizing: the size the label takes for its text; else no preference.
    QSize sizeHint() const override;

    // Events: sender first; OnAnchorHint may change the hint text.
    std::function<void(THTMLabel*, const QString& anchor)> OnAnchorClick;
    std::function<void(THTMLabel*, const QString& anchor)> OnAnchorEnter;
    std::function<void(THTMLabel*, const QString& anchor)> OnAnchorExit;
    std::function<void(THTMLabel*, QString& anchor)> OnAnchorHint;
    std::function<void(THTMLabel*)> OnMouseEnter;
    std::function<void(THTMLabel*)> OnMouseLeave;

    virtual std::uint32_t VersionNumber() const { return 0x01080002; }
    // The markup drawn: the lines of HTMLText joined with one blank.
    virtual QString DisplayText() const;

signals:
    void anchorClicked(const QString& anchor);
    void anchorEntered(const QString& anchor);
    void anchorExited(const QString& anchor);
    // The anchor under the mouse changed (AnchorAt found another one, or the mouse left).
    void hoverHyperLinkChanged(int number);
    // The markup changed, by any of its writers.
    void htmlTextChanged();
    void autoSizingChanged();
    // A property of the label's look (frames, colours, gradient, text placement, pictures) changed.
    void appearanceChanged();
    void hintsChanged();

protected:
    virtual void TextChanged();

    void Loaded() override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // What the renderer needs to know of the label for placing the text and for painting it, each
    // built in this one place.
    THTMLabelLayout TextLayout() const;
    THTMLabelLook Look() const;
    TFont CanvasFont() const;
    bool SizesWidth() const;
    bool SizesHeight() const;
    void AdjustAutoSize();
    // Stores a changed look property and repaints, or lays out again first.
    template <class T> void SetLook(T& field, const T& value);
    template <class T> void SetLayout(T& field, const T& value);
    template <class T> void SetFrame(T& field, const T& value);
    void ApplyAlign();
    void HTMLTextChanged();
    void LayoutChanged();
    void InvalidateRect(const TRect& r);
    void SetHoverHyperLink(int number);
    void RepaintHover();
    bool HasHandCursor() const;
    QPoint CursorPoint() const;

    QString FAnchor;
    bool FAutoSizing = false;
    TAutoSizeType FAutoSizeType = asVertical;
    THTMLStrings FHTMLText;
    bool FAnchorHint = false;
    QPointer<TImageList> FImages;
    QStringList m_notifiedLines; // the lines htmlTextChanged last reported
    int FUpdateCount = 0;
    TColor FURLColor = clBlue;
    TBevelCut FBevelInner = bvNone;
    TBevelCut FBevelOuter = bvNone;
    int FBevelWidth = 1;
    int FBorderWidth = 0;
    TBorderStyle FBorderStyle = bsNone;
    int FShadowOffset = 2;
    TColor FShadowColor = clGray;
    bool FHover = false;
    int FHoverHyperLink = -1;
    int FOldHoverHyperLink = -1;
    TColor FHoverColor = clNone;
    TColor FHoverFontColor = clNone;
    TVAlignment FVAlignment = tvaTop;
    bool FEllipsis = false;
    TRect FCurrHoverRect { -1, -1, -1, -1 };
    QPointer<TPictureContainer> FContainer;
    TGradientType FGradientType = gtFullHorizontal;
    TColor FBorderColor = clBlack;
    int FLineWidth = 2;
    int FLineSpacing = 0;
    bool FHTMLHint = false;
    bool FHintShowFull = false;
    QMetaObject::Connection FILChangeLink;
    TColor FColorTo = clNone;
    TColor FColor = clBtnFace;
    bool FParentColor = true;
    bool FTransparent = false;
    TAlign FAlign = alNone;

    QString m_displayText; // DisplayText's default, kept joined
    quint64 m_textGeneration = 0; // bumped by every change of the text or of its picture sources
    TRect m_anchorRect { -1, -1, -1, -1 };
    int m_paintedHover = -1; // the hovered anchor the text was last drawn with
    bool m_adjusting = false;
    bool m_aligning = false;
    QPointer<QWidget> m_alignParent;
    // Rendering and its caches; holds the picture cache (ImageCache).
    const std::unique_ptr<THTMLabelRenderer> m_renderer;
};
