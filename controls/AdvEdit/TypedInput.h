// SPDX-License-Identifier: MIT
#pragma once
#include "AdvEditControl.h"
#include "RangeList.h"
#include "TypedText.h"

#include <QObject>
#include <QString>

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

// The typed input of the edit field: per edit type, which typed characters are taken and what
// they do, how pasted text is checked, how assigned values are formatted, and the value as a
// number. It holds the typed-input settings and plugs into the editing class, through which it
// reads and changes the field; it has no widget. The separators are read from QLocale() at each
// use, so the field follows the number format in effect at that moment.
class TTypedInput final : public TEditInput {
public:
    using TAdvEditType = AdvEditTypes::TAdvEditType;
    using TPrecisionDisplay = AdvEditTypes::TPrecisionDisplay;
    using TSeparators = TypedText::TSeparators;

    // --- settings (the field's published properties of typed input) ---
    TAdvEditType EditType() const { return FEditType; }
    // The value is checked against the new type and reset to 0 where it cannot be read as one
    // (the field applies the password look itself).
    void SetEditType(TAdvEditControl& edit, TAdvEditType type);
    // Number of decimals of float and money values; negative: the general format in FloatValue
    // writes. Stored for string, float and money fields only; float and money values re-format.
    int Precision() const { return FPrecision; }
    void SetPrecision(TAdvEditControl& edit, int precision);
    TPrecisionDisplay PrecisionDisplay() const { return FPrecisionDisplay; }
    void SetPrecisionDisplay(TAdvEditControl& edit, TPrecisionDisplay display);
    bool Signed() const { return FSigned; }
    void SetSigned(bool b) { FSigned = b; }
    bool AllowNumericNullValue() const { return FAllowNumericNullValue; }
    void SetAllowNumericNullValue(bool b) { FAllowNumericNullValue = b; }
    bool AutoThousandSeparator() const { return FAutoThousandSeparator; }
    void SetAutoThousandSeparator(TAdvEditControl& edit, bool b);
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
    double FloatValue(const TAdvEditControl& edit) const;
    void SetFloatValue(TAdvEditControl& edit, double x);
    int IntValue(const TAdvEditControl& edit) const;
    void SetIntValue(TAdvEditControl& edit, int n);
    // Regroups a money value keeping the caret's distance from the end.
    void MoneyReformat(TAdvEditControl& edit) const;
    // The value was just written; it is in the separators now in effect.
    void ValueWritten() { FValueSeparators = TSeparators::Current(); }
    // The number format may have changed: a float or money value written in other separators is
    // rewritten in the current ones, so it still reads as the same number. Modified is kept.
    void NumberFormatChanged(TAdvEditControl& edit);

    // --- the editing class's hooks ---
    QString AssignedValue(const QString& value) override;
    // The keypad's decimal key may become DS; a full integer part refuses more characters.
    bool BeforeCharacter(TAdvEditControl& edit, const TEditKey& key, QChar& ch) override;
    Verdict Character(TAdvEditControl& edit, QChar& ch) override;
    // A full integer part moves the focus on.
    void Tail(TAdvEditControl& edit) override;
    // A money value's thousand separator beside the caret goes with the digit beyond it, since
    // the separator alone would be regrouped straight back in and the key would do nothing.
    void BeforeDeletion(TAdvEditControl& edit, bool backward) override;
    // Delete must not leave more integer-part characters than LengthLimit.
    bool KeyDownDelete(TAdvEditControl& edit) override;
    // After Delete or Backspace money values regroup.
    void AfterKeyDown(TAdvEditControl& edit, int key) override;
    // Takes the pasted value (formatted for the type; the text selected when it replaced a
    // selection, else the caret after it) or leaves everything as it was.
    void Paste(TAdvEditControl& edit, const PasteRequest& paste) override;
    // A full value moves the focus on, also after a paste without text.
    void AfterPaste(TAdvEditControl& edit) override;
    // Numbers re-format and empty numbers become 0 when the field loses the focus.
    void FocusLost(TAdvEditControl& edit) override;

    void SelectBeforeDecimal(TAdvEditControl& edit) const;
    void SelectAfterDecimal(TAdvEditControl& edit) const;
    bool RangeStrToList(const TAdvEditControl& edit, TRangeList& list) const;
    void ListToRangeStr(TAdvEditControl& edit, const TRangeList& list) const;

private:
    // ch is one character: one or two UTF-16 units.
    bool CharacterGate(const TAdvEditControl& edit, QString& ch, bool keypadDecimal) const;
    // A minus sign in a number field that is not Signed.
    bool DiscardsMinus(const QString& ch) const;
    enum class TFlow { Stop, Tail };
    // The type's own handling of a printable character (or Tab/carriage return); Stop ends the
    // character handling, Tail lets the field's tail steps run.
    TFlow TypeCharacter(TAdvEditControl& edit, const QString& ch);
    bool DeleteAllowed(const TAdvEditControl& edit) const;
    void AfterDeletion(TAdvEditControl& edit) const;
    bool PasteValue(TAdvEditControl& edit, const QString& text, const QString& newValue, int start,
        bool replacedSelection);
    bool IsNumberType() const;
    bool IsDecimalType() const;
    void Reformat(TAdvEditControl& edit);
    void ToggleSign(TAdvEditControl& edit, const QString& value) const;
    void SetValue(TAdvEditControl& edit, const QString& value) const;
    TFlow DecimalCharacter(TAdvEditControl& edit, const QString& ch, const TSeparators& sep);
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
    // The whole character of the key being handled (a pair of surrogates types as one).
    QString m_keyText;
    TSeparators FValueSeparators = TSeparators::Current();
};
