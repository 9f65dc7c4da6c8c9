// SPDX-License-Identifier: MIT
#pragma once

#include "AdvImage.h"
#include "AdvPanelStyler.h"
#include "AdvPanelTypes.h"
#include "Color.h"
#include "Font.h"
#include "HTMLPicture.h"
#include "ImageList.h"
#include "Loadable.h"
#include "MarkupEngine.h"
#include "PanelCaption.h"
#include "PanelGeometry.h"
#include "PanelStatusBar.h"
#include "Rect.h"

#include <QCursor>
#include <QImage>
#include <QPointer>
#include <QVector>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>

class QPainter;
class TAdvPanelRenderer;
class TCanvas;
struct TAdvPanelLook;

// A container that paints a styled background for the controls placed on it: a solid or gradient
// fill (optionally mirrored), a border with an optional shadow, raised or lowered bevels, a background
// picture, mini-markup text with anchors, and a caption bar and status bar. It can take its whole look
// from a TAdvPanelStyler. Coordinates are client pixels; colours are TColor values.
//
// The widget paints straight into Qt's backing store, which already composes the panel and its
// children off-screen before anything reaches the screen: Buffered is kept as a setting but needs no
// bitmap of its own, the pixels being those of a buffered paint.
class TCustomAdvPanel : public QWidget, public TLoadable {
    Q_OBJECT
    Q_PROPERTY(QString Text READ Text WRITE setText)
    Q_PROPERTY(uint Color READ Color WRITE setColor)
    Q_PROPERTY(uint ColorTo READ ColorTo WRITE setColorTo)
    Q_PROPERTY(uint ColorMirror READ ColorMirror WRITE setColorMirror)
    Q_PROPERTY(uint ColorMirrorTo READ ColorMirrorTo WRITE setColorMirrorTo)
    Q_PROPERTY(
        AdvPanel::TGradientDirection GradientDirection READ GradientDirection WRITE setGradientDirection)
    Q_PROPERTY(uint BorderColor READ BorderColor WRITE setBorderColor)
    Q_PROPERTY(bool BorderShadow READ BorderShadow WRITE setBorderShadow)
    Q_PROPERTY(AdvPanel::TBorderStyle BorderStyle READ BorderStyle WRITE setBorderStyle)
    Q_PROPERTY(int BorderWidth READ BorderWidth WRITE setBorderWidth)
    Q_PROPERTY(AdvPanel::TBevelCut BevelOuter READ BevelOuter WRITE setBevelOuter)
    Q_PROPERTY(AdvPanel::TBevelCut BevelInner READ BevelInner WRITE setBevelInner)
    Q_PROPERTY(int BevelWidth READ BevelWidth WRITE setBevelWidth)
    Q_PROPERTY(AdvPanel::TAlign Align READ Align WRITE setAlign)
    Q_PROPERTY(
        AdvPanel::TBackGroundPosition BackgroundPosition READ BackgroundPosition WRITE setBackgroundPosition)
    Q_PROPERTY(bool Buffered READ Buffered WRITE setBuffered)
    Q_PROPERTY(int Indent READ Indent WRITE setIndent)
    Q_PROPERTY(int TopIndent READ TopIndent WRITE setTopIndent)
    Q_PROPERTY(int LineSpacing READ LineSpacing WRITE setLineSpacing)
    Q_PROPERTY(AdvPanel::TTextVAlignment TextVAlign READ TextVAlign WRITE setTextVAlign)
    Q_PROPERTY(bool Ellipsis READ Ellipsis WRITE setEllipsis)
    Q_PROPERTY(uint URLColor READ URLColor WRITE setURLColor)
    Q_PROPERTY(uint ShadowColor READ ShadowColor WRITE setShadowColor)
    Q_PROPERTY(int ShadowOffset READ ShadowOffset WRITE setShadowOffset)
    Q_PROPERTY(bool Hover READ Hover WRITE setHover)
    Q_PROPERTY(uint HoverColor READ HoverColor WRITE setHoverColor)
    Q_PROPERTY(uint HoverFontColor READ HoverFontColor WRITE setHoverFontColor)
    Q_PROPERTY(bool AnchorHint READ AnchorHint WRITE setAnchorHint)
    Q_PROPERTY(TImageList* Images READ Images WRITE setImages)
    Q_PROPERTY(TPictureContainer* PictureContainer READ PictureContainer WRITE setPictureContainer)
    Q_PROPERTY(bool Collaps READ Collaps WRITE setCollaps)
    Q_PROPERTY(uint CollapsColor READ CollapsColor WRITE setCollapsColor)
    Q_PROPERTY(int CollapsDelay READ CollapsDelay WRITE setCollapsDelay)
    Q_PROPERTY(int CollapsSteps READ CollapsSteps WRITE setCollapsSteps)
    Q_PROPERTY(bool AutoHideChildren READ AutoHideChildren WRITE setAutoHideChildren)
    Q_PROPERTY(bool CanMove READ CanMove WRITE setCanMove)
    Q_PROPERTY(bool CanSize READ CanSize WRITE setCanSize)
    Q_PROPERTY(bool ShowMoveCursor READ ShowMoveCursor WRITE setShowMoveCursor)
    Q_PROPERTY(bool FixedTop READ FixedTop WRITE setFixedTop)
    Q_PROPERTY(bool FixedLeft READ FixedLeft WRITE setFixedLeft)
    Q_PROPERTY(bool FixedHeight READ FixedHeight WRITE setFixedHeight)
    Q_PROPERTY(bool FixedWidth READ FixedWidth WRITE setFixedWidth)
    Q_PROPERTY(bool FreeOnClose READ FreeOnClose WRITE setFreeOnClose)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE setShowHint)
    Q_PROPERTY(int Tag READ Tag WRITE setTag)
    Q_PROPERTY(int Height READ Height WRITE setHeight)
    Q_PROPERTY(int Width READ Width WRITE setWidth)
    Q_PROPERTY(int FullHeight READ FullHeight WRITE setFullHeight)
    Q_PROPERTY(QString Version READ Version WRITE setVersion)

public:
    explicit TCustomAdvPanel(QWidget* parent = nullptr);
    // Width in pixels of the edges that size the panel (a window frame's sizing border at 96 dpi).
    static constexpr int kSizingFrame = 4;
    ~TCustomAdvPanel() override;

    // Mini-markup drawn inside the panel.
    QString Text() const { return FText; }
    void setText(const QString& value);
    // Solid fill, or a gradient from Color to ColorTo (in 32 bands) unless ColorTo is clNone.
    TColor Color() const { return FColor; }
    void setColor(TColor value);
    TColor ColorTo() const { return FColorTo; }
    void setColorTo(TColor value);
    // With ColorMirror set, the far half takes a second gradient from ColorMirror to ColorMirrorTo.
    TColor ColorMirror() const { return FColorMirror; }
    void setColorMirror(TColor value);
    TColor ColorMirrorTo() const { return FColorMirrorTo; }
    void setColorMirrorTo(TColor value);
    AdvPanel::TGradientDirection GradientDirection() const { return FGradientDirection; }
    void setGradientDirection(AdvPanel::TGradientDirection value);
    // Rectangle in BorderColor, drawn only when BorderWidth is positive; with clNone a one-pixel frame
    // in Color lies inside the bevel instead.
    TColor BorderColor() const { return FBorderColor; }
    void setBorderColor(TColor value);
    // Two blended lines right of and below the border.
    bool BorderShadow() const { return FBorderShadow; }
    void setBorderShadow(bool value);
    // bsSingle gives the panel a one-pixel window frame outside its client area.
    AdvPanel::TBorderStyle BorderStyle() const { return FBorderStyle; }
    void setBorderStyle(AdvPanel::TBorderStyle value);
    // Pixels between the bevels, kept free of text (0 to 65535).
    int BorderWidth() const { return FBorderWidth; }
    void setBorderWidth(int value);
    AdvPanel::TBevelCut BevelOuter() const { return FBevelOuter; }
    void setBevelOuter(AdvPanel::TBevelCut value);
    AdvPanel::TBevelCut BevelInner() const { return FBevelInner; }
    void setBevelInner(AdvPanel::TBevelCut value);
    // Rings per bevel (1 to 65535).
    int BevelWidth() const { return FBevelWidth; }
    void setBevelWidth(int value);
    // Docking in the parent (the parent panel's area left to its children when it is a panel).
    AdvPanel::TAlign Align() const { return FAlign; }
    void setAlign(AdvPanel::TAlign value);
    TAdvImage& Background() { return FBackground; }
    AdvPanel::TBackGroundPosition BackgroundPosition() const { return FBackgroundPosition; }
    void setBackgroundPosition(AdvPanel::TBackGroundPosition value);
    bool Buffered() const { return FBuffered; }
    void setBuffered(bool value) { FBuffered = value; }
    // Left and top offsets of the text in pixels.
    int Indent() const { return FIndent; }
    void setIndent(int value);
    int TopIndent() const { return FTopIndent; }
    void setTopIndent(int value);
    // Extra pixels per text line.
    int LineSpacing() const { return FLineSpacing; }
    void setLineSpacing(int value);
    AdvPanel::TTextVAlignment TextVAlign() const { return FTextVAlign; }
    void setTextVAlign(AdvPanel::TTextVAlignment value);
    // One line per explicit break, cut with an ellipsis, instead of word wrapping.
    bool Ellipsis() const { return FEllipsis; }
    void setEllipsis(bool value);
    TColor URLColor() const { return FURLColor; }
    void setURLColor(TColor value);
    TColor ShadowColor() const { return FShadowColor; }
    void setShadowColor(TColor value);
    int ShadowOffset() const { return FShadowOffset; }
    void setShadowOffset(int value);
    // Only the anchor under the mouse is underlined and takes the hover colours.
    bool Hover() const { return FHover; }
    void setHover(bool value);
    TColor HoverColor() const { return FHoverColor; }
    void setHoverColor(TColor value);
    TColor HoverFontColor() const { return FHoverFontColor; }
    void setHoverFontColor(TColor value);
    // Show an anchor's target as the hint over it.
    bool AnchorHint() const { return FAnchorHint; }
    void setAnchorHint(bool value) { FAnchorHint = value; }
    TImageList* Images() const { return FImages; }
    void setImages(TImageList* value);
    TPictureContainer* PictureContainer() const { return FContainer; }
    void setPictureContainer(TPictureContainer* value);
    THTMLPictureCache* ImageCache() const;

    TPanelCaption* Caption() const { return FCaption; }
    TPanelStatusBar* StatusBar() const { return FStatusBar; }
    TPanelPosition* Position() const { return FPosition; }
    TAutoSize* AutoSize() const { return FAutoSize; }

    // Collapsed to the caption bar.
    bool Collaps() const { return FCollaps; }
    void setCollaps(bool value);
    // Colour while collapsed (clNone keeps Color); pause per animation step in ms; number of steps.
    TColor CollapsColor() const { return FCollapsColor; }
    void setCollapsColor(TColor value) { FCollapsColor = value; }
    int CollapsDelay() const { return FCollapsDelay; }
    void setCollapsDelay(int value);
    int CollapsSteps() const { return FCollapsSteps; }
    void setCollapsSteps(int value);
    bool AutoHideChildren() const { return FAutoHideChildren; }
    void setAutoHideChildren(bool value) { FAutoHideChildren = value; }
    bool CanMove() const { return FCanMove; }
    void setCanMove(bool value) { FCanMove = value; }
    bool CanSize() const { return FCanSize; }
    void setCanSize(bool value);
    bool ShowMoveCursor() const { return FShowMoveCursor; }
    void setShowMoveCursor(bool value) { FShowMoveCursor = value; }
    bool FixedTop() const { return FFixedTop; }
    void setFixedTop(bool value) { FFixedTop = value; }
    bool FixedLeft() const { return FFixedLeft; }
    void setFixedLeft(bool value) { FFixedLeft = value; }
    bool FixedHeight() const { return FFixedHeight; }
    void setFixedHeight(bool value) { FFixedHeight = value; }
    bool FixedWidth() const { return FFixedWidth; }
    void setFixedWidth(bool value) { FFixedWidth = value; }
    bool FreeOnClose() const { return FFreeOnClose; }
    void setFreeOnClose(bool value) { FFreeOnClose = value; }
    // Without it no hint is shown, the panel's own or an anchor's.
    bool ShowHint() const { return FShowHint; }
    void setShowHint(bool value) { FShowHint = value; }
    QString Hint() const { return toolTip(); }
    void setHint(const QString& value) { setToolTip(value); }
    int Tag() const { return FTag; }
    void setTag(int value) { FTag = value; }

    // The font of the text, and of children that do not set their own. Writing it also sets the
    // widget font and text colour.
    const TFont& Font() const { return FFont; }
    void setFont(const TFont& value);
    using QWidget::setFont;
    // The cursor outside anchors; it is remembered as the one to restore after an anchor.
    QCursor Cursor() const { return FCursor; }
    void setCursor(const QCursor& value);

    // Size setters that also keep the full height (caption at the top: the height; at the left: the
    // width) unless the panel is collapsed or collapsing.
    int Height() const { return height(); }
    void setHeight(int value);
    int Width() const { return width(); }
    void setWidth(int value);
    void SetBounds(int left, int top, int width, int height);
    // Height (caption at the left: width) of the expanded panel, stored with the form as "FullHeight".
    int FullHeight() const { return FFullHeight; }
    void setFullHeight(int value) { FFullHeight = value; }

    // Always "1.9.0.2"; writing does nothing.
    QString Version() const;
    void setVersion(const QString&) { }
    virtual std::uint32_t VersionNumber() const { return 0x01090002; }

    TAdvPanelStyler* Styler() const { return FStyler; }
    virtual void SetStyler(TAdvPanelStyler* value);
    // Takes the look of `settings` (see the .cpp for what is copied); never the size, text, hint,
    // position settings or collapsed state, and the panel's own close and min/max buttons stay.
    virtual void ApplySettings(const TAdvPanelSettings& settings);
    // Copies another panel's settings, text, height, hint and visibility.
    void Assign(const TCustomAdvPanel& source);

    // Redrawing off until the matching EndUpdate, which repaints.
    void BeginUpdate();
    void EndUpdate();

    // Target of the anchor at a client point ("" when none); the text is laid out exactly as paint
    // lays it out, so a hit lies on the drawn anchor, and only again after a change that moves it.
    // Sets the hovered anchor index and rectangle.
    QString AnchorAt(int x, int y);
    // 1-based hovered anchor of the text and of the caption; -1 when none.
    int HoverHyperLink() const { return FHoverHyperLink; }
    int CaptionHoverHyperLink() const { return FCaptionHoverHyperLink; }
    TRect AnchorRect() const { return m_anchorRect; }

    // Scales Caption.Height and the caption font by m / d, after the base scaling of geometry and font.
    void ChangeScale(int m, int d);

    // Paints the whole panel on `painter` (the widget's paint; usable for images as well).
    void PaintPanel(QPainter& painter);
    // The area left to aligned children (the client area less bevels, border, caption and status bar).
    TRect AlignArea() const;
    PanelGeometry::Layout CurrentLayout() const;

    // Rebuilds the shaded caption background (the caption's colour, or CloseColor while collapsed,
    // shade type, light, grain and picture, at the caption band's size). Runs only when one of those
    // or the band's size changed.
    virtual void BuildShadedHeader();
    const QImage& ShadedHeader() const;
    // The caption buttons in client coordinates (empty rectangles for hidden buttons).
    PanelGeometry::CaptionButtonRects CaptionButtonRects() const;
    bool CloseButtonHover() const { return FCloseHover; }
    bool MinMaxButtonHover() const { return FMinMaxHover; }

    // Sizes the panel to its text when AutoSize is enabled and the panel is not being loaded.
    void UpdateAutoSize();
    // With AutoSize enabled, the size it gives (the current size in the directions it leaves alone).
    QSize sizeHint() const override;
    // What a paint depends on, as the renderer takes it.
    TAdvPanelLook Look() const;
    // Writes Top, Left, Height, FullHeight, Width and Collaps (in that order) into Position.Section of
    // the store Position.Key names (an INI file, or the user's settings store under that key); reads
    // them back with the current values as defaults. Nothing happens without a key or a section; a
    // store that cannot be read loads nothing.
    void SavePosition();
    void LoadPosition();
    // Children hidden by the collapse that were already hidden before it (they stay hidden).
    QList<QWidget*> HideList() const;
    // A collapse or expand animation is running.
    bool Collapsing() const { return FCollapsing; }

    // Does nothing here; a panel group re-arranges its panels.
    virtual void StateChanged() { }
    // Tells a parent panel group that this panel changed.
    void Synchronize();
    // A child panel reports a change; a panel group re-arranges, a plain panel ignores it.
    virtual void ChildPanelChanged(TCustomAdvPanel*) { }

    // Events: sender first.
    std::function<void(TCustomAdvPanel*)> OnCaptionClick;
    std::function<void(TCustomAdvPanel*)> OnCaptionDBlClick;
    std::function<void(TCustomAdvPanel*)> OnClose;
    std::function<void(TCustomAdvPanel*)> OnMinimize;
    std::function<void(TCustomAdvPanel*)> OnMaximize;
    std::function<void(TCustomAdvPanel*)> OnEndCollapsExpand;
    std::function<void(TCustomAdvPanel*)> OnEndMoveSize;
    std::function<void(TCustomAdvPanel*)> OnMouseEnter;
    std::function<void(TCustomAdvPanel*)> OnMouseLeave;
    std::function<void(TCustomAdvPanel*, const QString& anchor)> OnAnchorClick;
    std::function<void(TCustomAdvPanel*, const QString& anchor)> OnAnchorEnter;
    std::function<void(TCustomAdvPanel*, const QString& anchor)> OnAnchorExit;
    std::function<void(TCustomAdvPanel*, QString& anchor)> OnAnchorHint;
    std::function<void(TCustomAdvPanel*, TCanvas& canvas, const TRect& rect)> OnPaint;

signals:
    void anchorClicked(const QString& anchor);

protected:
    void Loaded() override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

    // Repaints and, when there are children, realigns them.
    void Changed();

private:
    void InvalidateRect(const TRect& r);
    void ApplyAlign();
    void CaptionChanged();
    void RecordFullHeight();
    void RunCollapse(bool collapse);
    bool PumpAnimation(int delayMs);
    PanelGeometry::CaptionPart CaptionPartAt(QPoint client) const;
    void CaptionClicked(QPoint client);
    void UpdateButtonHover(QPoint client);
    void MoveOrSize(QPoint global);
    void EndMoveOrSize();
    void UpdateSizeCursor(QPoint client);
    bool HasHandCursor() const;
    void SetHandCursor(bool on);

    QString FText;
    TColor FColor = clBtnFace;
    TColor FColorTo = clNone;
    TColor FColorMirror = clNone;
    TColor FColorMirrorTo = clNone;
    AdvPanel::TGradientDirection FGradientDirection = AdvPanel::gdVertical;
    TColor FBorderColor = clBlack;
    bool FBorderShadow = false;
    AdvPanel::TBorderStyle FBorderStyle = AdvPanel::bsNone;
    int FBorderWidth = 0;
    AdvPanel::TBevelCut FBevelOuter = AdvPanel::bvRaised;
    AdvPanel::TBevelCut FBevelInner = AdvPanel::bvNone;
    int FBevelWidth = 1;
    AdvPanel::TAlign FAlign = AdvPanel::alNone;
    TAdvImage FBackground;
    AdvPanel::TBackGroundPosition FBackgroundPosition = AdvPanel::bpTopLeft;
    bool FBuffered = true;
    int FIndent = 0;
    int FTopIndent = 0;
    int FLineSpacing = 0;
    AdvPanel::TTextVAlignment FTextVAlign = AdvPanel::tvaTop;
    bool FEllipsis = false;
    TColor FURLColor = clBlue;
    TColor FShadowColor = clGray;
    int FShadowOffset = 2;
    bool FHover = false;
    TColor FHoverColor = clNone;
    TColor FHoverFontColor = clNone;
    bool FAnchorHint = false;
    QPointer<TImageList> FImages;
    QMetaObject::Connection FImagesLink;
    QPointer<TPictureContainer> FContainer;
    std::unique_ptr<TAdvPanelRenderer> m_renderer;
    quint64 m_textGeneration = 0; // counts changes of the image list behind the text's pictures
    TPanelCaption* FCaption;
    TPanelStatusBar* FStatusBar;
    TPanelPosition* FPosition;
    TAutoSize* FAutoSize;
    bool FCollaps = false;
    TColor FCollapsColor = clGray;
    int FCollapsDelay = 20;
    int FCollapsSteps = 0;
    bool FAutoHideChildren = true;
    bool FCanMove = false;
    bool FCanSize = false;
    bool FShowMoveCursor = false;
    bool FFixedTop = false;
    bool FFixedLeft = false;
    bool FFixedHeight = false;
    bool FFixedWidth = false;
    bool FFreeOnClose = false;
    bool FShowHint = false;
    int FTag = 0;
    TFont FFont;
    QCursor FCursor;
    int FFullHeight = 0;
    QPointer<TAdvPanelStyler> FStyler;

    int FHoverHyperLink = -1;
    int FCaptionHoverHyperLink = -1;
    TRect FCurrHoverRect { -1, -1, -1, -1 };
    TRect FCurrCaptionHoverRect { -1, -1, -1, -1 };
    QString FAnchor;
    QCursor FOldCursor;
    TColor FOldColor = clBtnFace;
    QPoint FTopLeft;
    QSize FWidthHeight;
    int FOldWidth = -1;
    int FOldHeight = -1;
    bool FCollapsing = false;
    int m_updateCount = 0;
    TRect m_anchorRect { -1, -1, -1, -1 };
    bool m_settingFont = false;
    bool FCloseHover = false;
    bool FMinMaxHover = false;
    QList<QPointer<QWidget>> FHideList;
    bool m_childrenHidden = false;
    bool m_animate = true;
    bool m_inAutoSize = false;
    // A press on the caption bar (its click comes with the release) and on which button.
    PanelGeometry::CaptionPart m_captionPress = PanelGeometry::CaptionPart::None;
    // Moving by the caption or sizing by an edge: what, from where, and whether it has begun.
    enum class Drag { None, Move, Size };
    Drag m_drag = Drag::None;
    PanelGeometry::SizeZone m_sizeZone = PanelGeometry::SizeZone::None;
    QPoint m_pressGlobal;
    bool m_dragMoved = false;
    bool m_sizeCursor = false;
    QPointer<QWidget> m_alignParent;
};

// The styled panel as forms use it.
class TAdvPanel : public TCustomAdvPanel {
    Q_OBJECT
public:
    explicit TAdvPanel(QWidget* parent = nullptr)
        : TCustomAdvPanel(parent)
    {
    }
};
