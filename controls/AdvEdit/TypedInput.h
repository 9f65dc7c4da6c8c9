// SPDX-License-Identifier: MIT
#pragma once
#include "RangeList.h"
#include "TypedText.h"

#include <QObject>
#include <QString>
#include <optional>

namespace AdvEditTypes {
Q_NAMESPACE
// What the edit field's value holds and how typing, pasting and assigning treat it.
enum TAdvEditType {
    etString,
    etNumeric,
    etFloat,
    etUppercase,
    etMixedCase,
    etLowerCase,
    etPassword,
    etMoney,
    etRange,
    etHex,
    etAlphaNumeric,
    etValidChars
};
Q_ENUM_NS(TAdvEditType)
// pdShortest writes assigned float and money values in the general format.
enum TPrecisionDisplay { pdNormal, pdShortest };
Q_ENUM_NS(TPrecisionDisplay)
} // namespace AdvEditTypes

// What typed input needs of the field it works on. The edit field's editing class supplies it over
// the real line edit; tests and the fuzz target supply a plain model. Positions count characters of
// the control text (Prefix + value + Suffix).
class TTypedField {
public:
    virtual ~TTypedField() = default;
    virtual QString ControlText() const = 0;
    virtual QString Prefix() const = 0;
    virtual QString Suffix() const = 0;
    virtual int SelStart() const = 0;
    virtual int SelLength() const = 0;
    // 0: no limit.
    virtual int MaxLength() const = 0;
    // The Text property: the value formatted by FormatAssigned and framed; Modified := False.
    virtual void SetText(const QString& value) = 0;
    // The control text exactly as given; with blockChange its change notification is swallowed.
    virtual void SetControlText(const QString& text, bool blockChange) = 0;
    virtual void SetSel(int start, int length) = 0;
    // The field's SelectAll (the value, or past a URL's scheme).
    virtual void SelectAll() = 0;
    // The framework's own handling of a typed character: it replaces the selection, within
    // MaxLength, and sets the framework's modified flag.
    virtual void PassCharacter(const QString& ch) = 0;
    virtual bool Modified() const = 0;
    virtual void SetModified(bool modified) = 0;
    virtual bool FrameworkModified() const = 0;
    // OnClipboardPaste with the value a paste would give; false refuses it.
    virtual bool AllowPaste(const QString& newValue) = 0;
    virtual void UpdateLookupList() = 0;
    // The focus moves on to the next control, as Tab would move it.
    virtual void MoveFocusOn() = 0;
};

// The typed input of the edit field: per edit type, which typed characters are taken and what
// they do, how pasted text is checked, how assigned values are formatted, and the value as a
// number. It holds the typed-input settings and works on a TTypedField; it has no widget. The
// separators are read from QLocale() at each use, so the field follows the number format in
// effect at that moment.
class TTypedInput {
public:
    using TAdvEditType = AdvEditTypes::TAdvEditType;
    using TPrecisionDisplay = AdvEditTypes::TPrecisionDisplay;
    using TSeparators = TypedText::TSeparators;

    static constexpr QChar kBackspace { 8 };
    static constexpr QChar kTab { 9 };
    static constexpr QChar kCarriageReturn { 13 };

    // --- settings (the field's published properties of typed input) ---
    TAdvEditType EditType() const { return FEditType; }
    // The value is checked against the new type and reset to 0 where it cannot be read as one
    // (the field applies the password look itself).
    void SetEditType(TTypedField& field, TAdvEditType type);
    // Number of decimals of float and money values; negative: the general format in FloatValue
    // writes. Stored for string, float and money fields only; float and money values re-format.
    int Precision() const { return FPrecision; }
    void SetPrecision(TTypedField& field, int precision);
    TPrecisionDisplay PrecisionDisplay() const { return FPrecisionDisplay; }
    void SetPrecisionDisplay(TTypedField& field, TPrecisionDisplay display);
    bool Signed() const { return FSigned; }
    void SetSigned(bool b) { FSigned = b; }
    bool AllowNumericNullValue() const { return FAllowNumericNullValue; }
    void SetAllowNumericNullValue(bool b) { FAllowNumericNullValue = b; }
    bool AutoThousandSeparator() const { return FAutoThousandSeparator; }
    void SetAutoThousandSeparator(TTypedField& field, bool b);
    bool ExcelStyleDecimalSeparator() const { return FExcelStyleDecimalSeparator; }
    void SetExcelStyleDecimalSeparator(bool b) { FExcelStyleDecimalSeparator = b; }
    // Most integer-part characters typing may make (0: no limit); 16-bit.
    int LengthLimit() const { return FLengthLimit; }
    void SetLengthLimit(int limit) { FLengthLimit = qint16(qBound(-32768, limit, 32767)); }
    bool TabOnFullLength() const { return FTabOnFullLength; }
    void SetTabOnFullLength(bool b) { FTabOnFullLength = b; }
    QString ValidChars() const { return FValidChars; }
    void SetValidChars(const QString& chars) { FValidChars = chars; }

    // --- the value ---
    // Step 1 of writing Text: empty numbers become "0", float and money values take their format,
    // hexadecimal is upper-cased; anything else is taken unchanged.
    QString FormatAssigned(const QString& value) const;
    double FloatValue(const TTypedField& field) const;
    void SetFloatValue(TTypedField& field, double x);
    int IntValue(const TTypedField& field) const;
    void SetIntValue(TTypedField& field, int n);
    // Regroups a money value keeping the caret's distance from the end.
    void MoneyReformat(TTypedField& field) const;
    // The value was just written; it is in the separators now in effect.
    void ValueWritten() { FValueSeparators = TSeparators::Current(); }
    // The number format may have changed: a float or money value written in other separators is
    // rewritten in the current ones, so it still reads as the same number. Modified is kept.
    void NumberFormatChanged(TTypedField& field);

    // --- typed characters (ch is one character: one or two UTF-16 units) ---
    // Before Backspace and the control keys: the keypad's decimal key may become DS; a full
    // integer part refuses more characters. False: the character is discarded.
    bool CharacterGate(const TTypedField& field, QString& ch, bool keypadDecimal) const;
    // A minus sign in a number field that is not Signed.
    bool DiscardsMinus(const QString& ch) const;
    enum class TFlow { Stop, Tail };
    // The type's own handling of a printable character (or Tab/carriage return); Stop ends the
    // character handling, Tail lets the field's tail steps run.
    TFlow Character(TTypedField& field, const QString& ch);
    // First part of the tail: a full integer part moves the focus on.
    void CharacterTail(TTypedField& field) const;

    // --- keys, paste, focus ---
    // Before Backspace (backward) or Delete without a selection: a money value's thousand
    // separator beside the caret goes with the digit beyond it, since the separator alone would be
    // regrouped straight back in and the key would do nothing.
    void BeforeDeletion(TTypedField& field, bool backward) const;
    // Whether Delete may run: it must not leave more integer-part characters than LengthLimit.
    bool DeleteAllowed(const TTypedField& field) const;
    // After the framework deleted (Delete or Backspace): money values regroup.
    void AfterDeletion(TTypedField& field) const;
    // A paste of the clipboard's text (nothing when it holds none), whole or not at all: the
    // field's own checks (OnClipboardPaste, MaxLength), PasteValue, the lookup, AfterPaste.
    void Paste(TTypedField& field, const std::optional<QString>& clipboardText);
    // The type's check of a paste the field allowed: `newValue` is the value with `text` put in
    // at value index `start`. Takes it (formatted for the type; the text selected when it replaced
    // a selection, else the caret after it) or leaves everything as it was; true when taken.
    bool PasteValue(
        TTypedField& field, const QString& text, const QString& newValue, int start, bool replacedSelection);
    // After every paste, also one without text: a full value moves the focus on.
    void AfterPaste(TTypedField& field) const;
    // Numbers re-format and empty numbers become 0 when the field loses the focus.
    void FocusLost(TTypedField& field);

    void SelectBeforeDecimal(TTypedField& field) const;
    void SelectAfterDecimal(TTypedField& field) const;
    bool RangeStrToList(const TTypedField& field, TRangeList& list) const;
    void ListToRangeStr(TTypedField& field, const TRangeList& list) const;

    static QString ValueOf(const TTypedField& field);

private:
    bool IsNumberType() const;
    bool IsDecimalType() const;
    void Reformat(TTypedField& field);
    void ToggleSign(TTypedField& field, const QString& value) const;
    void SetValue(TTypedField& field, const QString& value) const;
    TFlow DecimalCharacter(TTypedField& field, const QString& ch, const TSeparators& sep);
    bool PasteFits(const QString& newValue, const TSeparators& sep) const;

    TAdvEditType FEditType = AdvEditTypes::etString;
    qint16 FPrecision = 0;
    TPrecisionDisplay FPrecisionDisplay = AdvEditTypes::pdNormal;
    bool FSigned = false;
    bool FAllowNumericNullValue = false;
    bool FAutoThousandSeparator = true;
    bool FExcelStyleDecimalSeparator = false;
    qint16 FLengthLimit = 0;
    bool FTabOnFullLength = false;
    QString FValidChars;
    TSeparators FValueSeparators = TSeparators::Current();
};
