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

// The look that a styler keeps and pushes into its panels, declared once: the settings and the
// panel take their members, getters and setters from these lists, and copying, applying and
// comparing walk them. Columns: type, name, notify signal, value in new settings, how the settings
// setter notifies (TNotify), value in a new panel, what the panel setter does after a change
// (Repaint; Resize: auto size again, then repaint; Realign: the children, then repaint; Store only; Custom:
// the setter is written out by hand), the panel's range for it (TBound). The property declarations for Qt are
// written out beside each class, since moc does not expand macros there.
//
// What a styled panel takes from its styler (ApplySettings).
#define ADVPANEL_STYLED(X)                                                                                   \
    X(bool, AnchorHint, anchorHintChanged, false, Always, false, Store, Any)                                 \
    X(bool, AutoHideChildren, autoHideChildrenChanged, true, Always, true, Store, Any)                       \
    X(AdvPanel::TBevelCut, BevelInner, bevelInnerChanged, AdvPanel::bvNone, Always, AdvPanel::bvNone,        \
        Realign, Any)                                                                                        \
    X(AdvPanel::TBevelCut, BevelOuter, bevelOuterChanged, AdvPanel::bvNone, Always, AdvPanel::bvRaised,      \
        Realign, Any)                                                                                        \
    X(int, BevelWidth, bevelWidthChanged, 1, Always, 1, Realign, AtLeastOne)                                 \
    X(TColor, BorderColor, borderColorChanged, clBlack, Always, clBlack, Repaint, Any)                       \
    X(bool, BorderShadow, borderShadowChanged, false, Always, false, Repaint, Any)                           \
    X(AdvPanel::TBorderStyle, BorderStyle, borderStyleChanged, AdvPanel::bsSingle, Always, AdvPanel::bsNone, \
        Custom, Any)                                                                                         \
    X(int, BorderWidth, borderWidthChanged, 0, Always, 0, Realign, Size)                                     \
    X(bool, CanMove, canMoveChanged, false, Always, false, Store, Any)                                       \
    X(bool, CanSize, canSizeChanged, false, Always, false, Repaint, Any)                                     \
    X(TColor, CollapsColor, collapsColorChanged, clBtnFace, Always, clGray, Store, Any)                      \
    X(int, CollapsDelay, collapsDelayChanged, 0, Always, 20, Store, Size)                                    \
    X(int, CollapsSteps, collapsStepsChanged, 0, Always, 0, Store, Size)                                     \
    X(TColor, Color, colorChanged, clBtnFace, Silent, clBtnFace, Repaint, Any)                               \
    X(TColor, ColorTo, colorToChanged, clNone, IfChanged, clNone, Repaint, Any)                              \
    X(TColor, ColorMirror, colorMirrorChanged, clNone, IfChanged, clNone, Repaint, Any)                      \
    X(TColor, ColorMirrorTo, colorMirrorToChanged, clNone, IfChanged, clNone, Repaint, Any)                  \
    X(QCursor, Cursor, cursorChanged, QCursor(), Always, QCursor(), Custom, Any)                             \
    X(TFont, Font, fontChanged, TFont(), Always, TFont(), Custom, Any)                                       \
    X(bool, FixedTop, fixedTopChanged, false, Silent, false, Store, Any)                                     \
    X(bool, FixedLeft, fixedLeftChanged, false, Silent, false, Store, Any)                                   \
    X(bool, FixedHeight, fixedHeightChanged, false, Silent, false, Store, Any)                               \
    X(bool, FixedWidth, fixedWidthChanged, false, Silent, false, Store, Any)                                 \
    X(bool, Hover, hoverChanged, false, Always, false, Repaint, Any)                                         \
    X(TColor, HoverColor, hoverColorChanged, clNone, Always, clNone, Repaint, Any)                           \
    X(TColor, HoverFontColor, hoverFontColorChanged, clNone, Always, clNone, Repaint, Any)                   \
    X(int, Indent, indentChanged, 0, Always, 0, Resize, Offset)                                              \
    X(TColor, ShadowColor, shadowColorChanged, clBlack, Silent, clGray, Repaint, Any)                        \
    X(int, ShadowOffset, shadowOffsetChanged, 0, Silent, 2, Repaint, Offset)                                 \
    X(bool, ShowHint, showHintChanged, false, Silent, false, Store, Any)                                     \
    X(bool, ShowMoveCursor, showMoveCursorChanged, false, Silent, false, Store, Any)                         \
    X(AdvPanel::TTextVAlignment, TextVAlign, textVAlignChanged, AdvPanel::tvaTop, Always, AdvPanel::tvaTop,  \
        Repaint, Any)                                                                                        \
    X(int, TopIndent, topIndentChanged, 0, Always, 0, Resize, Offset)                                        \
    X(TColor, URLColor, urlColorChanged, clBlue, Always, clBlue, Repaint, Any)

// Kept in the settings but never applied: a styled panel keeps its own size, text, hint and
// collapsed state. The panel's side of these is written out by hand.
#define ADVPANEL_UNSTYLED(X)                                                                                 \
    X(bool, Collaps, collapsChanged, false, Always)                                                          \
    X(int, Height, heightChanged, 120, Silent)                                                               \
    X(QString, Hint, hintChanged, QString(), Silent)                                                         \
    X(QString, Text, textChanged, QString(), Always)                                                         \
    X(int, Width, widthChanged, 0, Silent)

// The settings' side of a list entry.
#define ADVPANEL_SETTINGS_MEMBER(Type, Name, signal, Default, Notify, ...) Type F##Name = Default;
#define ADVPANEL_SETTINGS_ACCESS(Type, Name, signal, Default, Notify, ...)                                   \
    AdvPanel::Arg<Type> Name() const                                                                         \
    {                                                                                                        \
        return F##Name;                                                                                      \
    }                                                                                                        \
    void set##Name(AdvPanel::Arg<Type> value)                                                                \
    {                                                                                                        \
        Store(F##Name, value, &TAdvPanelSettings::signal, AdvPanel::TNotify::Notify);                        \
    }

// One set of panel settings, as a styler keeps it and pushes it into its panels. The properties mean
// what the panel's properties of the same names mean. Setters notify (OnChange, unless an update is
// open) as their list entry says: ColorTo, ColorMirror and ColorMirrorTo only when the value differs;
// Color, Height, Width, Hint, ShadowColor, ShadowOffset, ShowHint, ShowMoveCursor and the four fixed
// flags never (they wait for the next notification); every other setter always. A change inside
// Caption notifies through the caption; a change inside StatusBar or inside the font (FontRef) does
// not. Each property's own signal comes only with a real change.
class TAdvPanelSettings : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool AnchorHint READ AnchorHint WRITE setAnchorHint NOTIFY anchorHintChanged)
    Q_PROPERTY(
        bool AutoHideChildren READ AutoHideChildren WRITE setAutoHideChildren NOTIFY autoHideChildrenChanged)
    Q_PROPERTY(
        ControlTypes::TBevelCut BevelInner READ BevelInner WRITE setBevelInner NOTIFY bevelInnerChanged)
    Q_PROPERTY(
        ControlTypes::TBevelCut BevelOuter READ BevelOuter WRITE setBevelOuter NOTIFY bevelOuterChanged)
    Q_PROPERTY(int BevelWidth READ BevelWidth WRITE setBevelWidth NOTIFY bevelWidthChanged)
    Q_PROPERTY(uint BorderColor READ BorderColor WRITE setBorderColor NOTIFY borderColorChanged)
    Q_PROPERTY(bool BorderShadow READ BorderShadow WRITE setBorderShadow NOTIFY borderShadowChanged)
    Q_PROPERTY(ControlTypes::TBorderStyle BorderStyle READ BorderStyle WRITE setBorderStyle NOTIFY
            borderStyleChanged)
    Q_PROPERTY(int BorderWidth READ BorderWidth WRITE setBorderWidth NOTIFY borderWidthChanged)
    Q_PROPERTY(bool CanMove READ CanMove WRITE setCanMove NOTIFY canMoveChanged)
    Q_PROPERTY(bool CanSize READ CanSize WRITE setCanSize NOTIFY canSizeChanged)
    Q_PROPERTY(TPanelCaption* Caption READ Caption CONSTANT)
    Q_PROPERTY(bool Collaps READ Collaps WRITE setCollaps NOTIFY collapsChanged)
    Q_PROPERTY(uint CollapsColor READ CollapsColor WRITE setCollapsColor NOTIFY collapsColorChanged)
    Q_PROPERTY(int CollapsDelay READ CollapsDelay WRITE setCollapsDelay NOTIFY collapsDelayChanged)
    Q_PROPERTY(int CollapsSteps READ CollapsSteps WRITE setCollapsSteps NOTIFY collapsStepsChanged)
    Q_PROPERTY(uint Color READ Color WRITE setColor NOTIFY colorChanged)
    Q_PROPERTY(uint ColorTo READ ColorTo WRITE setColorTo NOTIFY colorToChanged)
    Q_PROPERTY(uint ColorMirror READ ColorMirror WRITE setColorMirror NOTIFY colorMirrorChanged)
    Q_PROPERTY(uint ColorMirrorTo READ ColorMirrorTo WRITE setColorMirrorTo NOTIFY colorMirrorToChanged)
    Q_PROPERTY(QCursor Cursor READ Cursor WRITE setCursor NOTIFY cursorChanged)
    Q_PROPERTY(TFont Font READ Font WRITE setFont NOTIFY fontChanged)
    Q_PROPERTY(bool FixedTop READ FixedTop WRITE setFixedTop NOTIFY fixedTopChanged)
    Q_PROPERTY(bool FixedLeft READ FixedLeft WRITE setFixedLeft NOTIFY fixedLeftChanged)
    Q_PROPERTY(bool FixedHeight READ FixedHeight WRITE setFixedHeight NOTIFY fixedHeightChanged)
    Q_PROPERTY(bool FixedWidth READ FixedWidth WRITE setFixedWidth NOTIFY fixedWidthChanged)
    Q_PROPERTY(int Height READ Height WRITE setHeight NOTIFY heightChanged)
    Q_PROPERTY(QString Hint READ Hint WRITE setHint NOTIFY hintChanged)
    Q_PROPERTY(bool Hover READ Hover WRITE setHover NOTIFY hoverChanged)
    Q_PROPERTY(uint HoverColor READ HoverColor WRITE setHoverColor NOTIFY hoverColorChanged)
    Q_PROPERTY(uint HoverFontColor READ HoverFontColor WRITE setHoverFontColor NOTIFY hoverFontColorChanged)
    Q_PROPERTY(int Indent READ Indent WRITE setIndent NOTIFY indentChanged)
    Q_PROPERTY(uint ShadowColor READ ShadowColor WRITE setShadowColor NOTIFY shadowColorChanged)
    Q_PROPERTY(int ShadowOffset READ ShadowOffset WRITE setShadowOffset NOTIFY shadowOffsetChanged)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE setShowHint NOTIFY showHintChanged)
    Q_PROPERTY(bool ShowMoveCursor READ ShowMoveCursor WRITE setShowMoveCursor NOTIFY showMoveCursorChanged)
    Q_PROPERTY(TPanelStatusBar* StatusBar READ StatusBar CONSTANT)
    Q_PROPERTY(QString Text READ Text WRITE setText NOTIFY textChanged)
    Q_PROPERTY(
        ControlTypes::TTextVAlignment TextVAlign READ TextVAlign WRITE setTextVAlign NOTIFY textVAlignChanged)
    Q_PROPERTY(int TopIndent READ TopIndent WRITE setTopIndent NOTIFY topIndentChanged)
    Q_PROPERTY(uint URLColor READ URLColor WRITE setURLColor NOTIFY urlColorChanged)
    Q_PROPERTY(int Width READ Width WRITE setWidth NOTIFY widthChanged)

public:
    explicit TAdvPanelSettings(QObject* parent = nullptr);

    // Copies every setting of `source` (the caption and status bar whole) and notifies once.
    void Assign(const TAdvPanelSettings& source);
    // Every setting equal, the caption's and status bar's included.
    bool SameAs(const TAdvPanelSettings& other) const;

    // Notifications are held while BeginUpdate calls outnumber EndUpdate calls; the EndUpdate that
    // closes the outermost update notifies once. An EndUpdate without a BeginUpdate does nothing.
    void BeginUpdate() { ++m_updateCount; }
    void EndUpdate();
    int UpdateCount() const { return m_updateCount; }

    ADVPANEL_STYLED(ADVPANEL_SETTINGS_ACCESS)
    ADVPANEL_UNSTYLED(ADVPANEL_SETTINGS_ACCESS)

    // The font itself, for changes that do not notify.
    TFont& FontRef() { return FFont; }
    TPanelCaption* Caption() const { return FCaption; }
    // Copies the caption's settings into the owned caption (see TPanelCaption::Assign) and notifies.
    void setCaption(const TPanelCaption& value);
    TPanelStatusBar* StatusBar() const { return FStatusBar; }
    // Copies the status bar's settings into the owned one (see TPanelStatusBar::Assign) and notifies.
    void setStatusBar(const TPanelStatusBar& value);

    // Raised by the change notification when no update is open.
    std::function<void()> OnChange;
    // The change notification.
    void Change();

signals:
    void anchorHintChanged();
    void autoHideChildrenChanged();
    void bevelInnerChanged();
    void bevelOuterChanged();
    void bevelWidthChanged();
    void borderColorChanged();
    void borderShadowChanged();
    void borderStyleChanged();
    void borderWidthChanged();
    void canMoveChanged();
    void canSizeChanged();
    void collapsChanged();
    void collapsColorChanged();
    void collapsDelayChanged();
    void collapsStepsChanged();
    void colorChanged();
    void colorToChanged();
    void colorMirrorChanged();
    void colorMirrorToChanged();
    void cursorChanged();
    void fontChanged();
    void fixedTopChanged();
    void fixedLeftChanged();
    void fixedHeightChanged();
    void fixedWidthChanged();
    void heightChanged();
    void hintChanged();
    void hoverChanged();
    void hoverColorChanged();
    void hoverFontColorChanged();
    void indentChanged();
    void shadowColorChanged();
    void shadowOffsetChanged();
    void showHintChanged();
    void showMoveCursorChanged();
    void textChanged();
    void textVAlignChanged();
    void topIndentChanged();
    void urlColorChanged();
    void widthChanged();

private:
    template <typename T>
    void Store(T& field, const T& value, void (TAdvPanelSettings::*signal)(), AdvPanel::TNotify notify)
    {
        const bool changed = !(field == value);
        field = value;
        if (changed)
            std::invoke(signal, this); // emits
        if (notify == AdvPanel::TNotify::Always || (changed && notify == AdvPanel::TNotify::IfChanged))
            Change();
    }

    ADVPANEL_STYLED(ADVPANEL_SETTINGS_MEMBER)
    ADVPANEL_UNSTYLED(ADVPANEL_SETTINGS_MEMBER)
    TPanelCaption* FCaption;
    TPanelStatusBar* FStatusBar;
    int m_updateCount = 0;
};
