// SPDX-License-Identifier: MIT
#pragma once
#include "Color.h"
#include "Loadable.h"

#include <QLineEdit>
#include <QPointer>
#include <functional>

// Single-line field whose value sits between a fixed Prefix and Suffix, with colours that follow
// the enabled, focused, modified and error states, its own borders and Enter/Escape conventions.
// Control text = Prefix + value + Suffix; selection positions count control-text characters.
class TAdvEdit : public QLineEdit, public TLoadable {
    Q_OBJECT
    Q_PROPERTY(QString Text READ Text WRITE SetText)
    Q_PROPERTY(QString Prefix READ Prefix WRITE SetPrefix)
    Q_PROPERTY(QString Suffix READ Suffix WRITE SetSuffix)
    Q_PROPERTY(uint Color READ Color WRITE SetColor)
    Q_PROPERTY(uint FontColor READ FontColor WRITE SetFontColor)
    Q_PROPERTY(uint DisabledColor READ DisabledColor WRITE SetDisabledColor)
    Q_PROPERTY(bool DisabledBorder READ DisabledBorder WRITE SetDisabledBorder)
    Q_PROPERTY(uint FocusColor READ FocusColor WRITE SetFocusColor)
    Q_PROPERTY(uint FocusFontColor READ FocusFontColor WRITE SetFocusFontColor)
    Q_PROPERTY(bool FocusBorder READ FocusBorder WRITE SetFocusBorder)
    Q_PROPERTY(uint FocusBorderColor READ FocusBorderColor WRITE SetFocusBorderColor)
    Q_PROPERTY(bool FocusLabel READ FocusLabel WRITE SetFocusLabel)
    Q_PROPERTY(int FocusWidthInc READ FocusWidthInc WRITE SetFocusWidthInc)
    Q_PROPERTY(TEditAlign FocusAlign READ FocusAlign WRITE SetFocusAlign)
    Q_PROPERTY(TEditAlign EditAlign READ EditAlign WRITE SetEditAlign)
    Q_PROPERTY(bool Border3D READ Border3D WRITE SetBorder3D)
    Q_PROPERTY(bool Flat READ Flat WRITE SetFlat)
    Q_PROPERTY(uint FlatLineColor READ FlatLineColor WRITE SetFlatLineColor)
    Q_PROPERTY(bool FlatParentColor READ FlatParentColor WRITE SetFlatParentColor)
    Q_PROPERTY(bool SoftBorder READ SoftBorder WRITE SetSoftBorder)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)
    Q_PROPERTY(QString EmptyText READ EmptyText WRITE SetEmptyText)
    Q_PROPERTY(bool ShowModified READ ShowModified WRITE SetShowModified)
    Q_PROPERTY(uint ModifiedColor READ ModifiedColor WRITE SetModifiedColor)
    Q_PROPERTY(bool ShowError READ ShowError WRITE SetShowError)
    Q_PROPERTY(uint ErrorColor READ ErrorColor WRITE SetErrorColor)
    Q_PROPERTY(uint ErrorFontColor READ ErrorFontColor WRITE SetErrorFontColor)
    Q_PROPERTY(int ErrorMarkerPos READ ErrorMarkerPos WRITE SetErrorMarkerPos)
    Q_PROPERTY(int ErrorMarkerLen READ ErrorMarkerLen WRITE SetErrorMarkerLen)
    Q_PROPERTY(bool ShowURL READ ShowURL WRITE SetShowURL)
    Q_PROPERTY(uint URLColor READ URLColor WRITE SetURLColor)
    Q_PROPERTY(bool HintShowLargeText READ HintShowLargeText WRITE SetHintShowLargeText)
    Q_PROPERTY(bool CanUndo READ CanUndo WRITE SetCanUndo)
    Q_PROPERTY(bool DefaultHandling READ DefaultHandling WRITE SetDefaultHandling)
    Q_PROPERTY(bool ReturnIsTab READ ReturnIsTab WRITE SetReturnIsTab)
    Q_PROPERTY(bool AutoFocus READ AutoFocus WRITE SetAutoFocus)
    Q_PROPERTY(bool Modified READ Modified WRITE SetModified)
    Q_PROPERTY(bool IsError READ IsError WRITE SetIsError)
    Q_PROPERTY(QString Version READ Version WRITE SetVersion)

public:
    enum TEditAlign { eaLeft, eaRight, eaDefault, eaCenter };
    Q_ENUM(TEditAlign)

    explicit TAdvEdit(QWidget* parent = nullptr);
    ~TAdvEdit() override;

    QString Text() const;
    void SetText(const QString& value);
    QString Prefix() const { return FPrefix; }
    void SetPrefix(const QString& v);
    QString Suffix() const { return FSuffix; }
    void SetSuffix(const QString& v);

    // Background; every assignment also becomes the normal (enabled, unfocused) colour.
    TColor Color() const { return FColor; }
    void SetColor(TColor c);
    // Text colour (the font's colour).
    TColor FontColor() const { return m_fontColor; }
    void SetFontColor(TColor c);
    TColor DisabledColor() const { return FDisabledColor; }
    void SetDisabledColor(TColor c)
    {
        FDisabledColor = c;
        update();
    }
    bool DisabledBorder() const { return FDisabledBorder; }
    void SetDisabledBorder(bool b)
    {
        FDisabledBorder = b;
        update();
    }
    TColor FocusColor() const { return FFocusColor; }
    void SetFocusColor(TColor c) { FFocusColor = c; }
    TColor FocusFontColor() const { return FFocusFontColor; }
    void SetFocusFontColor(TColor c) { FFocusFontColor = c; }
    bool FocusBorder() const { return FFocusBorder; }
    void SetFocusBorder(bool b)
    {
        FFocusBorder = b;
        update();
    }
    TColor FocusBorderColor() const { return FFocusBorderColor; }
    void SetFocusBorderColor(TColor c)
    {
        FFocusBorderColor = c;
        update();
    }
    bool FocusLabel() const { return FFocusLabel; }
    void SetFocusLabel(bool b) { FFocusLabel = b; }
    int FocusWidthInc() const { return FFocusWidthInc; }
    void SetFocusWidthInc(int w) { FFocusWidthInc = w; }
    TEditAlign FocusAlign() const { return FFocusAlign; }
    void SetFocusAlign(TEditAlign a) { FFocusAlign = a; }
    TEditAlign EditAlign() const { return FEditAlign; }
    void SetEditAlign(TEditAlign a);
    bool Border3D() const { return FBorder3D; }
    void SetBorder3D(bool b)
    {
        FBorder3D = b;
        update();
    }
    bool Flat() const { return FFlat; }
    void SetFlat(bool b);
    TColor FlatLineColor() const { return FFlatLineColor; }
    void SetFlatLineColor(TColor c)
    {
        FFlatLineColor = c;
        update();
    }
    bool FlatParentColor() const { return FFlatParentColor; }
    void SetFlatParentColor(bool b) { FFlatParentColor = b; }
    bool SoftBorder() const { return FSoftBorder; }
    void SetSoftBorder(bool b)
    {
        FSoftBorder = b;
        update();
    }
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool b);
    QString EmptyText() const { return FEmptyText; }
    void SetEmptyText(const QString& t)
    {
        FEmptyText = t;
        update();
    }
    bool ShowModified() const { return FShowModified; }
    void SetShowModified(bool b) { FShowModified = b; }
    TColor ModifiedColor() const { return FModifiedColor; }
    void SetModifiedColor(TColor c) { FModifiedColor = c; }
    bool ShowError() const { return FShowError; }
    void SetShowError(bool b) { FShowError = b; }
    TColor ErrorColor() const { return FErrorColor; }
    void SetErrorColor(TColor c) { FErrorColor = c; }
    TColor ErrorFontColor() const { return FErrorFontColor; }
    void SetErrorFontColor(TColor c) { FErrorFontColor = c; }
    int ErrorMarkerPos() const { return FErrorMarkerPos; }
    void SetErrorMarkerPos(int p)
    {
        FErrorMarkerPos = p;
        update();
    }
    int ErrorMarkerLen() const { return FErrorMarkerLen; }
    void SetErrorMarkerLen(int l)
    {
        FErrorMarkerLen = l;
        update();
    }
    bool ShowURL() const { return FShowURL; }
    void SetShowURL(bool b);
    TColor URLColor() const { return FURLColor; }
    void SetURLColor(TColor c) { FURLColor = c; }
    bool HintShowLargeText() const { return FHintShowLargeText; }
    void SetHintShowLargeText(bool b) { FHintShowLargeText = b; }
    bool CanUndo() const { return FCanUndo; }
    void SetCanUndo(bool b) { FCanUndo = b; }
    bool DefaultHandling() const { return FDefaultHandling; }
    void SetDefaultHandling(bool b) { FDefaultHandling = b; }
    bool ReturnIsTab() const { return FReturnIsTab; }
    void SetReturnIsTab(bool b) { FReturnIsTab = b; }
    bool AutoFocus() const { return FAutoFocus; }
    void SetAutoFocus(bool b) { FAutoFocus = b; }
    bool Modified() const { return FIsModified; }
    void SetModified(bool b);
    bool IsError() const { return FError; }
    void SetIsError(bool b);
    QString Version() const;
    void SetVersion(const QString&) { }

    int SelStart() const;
    int SelLength() const { return int(selectedText().size()); }
    void SetSel(int start, int length);

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

    // Clipboard commands as the keyboard and the context menu issue them.
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();

signals:
    void Changed();

protected:
    void Loaded() override;
    // Edit-change after the block check: validation, OnChange.
    virtual void Change();

    // Hooks for typed input: format a written value; check a pasted value; handle a typed
    // character (return false to discard it).
    virtual QString FormatValue(const QString& value) const { return value; }
    virtual bool AcceptPastedValue(const QString& newValue) const
    {
        Q_UNUSED(newValue);
        return true;
    }
    virtual bool TypedCharacter(QChar ch)
    {
        Q_UNUSED(ch);
        return true;
    }
    // Hooks for the attached label and lookup list.
    virtual void LabelEnabledChanged(bool enabled) { Q_UNUSED(enabled); }
    virtual void LabelFocusChanged(bool focused) { Q_UNUSED(focused); }
    virtual void LabelSetup() { }
    virtual bool LookupVisible() const { return false; }
    virtual bool LookupKey(QKeyEvent* e)
    {
        Q_UNUSED(e);
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
    void SetDropCaret(const QPoint& clientPos)
    {
        if (clientPos == FCaretPos)
            return;
        FCaretPos = clientPos;
        update();
    }

    void keyPressEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void changeEvent(QEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    bool event(QEvent* e) override;

private:
    void SetBackground(TColor c); // shown background, FNormalColor untouched
    void SetShownFontColor(TColor c); // shown text colour, FFontColor untouched
    void ApplyPalette();
    void UpdateTextRect(bool inset);
    void SetUrlLook(bool on);
    void OnTextChanged();
    bool KeyDownSteps(QKeyEvent* e); // false: discarded
    bool CharacterSteps(QKeyEvent* e); // false: discarded
    bool HasRealFocus() const { return hasFocus(); }
    bool ErrorShowing() const { return FError && FShowError; }
    bool BorderActive() const;
    void PaintBorder(QPainter& p) const;
    void PaintErrorMarker(QPainter& p) const;
    int SelEnd() const { return SelStart() + SelLength(); }
    int ValueEnd() const { return int(FPrefix.size() + Text().size()); }

    QString FPrefix, FSuffix, FEmptyText;
    TColor FColor = clWindow;
    TColor m_fontColor = clWindowText;
    TColor FNormalColor = clWindow;
    TColor FFontColor = clWindowText;
    TColor FDisabledColor = 0xC0C0C0;
    TColor FFocusColor = clNone;
    TColor FFocusFontColor = clWindowText;
    TColor FFocusBorderColor = clNone;
    TColor FFlatLineColor = 0;
    TColor FModifiedColor = clHighlight;
    TColor FErrorColor = 0x0000FF;
    TColor FErrorFontColor = 0xFFFFFF;
    TColor FURLColor = 0xFF0000;
    TColor m_shownBackground = clWindow;
    bool FDisabledBorder = true, FFocusBorder = false, FFocusLabel = false, FBorder3D = false;
    bool FFlat = false, FFlatParentColor = true, FSoftBorder = false, FTransparent = false;
    bool FShowModified = false, FShowError = false, FShowURL = false, FHintShowLargeText = false;
    bool FCanUndo = true, FDefaultHandling = true, FReturnIsTab = false, FAutoFocus = false;
    int FFocusWidthInc = 0, FErrorMarkerPos = 0, FErrorMarkerLen = 0;
    TEditAlign FFocusAlign = eaDefault, FEditAlign = eaLeft, FOldEditAlign = eaLeft;
    bool FAlignChanging = false;
    QString FOldString;
    bool FOldBorder = true; // framework border to restore when Flat is switched off
    bool FIsModified = false, FError = false, FIsUrl = false;
    bool FMouseInControl = false, FButtonDown = false;
    QPoint FCaretPos { -1, -1 }; // drop-caret mark during a drag over the field
    bool FBlockChange = false, FBlockCopy = false, FIsValidating = false;
    int FLoadedHeight = 0;
    int FIndentL = 0, FIndentR = 0;
    bool FIsWinXP = true;
    bool FIsThemed = true;
    bool m_wasEnabled = true;
};
