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

// The panel's own look, which no styler gives. Columns: type, name, notify signal, value in a new
// panel, what the setter does after a change, the range it keeps an integer in.
#define ADVPANEL_LOOK(X)                                                                                     \
    X(AdvPanel::TGradientDirection, GradientDirection, gradientDirectionChanged, AdvPanel::gdVertical,       \
        Repaint, Any)                                                                                        \
    X(AdvPanel::TBackGroundPosition, BackgroundPosition, backgroundPositionChanged, AdvPanel::bpTopLeft,     \
        Repaint, Any)                                                                                        \
    X(bool, Buffered, bufferedChanged, true, Store, Any)                                                     \
    X(int, LineSpacing, lineSpacingChanged, 0, Resize, Offset)                                               \
    X(bool, Ellipsis, ellipsisChanged, false, Resize, Any)                                                   \
    X(bool, FreeOnClose, freeOnCloseChanged, false, Store, Any)                                              \
    X(int, Tag, tagChanged, 0, Store, Any)

// The panel's side of a list entry; the setters are defined in AdvPanel.cpp.
#define ADVPANEL_PANEL_ACCESS(Type, Name, signal, Default, After, Bound)                                     \
    AdvPanel::Arg<Type> Name() const                                                                         \
    {                                                                                                        \
        return F##Name;                                                                                      \
    }                                                                                                        \
    void set##Name(AdvPanel::Arg<Type> value);
#define ADVPANEL_PANEL_MEMBER(Type, Name, signal, Default, After, Bound) Type F##Name = Default;
#define ADVPANEL_PANEL_STYLED_ACCESS(Type, Name, signal, SettingsDefault, Notify, Default, After, Bound)     \
    ADVPANEL_PANEL_ACCESS(Type, Name, signal, Default, After, Bound)
#define ADVPANEL_PANEL_STYLED_MEMBER(Type, Name, signal, SettingsDefault, Notify, Default, After, Bound)     \
    ADVPANEL_PANEL_MEMBER(Type, Name, signal, Default, After, Bound)

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
    Q_PROPERTY(QString Text READ Text WRITE setText NOTIFY textChanged)
    Q_PROPERTY(uint Color READ Color WRITE setColor NOTIFY colorChanged)
    Q_PROPERTY(uint ColorTo READ ColorTo WRITE setColorTo NOTIFY colorToChanged)
    Q_PROPERTY(uint ColorMirror READ ColorMirror WRITE setColorMirror NOTIFY colorMirrorChanged)
    Q_PROPERTY(uint ColorMirrorTo READ ColorMirrorTo WRITE setColorMirrorTo NOTIFY colorMirrorToChanged)
    Q_PROPERTY(AdvPanel::TGradientDirection GradientDirection READ GradientDirection WRITE
            setGradientDirection NOTIFY gradientDirectionChanged)
    Q_PROPERTY(uint BorderColor READ BorderColor WRITE setBorderColor NOTIFY borderColorChanged)
    Q_PROPERTY(bool BorderShadow READ BorderShadow WRITE setBorderShadow NOTIFY borderShadowChanged)
    Q_PROPERTY(ControlTypes::TBorderStyle BorderStyle READ BorderStyle WRITE setBorderStyle NOTIFY
            borderStyleChanged)
    Q_PROPERTY(int BorderWidth READ BorderWidth WRITE setBorderWidth NOTIFY borderWidthChanged)
    Q_PROPERTY(
        ControlTypes::TBevelCut BevelOuter READ BevelOuter WRITE setBevelOuter NOTIFY bevelOuterChanged)
    Q_PROPERTY(
        ControlTypes::TBevelCut BevelInner READ BevelInner WRITE setBevelInner NOTIFY bevelInnerChanged)
    Q_PROPERTY(int BevelWidth READ BevelWidth WRITE setBevelWidth NOTIFY bevelWidthChanged)
    Q_PROPERTY(ControlTypes::TAlign Align READ Align WRITE setAlign NOTIFY alignChanged)
    Q_PROPERTY(AdvPanel::TBackGroundPosition BackgroundPosition READ BackgroundPosition WRITE
            setBackgroundPosition NOTIFY backgroundPositionChanged)
    Q_PROPERTY(bool Buffered READ Buffered WRITE setBuffered NOTIFY bufferedChanged)
    Q_PROPERTY(int Indent READ Indent WRITE setIndent NOTIFY indentChanged)
    Q_PROPERTY(int TopIndent READ TopIndent WRITE setTopIndent NOTIFY topIndentChanged)
    Q_PROPERTY(int LineSpacing READ LineSpacing WRITE setLineSpacing NOTIFY lineSpacingChanged)
    Q_PROPERTY(
        ControlTypes::TTextVAlignment TextVAlign READ TextVAlign WRITE setTextVAlign NOTIFY textVAlignChanged)
    Q_PROPERTY(bool Ellipsis READ Ellipsis WRITE setEllipsis NOTIFY ellipsisChanged)
    Q_PROPERTY(uint URLColor READ URLColor WRITE setURLColor NOTIFY urlColorChanged)
    Q_PROPERTY(uint ShadowColor READ ShadowColor WRITE setShadowColor NOTIFY shadowColorChanged)
    Q_PROPERTY(int ShadowOffset READ ShadowOffset WRITE setShadowOffset NOTIFY shadowOffsetChanged)
    Q_PROPERTY(bool Hover READ Hover WRITE setHover NOTIFY hoverChanged)
    Q_PROPERTY(uint HoverColor READ HoverColor WRITE setHoverColor NOTIFY hoverColorChanged)
    Q_PROPERTY(uint HoverFontColor READ HoverFontColor WRITE setHoverFontColor NOTIFY hoverFontColorChanged)
    Q_PROPERTY(bool AnchorHint READ AnchorHint WRITE setAnchorHint NOTIFY anchorHintChanged)
    Q_PROPERTY(TImageList* Images READ Images WRITE setImages NOTIFY imagesChanged)
    Q_PROPERTY(TPictureContainer* PictureContainer READ PictureContainer WRITE setPictureContainer NOTIFY
            pictureContainerChanged)
    Q_PROPERTY(TPanelCaption* Caption READ Caption CONSTANT)
    Q_PROPERTY(TPanelStatusBar* StatusBar READ StatusBar CONSTANT)
    Q_PROPERTY(TPanelPosition* Position READ Position CONSTANT)
    Q_PROPERTY(TAutoSize* AutoSize READ AutoSize CONSTANT)
    Q_PROPERTY(TAdvPanelStyler* Styler READ Styler WRITE SetStyler NOTIFY stylerChanged)
    Q_PROPERTY(bool Collaps READ Collaps WRITE setCollaps NOTIFY collapsChanged)
    Q_PROPERTY(uint CollapsColor READ CollapsColor WRITE setCollapsColor NOTIFY collapsColorChanged)
    Q_PROPERTY(int CollapsDelay READ CollapsDelay WRITE setCollapsDelay NOTIFY collapsDelayChanged)
    Q_PROPERTY(int CollapsSteps READ CollapsSteps WRITE setCollapsSteps NOTIFY collapsStepsChanged)
    Q_PROPERTY(
        bool AutoHideChildren READ AutoHideChildren WRITE setAutoHideChildren NOTIFY autoHideChildrenChanged)
    Q_PROPERTY(bool CanMove READ CanMove WRITE setCanMove NOTIFY canMoveChanged)
    Q_PROPERTY(bool CanSize READ CanSize WRITE setCanSize NOTIFY canSizeChanged)
    Q_PROPERTY(bool ShowMoveCursor READ ShowMoveCursor WRITE setShowMoveCursor NOTIFY showMoveCursorChanged)
    Q_PROPERTY(bool FixedTop READ FixedTop WRITE setFixedTop NOTIFY fixedTopChanged)
    Q_PROPERTY(bool FixedLeft READ FixedLeft WRITE setFixedLeft NOTIFY fixedLeftChanged)
    Q_PROPERTY(bool FixedHeight READ FixedHeight WRITE setFixedHeight NOTIFY fixedHeightChanged)
    Q_PROPERTY(bool FixedWidth READ FixedWidth WRITE setFixedWidth NOTIFY fixedWidthChanged)
    Q_PROPERTY(bool FreeOnClose READ FreeOnClose WRITE setFreeOnClose NOTIFY freeOnCloseChanged)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE setShowHint NOTIFY showHintChanged)
    Q_PROPERTY(QString Hint READ Hint WRITE setHint NOTIFY hintChanged)
    Q_PROPERTY(TFont Font READ Font WRITE setFont NOTIFY fontChanged)
    Q_PROPERTY(QCursor Cursor READ Cursor WRITE setCursor NOTIFY cursorChanged)
    Q_PROPERTY(int Tag READ Tag WRITE setTag NOTIFY tagChanged)
    Q_PROPERTY(int Left READ Left WRITE setLeft NOTIFY leftChanged)
    Q_PROPERTY(int Top READ Top WRITE setTop NOTIFY topChanged)
    Q_PROPERTY(int Height READ Height WRITE setHeight NOTIFY heightChanged)
    Q_PROPERTY(int Width READ Width WRITE setWidth NOTIFY widthChanged)
    Q_PROPERTY(int FullHeight READ FullHeight WRITE setFullHeight NOTIFY fullHeightChanged)
    Q_PROPERTY(QString Version READ Version WRITE setVersion)

public:
    explicit TCustomAdvPanel(QWidget* parent = nullptr);
    // Width in pixels of the edges that size the panel (a window frame's sizing border at 96 dpi).
    static constexpr int kSizingFrame = 4;
    ~TCustomAdvPanel() override;

    // The look a styler gives (see ADVPANEL_STYLED for the values at creation). What the values mean:
    // - Color, or a gradient from Color to ColorTo (in 32 bands) unless ColorTo is clNone; with
    //   ColorMirror set, the far half takes a second gradient from ColorMirror to ColorMirrorTo.
    // - BorderColor: a rectangle drawn only when BorderWidth (pixels between the bevels, kept free of
    //   text) is positive; with clNone a one-pixel frame in Color lies inside the bevel instead.
    //   BorderShadow: two blended lines right of and below it. BorderStyle bsSingle gives the panel a
    //   one-pixel window frame outside its client area.
    // - BevelOuter, BevelInner, and BevelWidth rings per bevel (1 to 65535).
    // - Indent, TopIndent: offsets of the text in pixels. TextVAlign: its vertical placement.
    // - Hover: only the anchor under the mouse is underlined and takes the hover colours.
    //   AnchorHint: an anchor's target is shown as the hint over it.
    // - CollapsColor: colour while collapsed (clNone keeps Color); CollapsDelay: pause per animation
    //   step in ms; CollapsSteps: number of steps.
    // - ShowHint: without it no hint is shown, the panel's own or an anchor's.
    // - Font: of the text, and of children that do not set their own; writing it also sets the widget
    //   font and text colour. Cursor: the cursor outside anchors, the one restored after an anchor.
    ADVPANEL_STYLED(ADVPANEL_PANEL_STYLED_ACCESS)
    // The panel's own look (see ADVPANEL_LOOK). GradientDirection: of the fill gradient.
    // LineSpacing: extra pixels per text line. Ellipsis: one line per explicit break, cut with an
    // ellipsis, instead of word wrapping. FreeOnClose: the close button destroys the panel.
    ADVPANEL_LOOK(ADVPANEL_PANEL_ACCESS)

    // Mini-markup drawn inside the panel.
    QString Text() const { return FText; }
    void setText(const QString& value);
    // Docking in the parent (the parent panel's area left to its children when it is a panel).
    AdvPanel::TAlign Align() const { return FAlign; }
    void setAlign(AdvPanel::TAlign value);
    TAdvImage& Background() { return FBackground; }
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
    QString Hint() const { return toolTip(); }
    void setHint(const QString& value);
    using QWidget::setFont;

    // Place and size setters; those of the size also keep the full height (caption at the top: the
    // height; at the left: the width) unless the panel is collapsed or collapsing.
    int Left() const { return x(); }
    void setLeft(int value);
    int Top() const { return y(); }
    void setTop(int value);
    int Height() const { return height(); }
    void setHeight(int value);
    int Width() const { return width(); }
    void setWidth(int value);
    void SetBounds(int left, int top, int width, int height);
    // Height (caption at the left: width) of the expanded panel, stored with the form as "FullHeight".
    int FullHeight() const { return FFullHeight; }
    void setFullHeight(int value);

    // Always "1.9.0.2"; writing does nothing.
    QString Version() const;
    void setVersion(const QString&) { }
    virtual std::uint32_t VersionNumber() const { return 0x01090002; }

    TAdvPanelStyler* Styler() const { return FStyler; }
    virtual void SetStyler(TAdvPanelStyler* value);
    // Takes the look of `settings` (ADVPANEL_STYLED), the caption's and the status bar's (through
    // their Assign); never the size, text, hint, position settings or collapsed state, and the
    // panel's own close and min/max buttons stay.
    virtual void ApplySettings(const TAdvPanelSettings& settings);
    // Copies another panel's look (ADVPANEL_STYLED and ADVPANEL_LOOK), caption and status bar whole,
    // position settings, picture, images, text, height, hint, context menu policy and visibility.
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
    // Property changes, whether by a setter, the user (dragging, collapsing) or the program.
    void textChanged();
    void colorChanged();
    void colorToChanged();
    void colorMirrorChanged();
    void colorMirrorToChanged();
    void gradientDirectionChanged();
    void borderColorChanged();
    void borderShadowChanged();
    void borderStyleChanged();
    void borderWidthChanged();
    void bevelOuterChanged();
    void bevelInnerChanged();
    void bevelWidthChanged();
    void alignChanged();
    void backgroundPositionChanged();
    void bufferedChanged();
    void indentChanged();
    void topIndentChanged();
    void lineSpacingChanged();
    void textVAlignChanged();
    void ellipsisChanged();
    void urlColorChanged();
    void shadowColorChanged();
    void shadowOffsetChanged();
    void hoverChanged();
    void hoverColorChanged();
    void hoverFontColorChanged();
    void anchorHintChanged();
    void imagesChanged();
    void pictureContainerChanged();
    void stylerChanged();
    void collapsChanged();
    void collapsColorChanged();
    void collapsDelayChanged();
    void collapsStepsChanged();
    void autoHideChildrenChanged();
    void canMoveChanged();
    void canSizeChanged();
    void showMoveCursorChanged();
    void fixedTopChanged();
    void fixedLeftChanged();
    void fixedHeightChanged();
    void fixedWidthChanged();
    void freeOnCloseChanged();
    void showHintChanged();
    void hintChanged();
    void fontChanged();
    void cursorChanged();
    void tagChanged();
    void leftChanged();
    void topChanged();
    void heightChanged();
    void widthChanged();
    void fullHeightChanged();

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
    // Emits the signals of Left, Top, Height, Width, FullHeight, Collaps and Hint that changed since
    // they were last emitted; these may change under the panel (layouts, the user, a parent, QWidget's
    // own setters).
    void NotifyState();
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

    ADVPANEL_STYLED(ADVPANEL_PANEL_STYLED_MEMBER)
    ADVPANEL_LOOK(ADVPANEL_PANEL_MEMBER)
    QString FText;
    AdvPanel::TAlign FAlign = AdvPanel::alNone;
    TAdvImage FBackground;
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
    int FFullHeight = 0;
    QPointer<TAdvPanelStyler> FStyler;
    // What the place, size and state signals last reported (see NotifyState).
    struct Reported {
        QPoint pos;
        QSize size;
        int fullHeight = 0;
        bool collaps = false;
        QString hint;
    };
    Reported m_reported;
    QObject* m_stateWatch = nullptr;

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
