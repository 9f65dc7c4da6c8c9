// SPDX-License-Identifier: MIT
// TAdvEdit's typed-input properties: each forwards to the typed-input rules, which see the field
// through the editing class.
#include "AdvEdit.h"

#include <QApplication>
#include <QInputMethodQueryEvent>
#include <QProxyStyle>
#include <QStyleFactory>

namespace {

// Masks a password with "*", the field's password character, instead of the style's own.
class TPasswordStyle : public QProxyStyle {
public:
    TPasswordStyle()
        : QProxyStyle(QStyleFactory::create(QApplication::style()->name()))
    {
    }
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
        QStyleHintReturn* returnData) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return '*';
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

TAdvEdit::TAdvEditType TAdvEdit::EditType() const
{
    return m_typed.EditType();
}

void TAdvEdit::setEditType(TAdvEditType type)
{
    const TAdvEditType old = EditType();
    if (type == old)
        return;
    if (type == etPassword) {
        auto* style = new TPasswordStyle;
        style->setParent(this);
        setStyle(style);
        setEchoMode(QLineEdit::Password);
        setCanUndo(false);
        setUrlLook(false);
    } else if (old == etPassword) {
        setEchoMode(QLineEdit::Normal);
        QStyle* masking = style();
        setStyle(nullptr);
        masking->deleteLater();
    }
    m_typed.SetEditType(m_control, type);
    emit editTypeChanged(type);
}

int TAdvEdit::Precision() const
{
    return m_typed.Precision();
}

void TAdvEdit::setPrecision(int precision)
{
    Changing(&TAdvEdit::Precision, &TAdvEdit::precisionChanged,
        [&] { m_typed.SetPrecision(m_control, precision); });
}

TAdvEdit::TPrecisionDisplay TAdvEdit::PrecisionDisplay() const
{
    return m_typed.PrecisionDisplay();
}

void TAdvEdit::setPrecisionDisplay(TPrecisionDisplay display)
{
    Changing(&TAdvEdit::PrecisionDisplay, &TAdvEdit::precisionDisplayChanged,
        [&] { m_typed.SetPrecisionDisplay(m_control, display); });
}

bool TAdvEdit::Signed() const
{
    return m_typed.Signed();
}

void TAdvEdit::setSigned(bool b)
{
    Changing(&TAdvEdit::Signed, &TAdvEdit::signedChanged, [&] { m_typed.SetSigned(b); });
}

bool TAdvEdit::AllowNumericNullValue() const
{
    return m_typed.AllowNumericNullValue();
}

void TAdvEdit::setAllowNumericNullValue(bool b)
{
    Changing(&TAdvEdit::AllowNumericNullValue, &TAdvEdit::allowNumericNullValueChanged,
        [&] { m_typed.SetAllowNumericNullValue(b); });
}

bool TAdvEdit::AutoThousandSeparator() const
{
    return m_typed.AutoThousandSeparator();
}

void TAdvEdit::setAutoThousandSeparator(bool b)
{
    Changing(&TAdvEdit::AutoThousandSeparator, &TAdvEdit::autoThousandSeparatorChanged,
        [&] { m_typed.SetAutoThousandSeparator(m_control, b); });
}

bool TAdvEdit::ExcelStyleDecimalSeparator() const
{
    return m_typed.ExcelStyleDecimalSeparator();
}

void TAdvEdit::setExcelStyleDecimalSeparator(bool b)
{
    Changing(&TAdvEdit::ExcelStyleDecimalSeparator, &TAdvEdit::excelStyleDecimalSeparatorChanged,
        [&] { m_typed.SetExcelStyleDecimalSeparator(b); });
}

int TAdvEdit::LengthLimit() const
{
    return m_typed.LengthLimit();
}

void TAdvEdit::setLengthLimit(int limit)
{
    Changing(&TAdvEdit::LengthLimit, &TAdvEdit::lengthLimitChanged, [&] { m_typed.SetLengthLimit(limit); });
}

bool TAdvEdit::TabOnFullLength() const
{
    return m_typed.TabOnFullLength();
}

void TAdvEdit::setTabOnFullLength(bool b)
{
    Changing(&TAdvEdit::TabOnFullLength, &TAdvEdit::tabOnFullLengthChanged,
        [&] { m_typed.SetTabOnFullLength(b); });
}

QString TAdvEdit::ValidChars() const
{
    return m_typed.ValidChars();
}

void TAdvEdit::setValidChars(const QString& chars)
{
    Changing(&TAdvEdit::ValidChars, &TAdvEdit::validCharsChanged, [&] { m_typed.SetValidChars(chars); });
}

double TAdvEdit::FloatValue() const
{
    return m_typed.FloatValue(m_control);
}

void TAdvEdit::setFloatValue(double x)
{
    m_typed.SetFloatValue(m_control, x);
}

int TAdvEdit::IntValue() const
{
    return m_typed.IntValue(m_control);
}

void TAdvEdit::setIntValue(int n)
{
    m_typed.SetIntValue(m_control, n);
}

void TAdvEdit::SelectBeforeDecimal()
{
    m_typed.SelectBeforeDecimal(m_control);
}

void TAdvEdit::SelectAfterDecimal()
{
    m_typed.SelectAfterDecimal(m_control);
}

bool TAdvEdit::RangeStrToList(TRangeList& list) const
{
    return m_typed.RangeStrToList(m_control, list);
}

void TAdvEdit::ListToRangeStr(const TRangeList& list)
{
    m_typed.ListToRangeStr(m_control, list);
}

namespace {

bool IsTextQuery(Qt::InputMethodQuery query)
{
    return query == Qt::ImSurroundingText || query == Qt::ImCurrentSelection
        || query == Qt::ImTextBeforeCursor || query == Qt::ImTextAfterCursor;
}

} // namespace

QVariant TAdvEdit::inputMethodQuery(Qt::InputMethodQuery query) const
{
    if (echoMode() != QLineEdit::Normal && IsTextQuery(query))
        return QString();
    return QLineEdit::inputMethodQuery(query);
}

void TAdvEdit::HideTextFromInputMethod(QInputMethodQueryEvent& query)
{
    for (Qt::InputMethodQuery q :
        { Qt::ImSurroundingText, Qt::ImCurrentSelection, Qt::ImTextBeforeCursor, Qt::ImTextAfterCursor })
        if (query.queries() & q)
            query.setValue(q, QString());
}
