// SPDX-License-Identifier: MIT
#pragma once
#include "AdvEditLabel.h"
#include "AdvEditLookup.h"
#include "AdvEditPersist.h"
#include "Color.h"
#include "Loadable.h"
#include "Property.h"
#include "TypedInput.h"

#include <QLineEdit>
#include <QPointer>
#include <functional>
#include <memory>

class QInputMethodQueryEvent;
class TEditLabel;

// Single-line field whose value sits between a fixed Prefix and Suffix, with colours that follow
// the enabled, focused, modified and error states, its own borders and Enter/Escape conventions.
// Control text = Prefix + value + Suffix; selection positions count control-text characters.
// The key, paste, drop and typed-input rules live in TAdvEditControl (AdvEditControl.h) and
// TTypedInput; this class holds the properties, events, colours and painting, and is the TEditHost
// through which the rules see it.
//
// Members of QLineEdit whose meaning the field changes are declared again here (setText,
// setModified, maxLength, copy, cut, paste, selectAll, createStandardContextMenu), so calls through
// a TAdvEdit, the meta-object and the field's menu reach them. An edit the line edit makes when one
// of its own slots is called through a QLineEdit pointer is undone, and a paste among them is done
// again by the field's rules.
class TAdvEdit : public QLineEdit, public TLoadable, private TEditHost {
    Q_OBJECT
    Q_PROPERTY(QString Text READ Text WRITE setText NOTIFY valueChanged)
    Q_PROPERTY(QString Prefix READ Prefix WRITE setPrefix NOTIFY prefixChanged)
    Q_PROPERTY(QString Suffix READ Suffix WRITE setSuffix NOTIFY suffixChanged)
    Q_PROPERTY(uint Color READ Color WRITE setColor NOTIFY colorChanged)
    Q_PROPERTY(uint FontColor READ FontColor WRITE setFontColor NOTIFY fontColorChanged)
    Q_PROPERTY(uint DisabledColor READ DisabledColor WRITE setDisabledColor NOTIFY disabledColorChanged)
    Q_PROPERTY(bool DisabledBorder READ DisabledBorder WRITE setDisabledBorder NOTIFY disabledBorderChanged)
    Q_PROPERTY(uint FocusColor READ FocusColor WRITE setFocusColor NOTIFY focusColorChanged)
    Q_PROPERTY(uint FocusFontColor READ FocusFontColor WRITE setFocusFontColor NOTIFY focusFontColorChanged)
    Q_PROPERTY(bool FocusBorder READ FocusBorder WRITE setFocusBorder NOTIFY focusBorderChanged)
    Q_PROPERTY(
        uint FocusBorderColor READ FocusBorderColor WRITE setFocusBorderColor NOTIFY focusBorderColorChanged)
    Q_PROPERTY(bool FocusLabel READ FocusLabel WRITE setFocusLabel NOTIFY focusLabelChanged)
    Q_PROPERTY(int FocusWidthInc READ FocusWidthInc WRITE setFocusWidthInc NOTIFY focusWidthIncChanged)
    Q_PROPERTY(TEditAlign FocusAlign READ FocusAlign WRITE setFocusAlign NOTIFY focusAlignChanged)
    Q_PROPERTY(TEditAlign EditAlign READ EditAlign WRITE setEditAlign NOTIFY editAlignChanged)
    Q_PROPERTY(bool Border3D READ Border3D WRITE setBorder3D NOTIFY border3DChanged)
    Q_PROPERTY(bool Flat READ Flat WRITE setFlat NOTIFY flatChanged)
    Q_PROPERTY(uint FlatLineColor READ FlatLineColor WRITE setFlatLineColor NOTIFY flatLineColorChanged)
    Q_PROPERTY(
        bool FlatParentColor READ FlatParentColor WRITE setFlatParentColor NOTIFY flatParentColorChanged)
    Q_PROPERTY(bool SoftBorder READ SoftBorder WRITE setSoftBorder NOTIFY softBorderChanged)
    Q_PROPERTY(bool Transparent READ Transparent WRITE setTransparent NOTIFY transparentChanged)
    Q_PROPERTY(QString EmptyText READ EmptyText WRITE setEmptyText NOTIFY emptyTextChanged)
    Q_PROPERTY(bool ShowModified READ ShowModified WRITE setShowModified NOTIFY showModifiedChanged)
    Q_PROPERTY(uint ModifiedColor READ ModifiedColor WRITE setModifiedColor NOTIFY modifiedColorChanged)
    Q_PROPERTY(bool ShowError READ ShowError WRITE setShowError NOTIFY showErrorChanged)
    Q_PROPERTY(uint ErrorColor READ ErrorColor WRITE setErrorColor NOTIFY errorColorChanged)
    Q_PROPERTY(uint ErrorFontColor READ ErrorFontColor WRITE setErrorFontColor NOTIFY errorFontColorChanged)
    Q_PROPERTY(int ErrorMarkerPos READ ErrorMarkerPos WRITE setErrorMarkerPos NOTIFY errorMarkerPosChanged)
    Q_PROPERTY(int ErrorMarkerLen READ ErrorMarkerLen WRITE setErrorMarkerLen NOTIFY errorMarkerLenChanged)
    Q_PROPERTY(bool ShowURL READ ShowURL WRITE setShowURL NOTIFY showUrlChanged)
    Q_PROPERTY(uint URLColor READ URLColor WRITE setURLColor NOTIFY urlColorChanged)
    Q_PROPERTY(bool HintShowLargeText READ HintShowLargeText WRITE setHintShowLargeText NOTIFY
            hintShowLargeTextChanged)
    Q_PROPERTY(bool CanUndo READ CanUndo WRITE setCanUndo NOTIFY canUndoChanged)
    Q_PROPERTY(
        bool DefaultHandling READ DefaultHandling WRITE setDefaultHandling NOTIFY defaultHandlingChanged)
    Q_PROPERTY(bool ReturnIsTab READ ReturnIsTab WRITE setReturnIsTab NOTIFY returnIsTabChanged)
    Q_PROPERTY(bool AutoFocus READ AutoFocus WRITE setAutoFocus NOTIFY autoFocusChanged)
    Q_PROPERTY(bool AutoSelect READ AutoSelect WRITE setAutoSelect NOTIFY autoSelectChanged)
    Q_PROPERTY(int maxLength READ maxLength WRITE setMaxLength NOTIFY maxLengthChanged)
    Q_PROPERTY(bool Modified READ Modified WRITE setModified NOTIFY modifiedChanged)
    Q_PROPERTY(bool IsError READ IsError WRITE setIsError NOTIFY errorChanged)
    Q_PROPERTY(QString Version READ Version WRITE setVersion)
    // Typed input.
    Q_PROPERTY(AdvEditTypes::TAdvEditType EditType READ EditType WRITE setEditType NOTIFY editTypeChanged)
    Q_PROPERTY(int Precision READ Precision WRITE setPrecision NOTIFY precisionChanged)
    Q_PROPERTY(AdvEditTypes::TPrecisionDisplay PrecisionDisplay READ PrecisionDisplay WRITE
            setPrecisionDisplay NOTIFY precisionDisplayChanged)
    Q_PROPERTY(bool Signed READ Signed WRITE setSigned NOTIFY signedChanged)
    Q_PROPERTY(bool AllowNumericNullValue READ AllowNumericNullValue WRITE setAllowNumericNullValue NOTIFY
            allowNumericNullValueChanged)
    Q_PROPERTY(bool AutoThousandSeparator READ AutoThousandSeparator WRITE setAutoThousandSeparator NOTIFY
            autoThousandSeparatorChanged)
    Q_PROPERTY(bool ExcelStyleDecimalSeparator READ ExcelStyleDecimalSeparator WRITE
            setExcelStyleDecimalSeparator NOTIFY excelStyleDecimalSeparatorChanged)
    Q_PROPERTY(int LengthLimit READ LengthLimit WRITE setLengthLimit NOTIFY lengthLimitChanged)
    Q_PROPERTY(
        bool TabOnFullLength READ TabOnFullLength WRITE setTabOnFullLength NOTIFY tabOnFullLengthChanged)
    Q_PROPERTY(QString ValidChars READ ValidChars WRITE setValidChars NOTIFY validCharsChanged)
    Q_PROPERTY(double FloatValue READ FloatValue WRITE setFloatValue NOTIFY valueChanged STORED false)
    Q_PROPERTY(int IntValue READ IntValue WRITE setIntValue NOTIFY valueChanged STORED false)
    // Attached label, lookup list, persistence, drag and drop.
    Q_PROPERTY(QString LabelCaption READ LabelCaption WRITE setLabelCaption NOTIFY labelCaptionChanged)
    Q_PROPERTY(AdvEditLabels::TLabelPosition LabelPosition READ LabelPosition WRITE setLabelPosition NOTIFY
            labelPositionChanged)
    Q_PROPERTY(int LabelMargin READ LabelMargin WRITE setLabelMargin NOTIFY labelMarginChanged)
    Q_PROPERTY(
        bool LabelTransparent READ LabelTransparent WRITE setLabelTransparent NOTIFY labelTransparentChanged)
    Q_PROPERTY(bool LabelAlwaysEnabled READ LabelAlwaysEnabled WRITE setLabelAlwaysEnabled NOTIFY
            labelAlwaysEnabledChanged)
    Q_PROPERTY(QFont LabelFont READ LabelFont WRITE setLabelFont NOTIFY labelFontChanged)
    Q_PROPERTY(QLabel* EditLabel READ EditLabel NOTIFY editLabelChanged)
    Q_PROPERTY(TLookupSettings* Lookup READ Lookup CONSTANT)
    Q_PROPERTY(TPersistence* Persistence READ Persistence CONSTANT)
    Q_PROPERTY(bool OleDropSource READ OleDropSource WRITE setOleDropSource NOTIFY oleDropSourceChanged)
    Q_PROPERTY(bool OleDropTarget READ OleDropTarget WRITE setOleDropTarget NOTIFY oleDropTargetChanged)

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
    void setFocusColor(TColor c) { Notify(FFocusColor, c, &TAdvEdit::focusColorChanged); }
    // Text colour while focused; clNone keeps the text colour.
    TColor FocusFontColor() const { return FFocusFontColor; }
    void setFocusFontColor(TColor c) { Notify(FFocusFontColor, c, &TAdvEdit::focusFontColorChanged); }
    // Active border while the mouse is over the field or it has the focus.
    bool FocusBorder() const { return FFocusBorder; }
    void setFocusBorder(bool b);
    // When set, a 1-pixel frame of this colour while focused.
    TColor FocusBorderColor() const { return FFocusBorderColor; }
    void setFocusBorderColor(TColor c);
    // The attached label is bold while the field has the focus.
    bool FocusLabel() const { return FFocusLabel; }
    void setFocusLabel(bool b) { Notify(FFocusLabel, b, &TAdvEdit::focusLabelChanged); }
    // Pixels added to the width while focused.
    int FocusWidthInc() const { return FFocusWidthInc; }
    void setFocusWidthInc(int w) { Notify(FFocusWidthInc, w, &TAdvEdit::focusWidthIncChanged); }
    // Alignment while focused; eaDefault leaves EditAlign.
    TEditAlign FocusAlign() const { return FFocusAlign; }
    void setFocusAlign(TEditAlign a) { Notify(FFocusAlign, a, &TAdvEdit::focusAlignChanged); }
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
    void setFlatParentColor(bool b) { Notify(FFlatParentColor, b, &TAdvEdit::flatParentColorChanged); }
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
    void setShowModified(bool b) { Notify(FShowModified, b, &TAdvEdit::showModifiedChanged); }
    TColor ModifiedColor() const { return FModifiedColor; }
    void setModifiedColor(TColor c) { Notify(FModifiedColor, c, &TAdvEdit::modifiedColorChanged); }
    // Colours ErrorColor / ErrorFontColor while IsError.
    bool ShowError() const { return FShowError; }
    void setShowError(bool b) { Notify(FShowError, b, &TAdvEdit::showErrorChanged); }
    TColor ErrorColor() const { return FErrorColor; }
    void setErrorColor(TColor c) { Notify(FErrorColor, c, &TAdvEdit::errorColorChanged); }
    TColor ErrorFontColor() const { return FErrorFontColor; }
    void setErrorFontColor(TColor c) { Notify(FErrorFontColor, c, &TAdvEdit::errorFontColorChanged); }
    // Red zigzag under ErrorMarkerLen characters from ErrorMarkerPos while not focused.
    int ErrorMarkerPos() const { return FErrorMarkerPos; }
    void setErrorMarkerPos(int p);
    int ErrorMarkerLen() const { return FErrorMarkerLen; }
    void setErrorMarkerLen(int l);
    // URL look and click-to-open for URL-like values.
    bool ShowURL() const { return FShowURL; }
    void setShowURL(bool b);
    TColor URLColor() const { return FURLColor; }
    void setURLColor(TColor c) { Notify(FURLColor, c, &TAdvEdit::urlColorChanged); }
    // A value wider than the field is shown as its hint.
    bool HintShowLargeText() const { return FHintShowLargeText; }
    void setHintShowLargeText(bool b) { Notify(FHintShowLargeText, b, &TAdvEdit::hintShowLargeTextChanged); }
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
    void setAutoFocus(bool b) { Notify(FAutoFocus, b, &TAdvEdit::autoFocusChanged); }
    // Focusing the field selects the value.
    bool AutoSelect() const { return FAutoSelect; }
    void setAutoSelect(bool b) { Notify(FAutoSelect, b, &TAdvEdit::autoSelectChanged); }
    // Most characters of the value that typing, pasting and dropping may leave; 0 (the default): no
    // limit. Assigning Text is never limited.
    int maxLength() const;
    void setMaxLength(int length);
    // Ignored while loading and while read-only; also sets the line edit's own flag.
    bool Modified() const override { return FIsModified; }
    void setModified(bool b) override;
    bool IsError() const { return FError; }
    void setIsError(bool b);
    QString Version() const;
    void setVersion(const QString&) { }

    int SelStart() const override;
    int SelLength() const override { return int(selectedText().size()); }

    void SelectAll() override;
    // Post-loading initialisation; an owner that creates the field in code may call it.
    void Init();
    // Width in pixels of the value in the field's font.
    int GetTextSize() const;
    // Index of the character nearest to a client point.
    int CharFromPos(const QPoint& pt) const;
    // Client position of a character's left edge; past the last character, one character width on.
    QPoint PosFromChar(int index) const;
    bool IsUrlLook() const { return FIsUrl; }

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
    std::function<void(TAdvEdit*, QString&)> OnLookupSelect;
    std::function<void(TAdvEdit*, int, QString&)> OnLookupIndexSelect;
    std::function<void(TAdvEdit*)> OnLabelClick;
    std::function<void(TAdvEdit*)> OnLabelDblClick;

    virtual std::uint32_t VersionNumber() const { return 0x02080300; }
    virtual bool ValidateValue(const QString& value);
    virtual void DoValidateValue(const QString& value, bool& isValid);
    virtual bool IsUrlText() const;
    // Loads the kept value (and lookup history) when Persistence is enabled: after loading.
    virtual void LoadPersist();
    // Keeps the control text (and lookup history) when Persistence is enabled: when the field is
    // destroyed (TAdvEdit's own saving runs then).
    virtual void SavePersist(); // neither keeps a password

    // --- attached label: created by the first LabelCaption; it follows the field's parent,
    // visibility, enabled state, bounds and (with ParentFont) font, and goes with the field ---
    QString LabelCaption() const;
    void setLabelCaption(const QString& caption);
    AdvEditLabels::TLabelPosition LabelPosition() const { return FLabelPosition; }
    void setLabelPosition(AdvEditLabels::TLabelPosition position);
    // Pixels between label and field.
    int LabelMargin() const { return FLabelMargin; }
    void setLabelMargin(int margin);
    bool LabelTransparent() const { return FLabelTransparent; }
    void setLabelTransparent(bool b);
    // The label stays enabled while the field is disabled.
    bool LabelAlwaysEnabled() const { return FLabelAlwaysEnabled; }
    void setLabelAlwaysEnabled(bool b);
    // The label's font unless the field takes its parent's font; assignments count only then.
    QFont LabelFont() const { return FLabelFont; }
    void setLabelFont(const QFont& font);
    // The label, or null before the first LabelCaption.
    QLabel* EditLabel() const;
    void UpdateLabelPosition();

    // --- lookup list: a drop-down of the DisplayList entries that begin with what is typed ---
    TLookupSettings* Lookup() const { return FLookup; }
    // After every handled character and paste: shows, refills or hides the drop-down.
    void UpdateLookupList() override;
    // Takes the drop-down's current row (Enter, a click): Text, or with Multi the next entry.
    void SelectLookupItem() override;
    bool LookupShown() const override;

    TPersistence* Persistence() const { return FPersistence; }

    // --- drag and drop of text ---
    // The selected text can be dragged out (moved, or copied with Control).
    bool OleDropSource() const { return FOleDropSource; }
    void setOleDropSource(bool b) { Notify(FOleDropSource, b, &TAdvEdit::oleDropSourceChanged); }
    // Text can be dropped in (not into a read-only field); a dropped list of files is ignored.
    bool OleDropTarget() const { return FOleDropTarget; }
    void setOleDropTarget(bool b);
    // Client position of the drop-caret mark while text is dragged over the field; (-1, -1): none.
    QPoint DropCaret() const { return FCaretPos; }

    void setVisible(bool visible) override;
    // The line edit's, and wider by what the field widened itself on taking the focus.
    QSize sizeHint() const override;
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
    void prefixChanged(const QString& prefix);
    void suffixChanged(const QString& suffix);
    void disabledColorChanged(uint disabledColor);
    void disabledBorderChanged(bool disabledBorder);
    void focusColorChanged(uint focusColor);
    void focusFontColorChanged(uint focusFontColor);
    void focusBorderChanged(bool focusBorder);
    void focusBorderColorChanged(uint focusBorderColor);
    void focusLabelChanged(bool focusLabel);
    void focusWidthIncChanged(int focusWidthInc);
    void focusAlignChanged(TAdvEdit::TEditAlign focusAlign);
    void border3DChanged(bool border3D);
    void flatChanged(bool flat);
    void flatLineColorChanged(uint flatLineColor);
    void flatParentColorChanged(bool flatParentColor);
    void softBorderChanged(bool softBorder);
    void transparentChanged(bool transparent);
    void emptyTextChanged(const QString& emptyText);
    void showModifiedChanged(bool showModified);
    void modifiedColorChanged(uint modifiedColor);
    void showErrorChanged(bool showError);
    void errorColorChanged(uint errorColor);
    void errorFontColorChanged(uint errorFontColor);
    void errorMarkerPosChanged(int errorMarkerPos);
    void errorMarkerLenChanged(int errorMarkerLen);
    void showUrlChanged(bool showURL);
    void urlColorChanged(uint color);
    void hintShowLargeTextChanged(bool hintShowLargeText);
    void canUndoChanged(bool canUndo);
    void defaultHandlingChanged(bool defaultHandling);
    void returnIsTabChanged(bool returnIsTab);
    void autoFocusChanged(bool autoFocus);
    void autoSelectChanged(bool autoSelect);
    void maxLengthChanged(int maxLength);
    void editTypeChanged(AdvEditTypes::TAdvEditType editType);
    void precisionChanged(int precision);
    void precisionDisplayChanged(AdvEditTypes::TPrecisionDisplay precisionDisplay);
    void signedChanged(bool isSigned);
    void allowNumericNullValueChanged(bool allowNumericNullValue);
    void autoThousandSeparatorChanged(bool autoThousandSeparator);
    void excelStyleDecimalSeparatorChanged(bool excelStyleDecimalSeparator);
    void lengthLimitChanged(int lengthLimit);
    void tabOnFullLengthChanged(bool tabOnFullLength);
    void validCharsChanged(const QString& validChars);
    void labelCaptionChanged(const QString& labelCaption);
    void labelPositionChanged(AdvEditLabels::TLabelPosition labelPosition);
    void labelMarginChanged(int labelMargin);
    void labelTransparentChanged(bool labelTransparent);
    void labelAlwaysEnabledChanged(bool labelAlwaysEnabled);
    void labelFontChanged(const QFont& labelFont);
    void editLabelChanged();
    void oleDropSourceChanged(bool oleDropSource);
    void oleDropTargetChanged(bool oleDropTarget);

protected:
    void Loaded() override;
    // Edit-change after the block check: validation, OnChange.
    void Change() override;

    // Drags `text`, the selection, out of the field (moved, or copied with Control) until it is
    // dropped or cancelled; true when a drag was started.
    virtual bool StartTextDrag(const QString& text);
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
    void moveEvent(QMoveEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dragLeaveEvent(QDragLeaveEvent* e) override;
    void dropEvent(QDropEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void changeEvent(QEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    bool event(QEvent* e) override;

private:
    // ---- the rest of the field as its editing rules see it ----
    QString ControlText() const override { return QLineEdit::text(); }
    int CursorPosition() const override { return cursorPosition(); }
    bool IsReadOnly() const override { return isReadOnly(); }
    bool BaseModified() const override { return isModified(); }
    QString ClipboardText() const override;
    void setControlText(const QString& text) override { QLineEdit::setText(text); }
    void AssignText(const QString& value) override { setText(value); }
    void Select(int anchor, int caret) override;
    void BlockNextChange(bool block) override { FBlockChange = block; }
    void PassKey(const QString& text) override;
    bool ForwardKeyToParent(int key) override;
    void FocusNext() override { focusNextChild(); }
    void KeyPressed(QChar& ch) override;
    bool AllowPaste(const QString& newValue) override;
    void Undo(const QString& value) override;

    void setBackground(TColor c); // shown background, FNormalColor untouched
    void ApplyPalette();
    void UpdateTextRect(bool inset);
    void setUrlLook(bool on);
    static void HideTextFromInputMethod(QInputMethodQueryEvent& query);
    void ControlTextChanged();
    void LineEditEdited();
    void RememberSelection();
    void LabelFollows();
    QFont LabelFontNow() const;
    void HideLookup();
    bool LookupKey(int key) override;
    // The drop position nearest `pos` inside the value, and the effect a drop there has.
    int DropIndex(const QPoint& pos) const;
    bool AcceptDrag(QDropEvent* e);
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
    // Stores `value` and emits `changed` with it when it differs from what `field` held.
    template <typename T, typename Signal> bool Notify(T& field, const T& value, Signal changed)
    {
        if (!StoreIfChanged(field, value))
            return false;
        std::invoke(changed, this, value); // emits
        return true;
    }
    // Runs `apply` and emits `changed` when the property `read` gives has another value after it.
    template <typename Read, typename Signal, typename Apply>
    void Changing(Read read, Signal changed, Apply apply)
    {
        const auto old = (this->*read)();
        apply();
        if (const auto now = (this->*read)(); now != old)
            std::invoke(changed, this, now); // emits
    }
    void ApplyFlat();
    bool ErrorShowing() const { return FError && FShowError; }
    bool BorderActive() const;
    void PaintBorder(QPainter& p) const;
    void PaintErrorMarker(QPainter& p) const;
    int SelEnd() const { return SelStart() + SelLength(); }
    int ValueEnd() const;

    TAdvEditControl m_control;
    TTypedInput m_typed;
    QKeyEvent* m_key = nullptr; // the key being handled
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
    int m_widenedBy = 0; // FocusWidthInc added on taking the focus
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
    QPointer<TEditLabel> FLabel;
    AdvEditLabels::TLabelPosition FLabelPosition = AdvEditLabels::lpLeftTop;
    int FLabelMargin = 4;
    bool FLabelTransparent = false, FLabelAlwaysEnabled = false;
    QFont FLabelFont;
    bool FParentFnt = false; // ParentFont when loading ended: the label takes the field's font
    bool m_labelBold = false; // bold while the field has the focus (FocusLabel)
    TLookupSettings* FLookup;
    TPersistence* FPersistence;
    QPointer<TLookupList> FLookupList;
    bool FOleDropSource = false, FOleDropTarget = false;
    bool FIsDragSource = false; // a drag from this field is in progress
    bool m_droppedOnSelf = false; // that drag was moved within this field
    QPoint m_pressPos;
    struct Known {
        QString text;
        int anchor = 0, caret = 0;
    } m_known; // control text and selection before the line edit's latest edit
    int m_ownEdit = 0; // > 0: the line edit edits for the field
    bool m_undoingForeignEdit = false;
    bool m_staleChange = false; // the line edit will report an undone edit once more
};
