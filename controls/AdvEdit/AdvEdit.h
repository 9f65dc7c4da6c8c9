// SPDX-License-Identifier: MIT
#pragma once
#include "Color.h"
#include "Loadable.h"
#include "TypedInput.h"

#include <QLineEdit>
#include <QPointer>
#include <functional>
#include <memory>

class TAdvEditControl;
class TAdvEditHost;
class TTypedEditInput;
class QInputMethodQueryEvent;

// Single-line field whose value sits between a fixed Prefix and Suffix, with colours that follow
// the enabled, focused, modified and error states, its own borders and Enter/Escape conventions.
// Control text = Prefix + value + Suffix; selection positions count control-text characters.
// The key, paste and drop rules live in TAdvEditControl (AdvEditControl.h); this class holds the
// properties, events, colours and painting.
//
// Members of QLineEdit whose meaning the field changes are declared again here (setText,
// setModified, maxLength, copy, cut, paste, selectAll, createStandardContextMenu), so calls through
// a TAdvEdit, the meta-object and the field's menu reach them. An edit the line edit makes when one
// of its own slots is called through a QLineEdit pointer is undone, and a paste among them is done
// again by the field's rules.
class TAdvEdit : public QLineEdit, public TLoadable {
    Q_OBJECT
    Q_PROPERTY(QString Text READ Text WRITE setText NOTIFY valueChanged)
    Q_PROPERTY(QString Prefix READ Prefix WRITE setPrefix)
    Q_PROPERTY(QString Suffix READ Suffix WRITE setSuffix)
    Q_PROPERTY(uint Color READ Color WRITE setColor NOTIFY colorChanged)
    Q_PROPERTY(uint FontColor READ FontColor WRITE setFontColor NOTIFY fontColorChanged)
    Q_PROPERTY(uint DisabledColor READ DisabledColor WRITE setDisabledColor)
    Q_PROPERTY(bool DisabledBorder READ DisabledBorder WRITE setDisabledBorder)
    Q_PROPERTY(uint FocusColor READ FocusColor WRITE setFocusColor)
    Q_PROPERTY(uint FocusFontColor READ FocusFontColor WRITE setFocusFontColor)
    Q_PROPERTY(bool FocusBorder READ FocusBorder WRITE setFocusBorder)
    Q_PROPERTY(uint FocusBorderColor READ FocusBorderColor WRITE setFocusBorderColor)
    Q_PROPERTY(bool FocusLabel READ FocusLabel WRITE setFocusLabel)
    Q_PROPERTY(int FocusWidthInc READ FocusWidthInc WRITE setFocusWidthInc)
    Q_PROPERTY(TEditAlign FocusAlign READ FocusAlign WRITE setFocusAlign)
    Q_PROPERTY(TEditAlign EditAlign READ EditAlign WRITE setEditAlign NOTIFY editAlignChanged)
    Q_PROPERTY(bool Border3D READ Border3D WRITE setBorder3D)
    Q_PROPERTY(bool Flat READ Flat WRITE setFlat)
    Q_PROPERTY(uint FlatLineColor READ FlatLineColor WRITE setFlatLineColor)
    Q_PROPERTY(bool FlatParentColor READ FlatParentColor WRITE setFlatParentColor)
    Q_PROPERTY(bool SoftBorder READ SoftBorder WRITE setSoftBorder)
    Q_PROPERTY(bool Transparent READ Transparent WRITE setTransparent)
    Q_PROPERTY(QString EmptyText READ EmptyText WRITE setEmptyText)
    Q_PROPERTY(bool ShowModified READ ShowModified WRITE setShowModified)
    Q_PROPERTY(uint ModifiedColor READ ModifiedColor WRITE setModifiedColor)
    Q_PROPERTY(bool ShowError READ ShowError WRITE setShowError)
    Q_PROPERTY(uint ErrorColor READ ErrorColor WRITE setErrorColor)
    Q_PROPERTY(uint ErrorFontColor READ ErrorFontColor WRITE setErrorFontColor)
    Q_PROPERTY(int ErrorMarkerPos READ ErrorMarkerPos WRITE setErrorMarkerPos)
    Q_PROPERTY(int ErrorMarkerLen READ ErrorMarkerLen WRITE setErrorMarkerLen)
    Q_PROPERTY(bool ShowURL READ ShowURL WRITE setShowURL)
    Q_PROPERTY(uint URLColor READ URLColor WRITE setURLColor)
    Q_PROPERTY(bool HintShowLargeText READ HintShowLargeText WRITE setHintShowLargeText)
    Q_PROPERTY(bool CanUndo READ CanUndo WRITE setCanUndo)
    Q_PROPERTY(bool DefaultHandling READ DefaultHandling WRITE setDefaultHandling)
    Q_PROPERTY(bool ReturnIsTab READ ReturnIsTab WRITE setReturnIsTab)
    Q_PROPERTY(bool AutoFocus READ AutoFocus WRITE setAutoFocus)
    Q_PROPERTY(bool AutoSelect READ AutoSelect WRITE setAutoSelect)
    Q_PROPERTY(int maxLength READ maxLength WRITE setMaxLength)
    Q_PROPERTY(bool Modified READ Modified WRITE setModified NOTIFY modifiedChanged)
    Q_PROPERTY(bool IsError READ IsError WRITE setIsError NOTIFY errorChanged)
    Q_PROPERTY(QString Version READ Version WRITE setVersion)
    // Typed input.
    Q_PROPERTY(AdvEditTypes::TAdvEditType EditType READ EditType WRITE setEditType)
    Q_PROPERTY(int Precision READ Precision WRITE setPrecision)
    Q_PROPERTY(
        AdvEditTypes::TPrecisionDisplay PrecisionDisplay READ PrecisionDisplay WRITE setPrecisionDisplay)
    Q_PROPERTY(bool Signed READ Signed WRITE setSigned)
    Q_PROPERTY(bool AllowNumericNullValue READ AllowNumericNullValue WRITE setAllowNumericNullValue)
    Q_PROPERTY(bool AutoThousandSeparator READ AutoThousandSeparator WRITE setAutoThousandSeparator)
    Q_PROPERTY(
        bool ExcelStyleDecimalSeparator READ ExcelStyleDecimalSeparator WRITE setExcelStyleDecimalSeparator)
    Q_PROPERTY(int LengthLimit READ LengthLimit WRITE setLengthLimit)
    Q_PROPERTY(bool TabOnFullLength READ TabOnFullLength WRITE setTabOnFullLength)
    Q_PROPERTY(QString ValidChars READ ValidChars WRITE setValidChars)
    Q_PROPERTY(double FloatValue READ FloatValue WRITE setFloatValue NOTIFY valueChanged STORED false)
    Q_PROPERTY(int IntValue READ IntValue WRITE setIntValue NOTIFY valueChanged STORED false)

public:
    enum TEditAlign { eaLeft, eaRight, eaDefault, eaCenter };
    Q_ENUM(TEditAlign)
    using TAdvEditType = AdvEditTypes::TAdvEditType;
    using enum AdvEditTypes::TAdvEditType;
    using TPrecisionDisplay = AdvEditTypes::TPrecisionDisplay;
    using enum AdvEditTypes::TPrecisionDisplay;

    explicit TAdvEdit(QWidget* parent = nullptr);
    ~TAdvEdit() override;

    // The value: the control text without Prefix and Suffix.
    QString Text() const;
    // Text := value: typed fields format it; the control text becomes Prefix + value + Suffix;
    // Modified := False.
    void setText(const QString& value);
    QString Prefix() const;
    void setPrefix(const QString& prefix);
    QString Suffix() const;
    void setSuffix(const QString& suffix);

    // Background shown now; every assignment also becomes the normal (enabled, unfocused) colour.
    TColor Color() const { return FColor; }
    void setColor(TColor c);
    // Text colour shown now.
    TColor FontColor() const { return m_shownFontColor; }
    void setFontColor(TColor c);
    // Background while disabled; takes effect at the next disabling.
    TColor DisabledColor() const { return FDisabledColor; }
    void setDisabledColor(TColor c);
    // 1-pixel 0xC0C0C0 frame while disabled.
    bool DisabledBorder() const { return FDisabledBorder; }
    void setDisabledBorder(bool b);
    // Background while focused; clNone keeps the normal colour.
    TColor FocusColor() const { return FFocusColor; }
    void setFocusColor(TColor c) { FFocusColor = c; }
    // Text colour while focused; clNone keeps the text colour.
    TColor FocusFontColor() const { return FFocusFontColor; }
    void setFocusFontColor(TColor c) { FFocusFontColor = c; }
    // Active border while the mouse is over the field or it has the focus.
    bool FocusBorder() const { return FFocusBorder; }
    void setFocusBorder(bool b);
    // When set, a 1-pixel frame of this colour while focused.
    TColor FocusBorderColor() const { return FFocusBorderColor; }
    void setFocusBorderColor(TColor c);
    // The attached label is bold while the field has the focus.
    bool FocusLabel() const { return FFocusLabel; }
    void setFocusLabel(bool b) { FFocusLabel = b; }
    // Pixels added to the width while focused.
    int FocusWidthInc() const { return FFocusWidthInc; }
    void setFocusWidthInc(int w) { FFocusWidthInc = w; }
    // Alignment while focused; eaDefault leaves EditAlign.
    TEditAlign FocusAlign() const { return FFocusAlign; }
    void setFocusAlign(TEditAlign a) { FFocusAlign = a; }
    TEditAlign EditAlign() const { return FEditAlign; }
    void setEditAlign(TEditAlign a);
    // Always draws the active border.
    bool Border3D() const { return FBorder3D; }
    void setBorder3D(bool b);
    // No frame, text inset, a bottom line or soft rectangle.
    bool Flat() const { return FFlat; }
    void setFlat(bool b);
    // Colour of the flat line; clNone draws none.
    TColor FlatLineColor() const { return FFlatLineColor; }
    void setFlatLineColor(TColor c);
    // A flat field takes the parent's background colour.
    bool FlatParentColor() const { return FFlatParentColor; }
    void setFlatParentColor(bool b) { FFlatParentColor = b; }
    // A flat field draws a rectangle instead of a bottom line.
    bool SoftBorder() const { return FSoftBorder; }
    void setSoftBorder(bool b);
    // The parent shows through the background.
    bool Transparent() const { return FTransparent; }
    void setTransparent(bool b);
    // Grey text shown while the value is empty and the field has no focus.
    QString EmptyText() const { return FEmptyText; }
    void setEmptyText(const QString& t);
    // Text colour ModifiedColor while Modified.
    bool ShowModified() const { return FShowModified; }
    void setShowModified(bool b) { FShowModified = b; }
    TColor ModifiedColor() const { return FModifiedColor; }
    void setModifiedColor(TColor c) { FModifiedColor = c; }
    // Colours ErrorColor / ErrorFontColor while IsError.
    bool ShowError() const { return FShowError; }
    void setShowError(bool b) { FShowError = b; }
    TColor ErrorColor() const { return FErrorColor; }
    void setErrorColor(TColor c) { FErrorColor = c; }
    TColor ErrorFontColor() const { return FErrorFontColor; }
    void setErrorFontColor(TColor c) { FErrorFontColor = c; }
    // Red zigzag under ErrorMarkerLen characters from ErrorMarkerPos while not focused.
    int ErrorMarkerPos() const { return FErrorMarkerPos; }
    void setErrorMarkerPos(int p);
    int ErrorMarkerLen() const { return FErrorMarkerLen; }
    void setErrorMarkerLen(int l);
    // URL look and click-to-open for URL-like values.
    bool ShowURL() const { return FShowURL; }
    void setShowURL(bool b);
    TColor URLColor() const { return FURLColor; }
    void setURLColor(TColor c) { FURLColor = c; }
    // A value wider than the field is shown as its hint.
    bool HintShowLargeText() const { return FHintShowLargeText; }
    void setHintShowLargeText(bool b) { FHintShowLargeText = b; }
    // Escape restores the value the field had when it took the focus.
    bool CanUndo() const;
    void setCanUndo(bool b);
    // Enter and Escape stay in the field (True) or go to the parent (False).
    bool DefaultHandling() const;
    void setDefaultHandling(bool b);
    // Enter moves on as Tab does.
    bool ReturnIsTab() const;
    void setReturnIsTab(bool b);
    // The field takes the focus when the mouse enters it.
    bool AutoFocus() const { return FAutoFocus; }
    void setAutoFocus(bool b) { FAutoFocus = b; }
    // Focusing the field selects the value.
    bool AutoSelect() const { return FAutoSelect; }
    void setAutoSelect(bool b) { FAutoSelect = b; }
    // Most characters of the value that typing, pasting and dropping may leave; 0 (the default): no
    // limit. Assigning Text is never limited.
    int maxLength() const;
    void setMaxLength(int length);
    // Ignored while loading and while read-only; also sets the line edit's own flag.
    bool Modified() const { return FIsModified; }
    void setModified(bool b);
    bool IsError() const { return FError; }
    void setIsError(bool b);
    QString Version() const;
    void setVersion(const QString&) { }

    int SelStart() const;
    int SelLength() const { return int(selectedText().size()); }

    void SelectAll();
    // Post-loading initialisation; an owner that creates the field in code may call it.
    void Init();
    // Width in pixels of the value in the field's font.
    int GetTextSize() const;
    // Index of the character nearest to a client point.
    int CharFromPos(const QPoint& pt) const;
    // Client position of a character's left edge; past the last character, one character width on.
    QPoint PosFromChar(int index) const;
    bool IsUrlLook() const { return FIsUrl; }
    // The editing rules, where typed input plugs in.
    TAdvEditControl& EditControl() const { return *m_control; }

    // --- typed input (the rules are TTypedInput's) ---
    // What the value holds and how typing, pasting and assigning treat it. etPassword masks the
    // text with "*", switches CanUndo off and never lets the text out (copy, cut, drag, hint, URL
    // look); a value that cannot be read as the new type becomes 0.
    TAdvEditType EditType() const;
    void setEditType(TAdvEditType type);
    // Decimals of float and money values (negative: FloatValue writes use the general format).
    int Precision() const;
    void setPrecision(int precision);
    TPrecisionDisplay PrecisionDisplay() const;
    void setPrecisionDisplay(TPrecisionDisplay display);
    // Numeric, float and money fields take a minus sign.
    bool Signed() const;
    void setSigned(bool b);
    // Numeric fields may stay empty instead of showing 0.
    bool AllowNumericNullValue() const;
    void setAllowNumericNullValue(bool b);
    // Money values group their integer part with the locale's thousand separator.
    bool AutoThousandSeparator() const;
    void setAutoThousandSeparator(bool b);
    // The numeric keypad's decimal key types the locale's decimal separator.
    bool ExcelStyleDecimalSeparator() const;
    void setExcelStyleDecimalSeparator(bool b);
    // Most integer-part characters typing may make (0: no limit).
    int LengthLimit() const;
    void setLengthLimit(int limit);
    // The focus moves on when the integer part reaches LengthLimit.
    bool TabOnFullLength() const;
    void setTabOnFullLength(bool b);
    // The characters an etValidChars field takes.
    QString ValidChars() const;
    void setValidChars(const QString& chars);
    // The value as a number; integer reads saturate at the 32-bit bounds.
    double FloatValue() const;
    void setFloatValue(double x);
    int IntValue() const;
    void setIntValue(int n);
    // Caret just before / after the value's decimal separator (at the value's start without one).
    void SelectBeforeDecimal();
    void SelectAfterDecimal();
    // The value read as integer ranges ("1-3,7;9"); false when an item is not valid.
    bool RangeStrToList(TRangeList& list) const;
    // The value := the list written as ranges.
    void ListToRangeStr(const TRangeList& list);

    // Events: sender first, outputs as trailing references.
    std::function<void(TAdvEdit*, const QString&, bool&)> OnValueValidate;
    std::function<void(TAdvEdit*, const QString&, bool&)> OnClipboardCopy;
    std::function<void(TAdvEdit*, const QString&, bool&)> OnClipboardCut;
    std::function<void(TAdvEdit*, const QString&, bool&)> OnClipboardPaste;
    std::function<void(TAdvEdit*, const QString&, bool&)> OnURLClick;
    std::function<void(TAdvEdit*)> OnMouseEnter;
    std::function<void(TAdvEdit*)> OnMouseLeave;
    std::function<void(TAdvEdit*)> OnChange;
    std::function<void(TAdvEdit*, QChar&)> OnKeyPress;

    virtual std::uint32_t VersionNumber() const { return 0x02080300; }
    virtual bool ValidateValue(const QString& value);
    virtual void DoValidateValue(const QString& value, bool& isValid);
    virtual bool IsUrlText() const;
    // Value persistence plugs in here.
    virtual void LoadPersist() { }
    virtual void SavePersist() { }

    // The field's context menu: its clipboard commands run through the field's rules.
    QMenu* createStandardContextMenu();
    // A password's text is not told to input methods.
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

public slots:
    // Clipboard commands, however they are issued (keys, menu, slots): copy and cut call
    // OnClipboardCopy / OnClipboardCut; paste follows the paste rules and never changes a
    // read-only field.
    void copy() const;
    void cut();
    void paste();
    // Selects the value (SelectAll).
    void selectAll();

signals:
    // The value changed (also when the change notification is swallowed).
    void valueChanged(const QString& value);
    void modifiedChanged(bool modified);
    void errorChanged(bool isError);
    void colorChanged(uint color);
    void fontColorChanged(uint color);
    void editAlignChanged(TAdvEdit::TEditAlign align);

protected:
    void Loaded() override;
    // Edit-change after the block check: validation, OnChange.
    virtual void Change();

    // Hooks for the attached label and lookup list.
    virtual void LabelEnabledChanged(bool enabled) { Q_UNUSED(enabled); }
    virtual void LabelFocusChanged(bool focused) { Q_UNUSED(focused); }
    virtual void LabelSetup() { }
    virtual bool LookupVisible() const { return false; }
    virtual void LookupSelect() { }
    virtual bool LookupKey(int key)
    {
        Q_UNUSED(key);
        return false;
    }
    virtual void UpdateLookupList() { }
    virtual void LookupFocusLost() { }
    // Drag of the selected text starts here when the field is a drag source.
    virtual bool StartTextDrag(const QString& text)
    {
        Q_UNUSED(text);
        return false;
    }
    // Drop-caret mark while text is dragged over the field; (-1, -1) removes it.
    void setDropCaret(const QPoint& clientPos);

    void keyPressEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void changeEvent(QEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    bool event(QEvent* e) override;

private:
    friend class TAdvEditHost;
    void setBackground(TColor c); // shown background, FNormalColor untouched
    void ApplyPalette();
    void UpdateTextRect(bool inset);
    void setUrlLook(bool on);
    static void HideTextFromInputMethod(QInputMethodQueryEvent& query);
    void ControlTextChanged();
    void LineEditEdited();
    void RememberSelection();
    // Marks the line edit's edits as the field's own while it lives.
    struct OwnEdit {
        explicit OwnEdit(TAdvEdit& edit)
            : e(edit)
        {
            ++e.m_ownEdit;
        }
        ~OwnEdit() { --e.m_ownEdit; }
        TAdvEdit& e;
    };
    bool ErrorShowing() const { return FError && FShowError; }
    bool BorderActive() const;
    void PaintBorder(QPainter& p) const;
    void PaintErrorMarker(QPainter& p) const;
    int SelEnd() const { return SelStart() + SelLength(); }
    int ValueEnd() const;

    std::unique_ptr<TAdvEditHost> m_host;
    std::unique_ptr<TAdvEditControl> m_control;
    std::unique_ptr<TTypedEditInput> m_typed;
    QString FEmptyText;
    TColor FColor = clWindow;
    TColor m_shownFontColor = clWindowText;
    TColor FNormalColor = clWindow;
    TColor FFontColor = clWindowText; // text colour to restore after focus, modified and URL colouring
    TColor FDisabledColor = 0xC0C0C0;
    TColor FFocusColor = clNone;
    TColor FFocusFontColor = clWindowText;
    TColor FFocusBorderColor = clNone;
    TColor FFlatLineColor = 0;
    TColor FModifiedColor = clHighlight;
    TColor FErrorColor = 0x0000FF;
    TColor FErrorFontColor = 0xFFFFFF;
    TColor FURLColor = 0xFF0000;
    bool FDisabledBorder = true, FFocusBorder = false, FFocusLabel = false, FBorder3D = false;
    bool FFlat = false, FFlatParentColor = true, FSoftBorder = false, FTransparent = false;
    bool FShowModified = false, FShowError = false, FShowURL = false, FHintShowLargeText = false;
    bool FAutoFocus = false, FAutoSelect = true;
    int FFocusWidthInc = 0, FErrorMarkerPos = 0, FErrorMarkerLen = 0;
    TEditAlign FFocusAlign = eaDefault, FEditAlign = eaLeft, FOldEditAlign = eaLeft;
    bool FAlignChanging = false;
    bool FOldBorder = true; // framework border to restore when Flat is switched off
    bool FIsModified = false, FError = false, FIsUrl = false;
    bool FMouseInControl = false, FButtonDown = false;
    QPoint FCaretPos { -1, -1 }; // drop-caret mark during a drag over the field
    bool FBlockChange = false, FBlockCopy = false, FIsValidating = false;
    int FLoadedHeight = 0;
    int FIndentL = 0, FIndentR = 0;
    bool m_wasEnabled = true;
    QString m_lastValue; // the value last reported by valueChanged
    struct Known {
        QString text;
        int anchor = 0, caret = 0;
    } m_known; // control text and selection before the line edit's latest edit
    int m_ownEdit = 0; // > 0: the line edit edits for the field
    bool m_undoingForeignEdit = false;
    bool m_staleChange = false; // the line edit will report an undone edit once more
};
