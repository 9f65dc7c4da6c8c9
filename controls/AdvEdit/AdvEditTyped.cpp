// SPDX-License-Identifier: MIT
// TAdvEdit's typed-input properties: each forwards to the typed-input rules, which see the field
// through TTypedEditInput.
#include "AdvEdit.h"
#include "TypedEditInput.h"

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
    return m_typed->Typed().EditType();
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
    m_typed->Typed().SetEditType(m_typed->Field(), type);
}

int TAdvEdit::Precision() const
{
    return m_typed->Typed().Precision();
}

void TAdvEdit::setPrecision(int precision)
{
    m_typed->Typed().SetPrecision(m_typed->Field(), precision);
}

TAdvEdit::TPrecisionDisplay TAdvEdit::PrecisionDisplay() const
{
    return m_typed->Typed().PrecisionDisplay();
}

void TAdvEdit::setPrecisionDisplay(TPrecisionDisplay display)
{
    m_typed->Typed().SetPrecisionDisplay(m_typed->Field(), display);
}

bool TAdvEdit::Signed() const
{
    return m_typed->Typed().Signed();
}

void TAdvEdit::setSigned(bool b)
{
    m_typed->Typed().SetSigned(b);
}

bool TAdvEdit::AllowNumericNullValue() const
{
    return m_typed->Typed().AllowNumericNullValue();
}

void TAdvEdit::setAllowNumericNullValue(bool b)
{
    m_typed->Typed().SetAllowNumericNullValue(b);
}

bool TAdvEdit::AutoThousandSeparator() const
{
    return m_typed->Typed().AutoThousandSeparator();
}

void TAdvEdit::setAutoThousandSeparator(bool b)
{
    m_typed->Typed().SetAutoThousandSeparator(m_typed->Field(), b);
}

bool TAdvEdit::ExcelStyleDecimalSeparator() const
{
    return m_typed->Typed().ExcelStyleDecimalSeparator();
}

void TAdvEdit::setExcelStyleDecimalSeparator(bool b)
{
    m_typed->Typed().SetExcelStyleDecimalSeparator(b);
}

int TAdvEdit::LengthLimit() const
{
    return m_typed->Typed().LengthLimit();
}

void TAdvEdit::setLengthLimit(int limit)
{
    m_typed->Typed().SetLengthLimit(limit);
}

bool TAdvEdit::TabOnFullLength() const
{
    return m_typed->Typed().TabOnFullLength();
}

void TAdvEdit::setTabOnFullLength(bool b)
{
    m_typed->Typed().SetTabOnFullLength(b);
}

QString TAdvEdit::ValidChars() const
{
    return m_typed->Typed().ValidChars();
}

void TAdvEdit::setValidChars(const QString& chars)
{
    m_typed->Typed().SetValidChars(chars);
}

double TAdvEdit::FloatValue() const
{
    return m_typed->Typed().FloatValue(m_typed->Field());
}

void TAdvEdit::setFloatValue(double x)
{
    m_typed->Typed().SetFloatValue(m_typed->Field(), x);
}

int TAdvEdit::IntValue() const
{
    return m_typed->Typed().IntValue(m_typed->Field());
}

void TAdvEdit::setIntValue(int n)
{
    m_typed->Typed().SetIntValue(m_typed->Field(), n);
}

void TAdvEdit::SelectBeforeDecimal()
{
    m_typed->Typed().SelectBeforeDecimal(m_typed->Field());
}

void TAdvEdit::SelectAfterDecimal()
{
    m_typed->Typed().SelectAfterDecimal(m_typed->Field());
}

bool TAdvEdit::RangeStrToList(TRangeList& list) const
{
    return m_typed->Typed().RangeStrToList(m_typed->Field(), list);
}

void TAdvEdit::ListToRangeStr(const TRangeList& list)
{
    m_typed->Typed().ListToRangeStr(m_typed->Field(), list);
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
