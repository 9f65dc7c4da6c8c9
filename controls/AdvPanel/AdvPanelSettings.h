// SPDX-License-Identifier: MIT
#pragma once

#include "AdvPanelTypes.h"
#include "Color.h"
#include "Font.h"
#include "PanelCaption.h"
#include "PanelStatusBar.h"

#include <QCursor>
#include <QObject>
#include <QString>
#include <functional>

// One set of panel settings, as a styler keeps it and pushes it into its panels. The properties mean
// what the panel's properties of the same names mean. Setters notify (OnChange, unless an update is
// open) as follows: ColorTo, ColorMirror and ColorMirrorTo only when the value differs; Color, Height,
// Width, Hint, ShadowColor, ShadowOffset, ShowHint, ShowMoveCursor and the four fixed flags never
// (they wait for the next notification); every other setter always. A change inside Caption notifies
// through the caption; a change inside StatusBar or Font does not.
class TAdvPanelSettings : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool AnchorHint READ AnchorHint WRITE setAnchorHint)
    Q_PROPERTY(bool AutoHideChildren READ AutoHideChildren WRITE setAutoHideChildren)
    Q_PROPERTY(ControlTypes::TBevelCut BevelInner READ BevelInner WRITE setBevelInner)
    Q_PROPERTY(ControlTypes::TBevelCut BevelOuter READ BevelOuter WRITE setBevelOuter)
    Q_PROPERTY(int BevelWidth READ BevelWidth WRITE setBevelWidth)
    Q_PROPERTY(uint BorderColor READ BorderColor WRITE setBorderColor)
    Q_PROPERTY(bool BorderShadow READ BorderShadow WRITE setBorderShadow)
    Q_PROPERTY(ControlTypes::TBorderStyle BorderStyle READ BorderStyle WRITE setBorderStyle)
    Q_PROPERTY(int BorderWidth READ BorderWidth WRITE setBorderWidth)
    Q_PROPERTY(bool CanMove READ CanMove WRITE setCanMove)
    Q_PROPERTY(bool CanSize READ CanSize WRITE setCanSize)
    Q_PROPERTY(bool Collaps READ Collaps WRITE setCollaps)
    Q_PROPERTY(uint CollapsColor READ CollapsColor WRITE setCollapsColor)
    Q_PROPERTY(int CollapsDelay READ CollapsDelay WRITE setCollapsDelay)
    Q_PROPERTY(int CollapsSteps READ CollapsSteps WRITE setCollapsSteps)
    Q_PROPERTY(uint Color READ Color WRITE setColor)
    Q_PROPERTY(uint ColorTo READ ColorTo WRITE setColorTo)
    Q_PROPERTY(uint ColorMirror READ ColorMirror WRITE setColorMirror)
    Q_PROPERTY(uint ColorMirrorTo READ ColorMirrorTo WRITE setColorMirrorTo)
    Q_PROPERTY(QCursor Cursor READ Cursor WRITE setCursor)
    Q_PROPERTY(bool FixedTop READ FixedTop WRITE setFixedTop)
    Q_PROPERTY(bool FixedLeft READ FixedLeft WRITE setFixedLeft)
    Q_PROPERTY(bool FixedHeight READ FixedHeight WRITE setFixedHeight)
    Q_PROPERTY(bool FixedWidth READ FixedWidth WRITE setFixedWidth)
    Q_PROPERTY(int Height READ Height WRITE setHeight)
    Q_PROPERTY(QString Hint READ Hint WRITE setHint)
    Q_PROPERTY(bool Hover READ Hover WRITE setHover)
    Q_PROPERTY(uint HoverColor READ HoverColor WRITE setHoverColor)
    Q_PROPERTY(uint HoverFontColor READ HoverFontColor WRITE setHoverFontColor)
    Q_PROPERTY(int Indent READ Indent WRITE setIndent)
    Q_PROPERTY(uint ShadowColor READ ShadowColor WRITE setShadowColor)
    Q_PROPERTY(int ShadowOffset READ ShadowOffset WRITE setShadowOffset)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE setShowHint)
    Q_PROPERTY(bool ShowMoveCursor READ ShowMoveCursor WRITE setShowMoveCursor)
    Q_PROPERTY(QString Text READ Text WRITE setText)
    Q_PROPERTY(ControlTypes::TTextVAlignment TextVAlign READ TextVAlign WRITE setTextVAlign)
    Q_PROPERTY(int TopIndent READ TopIndent WRITE setTopIndent)
    Q_PROPERTY(uint URLColor READ URLColor WRITE setURLColor)
    Q_PROPERTY(int Width READ Width WRITE setWidth)

public:
    explicit TAdvPanelSettings(QObject* parent = nullptr);

    // Copies every setting of `source` (the caption and status bar whole) and notifies once.
    void Assign(const TAdvPanelSettings& source);

    // Notifications are held while BeginUpdate calls outnumber EndUpdate calls; the EndUpdate that
    // closes the outermost update notifies once. An EndUpdate without a BeginUpdate does nothing.
    void BeginUpdate() { ++m_updateCount; }
    void EndUpdate();
    int UpdateCount() const { return m_updateCount; }

    bool AnchorHint() const { return FAnchorHint; }
    void setAnchorHint(bool value) { Set(FAnchorHint, value); }
    bool AutoHideChildren() const { return FAutoHideChildren; }
    void setAutoHideChildren(bool value) { Set(FAutoHideChildren, value); }
    AdvPanel::TBevelCut BevelInner() const { return FBevelInner; }
    void setBevelInner(AdvPanel::TBevelCut value) { Set(FBevelInner, value); }
    AdvPanel::TBevelCut BevelOuter() const { return FBevelOuter; }
    void setBevelOuter(AdvPanel::TBevelCut value) { Set(FBevelOuter, value); }
    int BevelWidth() const { return FBevelWidth; }
    void setBevelWidth(int value) { Set(FBevelWidth, value); }
    TColor BorderColor() const { return FBorderColor; }
    void setBorderColor(TColor value) { Set(FBorderColor, value); }
    bool BorderShadow() const { return FBorderShadow; }
    void setBorderShadow(bool value) { Set(FBorderShadow, value); }
    AdvPanel::TBorderStyle BorderStyle() const { return FBorderStyle; }
    void setBorderStyle(AdvPanel::TBorderStyle value) { Set(FBorderStyle, value); }
    int BorderWidth() const { return FBorderWidth; }
    void setBorderWidth(int value) { Set(FBorderWidth, value); }
    bool CanMove() const { return FCanMove; }
    void setCanMove(bool value) { Set(FCanMove, value); }
    bool CanSize() const { return FCanSize; }
    void setCanSize(bool value) { Set(FCanSize, value); }
    TPanelCaption* Caption() const { return FCaption; }
    // Copies the caption's settings into the owned caption (see TPanelCaption::Assign) and notifies.
    void setCaption(const TPanelCaption& value);
    bool Collaps() const { return FCollaps; }
    void setCollaps(bool value) { Set(FCollaps, value); }
    TColor CollapsColor() const { return FCollapsColor; }
    void setCollapsColor(TColor value) { Set(FCollapsColor, value); }
    int CollapsDelay() const { return FCollapsDelay; }
    void setCollapsDelay(int value) { Set(FCollapsDelay, value); }
    int CollapsSteps() const { return FCollapsSteps; }
    void setCollapsSteps(int value) { Set(FCollapsSteps, value); }
    TColor Color() const { return FColor; }
    void setColor(TColor value) { FColor = value; }
    TColor ColorTo() const { return FColorTo; }
    void setColorTo(TColor value) { SetIfChanged(FColorTo, value); }
    TColor ColorMirror() const { return FColorMirror; }
    void setColorMirror(TColor value) { SetIfChanged(FColorMirror, value); }
    TColor ColorMirrorTo() const { return FColorMirrorTo; }
    void setColorMirrorTo(TColor value) { SetIfChanged(FColorMirrorTo, value); }
    QCursor Cursor() const { return FCursor; }
    void setCursor(const QCursor& value)
    {
        FCursor = value;
        Change();
    }
    const TFont& Font() const { return FFont; }
    // Copies the font and notifies.
    void setFont(const TFont& value)
    {
        FFont = value;
        Change();
    }
    // The font itself, for changes that do not notify.
    TFont& FontRef() { return FFont; }
    bool FixedTop() const { return FFixedTop; }
    void setFixedTop(bool value) { FFixedTop = value; }
    bool FixedLeft() const { return FFixedLeft; }
    void setFixedLeft(bool value) { FFixedLeft = value; }
    bool FixedHeight() const { return FFixedHeight; }
    void setFixedHeight(bool value) { FFixedHeight = value; }
    bool FixedWidth() const { return FFixedWidth; }
    void setFixedWidth(bool value) { FFixedWidth = value; }
    int Height() const { return FHeight; }
    void setHeight(int value) { FHeight = value; }
    QString Hint() const { return FHint; }
    void setHint(const QString& value) { FHint = value; }
    bool Hover() const { return FHover; }
    void setHover(bool value) { Set(FHover, value); }
    TColor HoverColor() const { return FHoverColor; }
    void setHoverColor(TColor value) { Set(FHoverColor, value); }
    TColor HoverFontColor() const { return FHoverFontColor; }
    void setHoverFontColor(TColor value) { Set(FHoverFontColor, value); }
    int Indent() const { return FIndent; }
    void setIndent(int value) { Set(FIndent, value); }
    TColor ShadowColor() const { return FShadowColor; }
    void setShadowColor(TColor value) { FShadowColor = value; }
    int ShadowOffset() const { return FShadowOffset; }
    void setShadowOffset(int value) { FShadowOffset = value; }
    bool ShowHint() const { return FShowHint; }
    void setShowHint(bool value) { FShowHint = value; }
    bool ShowMoveCursor() const { return FShowMoveCursor; }
    void setShowMoveCursor(bool value) { FShowMoveCursor = value; }
    TPanelStatusBar* StatusBar() const { return FStatusBar; }
    // Copies the status bar's settings into the owned one (see TPanelStatusBar::Assign) and notifies.
    void setStatusBar(const TPanelStatusBar& value);
    QString Text() const { return FText; }
    void setText(const QString& value) { Set(FText, value); }
    AdvPanel::TTextVAlignment TextVAlign() const { return FTextVAlign; }
    void setTextVAlign(AdvPanel::TTextVAlignment value) { Set(FTextVAlign, value); }
    int TopIndent() const { return FTopIndent; }
    void setTopIndent(int value) { Set(FTopIndent, value); }
    TColor URLColor() const { return FURLColor; }
    void setURLColor(TColor value) { Set(FURLColor, value); }
    int Width() const { return FWidth; }
    void setWidth(int value) { FWidth = value; }

    // Raised by the change notification when no update is open.
    std::function<void()> OnChange;
    // The change notification.
    void Change();

private:
    template <typename T> void Set(T& field, const T& value)
    {
        field = value;
        Change();
    }
    template <typename T> void SetIfChanged(T& field, const T& value)
    {
        if (StoreIfChanged(field, value))
            Change();
    }

    bool FAnchorHint = false;
    bool FAutoHideChildren = true;
    AdvPanel::TBevelCut FBevelInner = AdvPanel::bvNone;
    AdvPanel::TBevelCut FBevelOuter = AdvPanel::bvNone;
    int FBevelWidth = 1;
    TColor FBorderColor = clBlack;
    bool FBorderShadow = false;
    AdvPanel::TBorderStyle FBorderStyle = AdvPanel::bsSingle;
    int FBorderWidth = 0;
    bool FCanMove = false;
    bool FCanSize = false;
    TPanelCaption* FCaption;
    bool FCollaps = false;
    TColor FCollapsColor = clBtnFace;
    int FCollapsDelay = 0;
    int FCollapsSteps = 0;
    TColor FColor = clBtnFace;
    TColor FColorTo = clNone;
    TColor FColorMirror = clNone;
    TColor FColorMirrorTo = clNone;
    QCursor FCursor;
    TFont FFont;
    bool FFixedTop = false;
    bool FFixedLeft = false;
    bool FFixedHeight = false;
    bool FFixedWidth = false;
    int FHeight = 120;
    QString FHint;
    bool FHover = false;
    TColor FHoverColor = clNone;
    TColor FHoverFontColor = clNone;
    int FIndent = 0;
    TColor FShadowColor = clBlack;
    int FShadowOffset = 0;
    bool FShowHint = false;
    bool FShowMoveCursor = false;
    TPanelStatusBar* FStatusBar;
    QString FText;
    AdvPanel::TTextVAlignment FTextVAlign = AdvPanel::tvaTop;
    int FTopIndent = 0;
    TColor FURLColor = clBlue;
    int FWidth = 0;
    int m_updateCount = 0;
};
