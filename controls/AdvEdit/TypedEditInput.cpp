// SPDX-License-Identifier: MIT
#include "TypedEditInput.h"

TTypedEditInput::TTypedEditInput(TAdvEditControl& edit)
    : m_field(edit)
{
}

QString TTypedEditInput::AssignedValue(const QString& value)
{
    return m_typed.FormatAssigned(value);
}

bool TTypedEditInput::BeforeCharacter(TAdvEditControl& edit, const TEditKey& key, QChar& ch)
{
    Q_UNUSED(edit);
    const QString keyText = key.text.startsWith(ch) ? key.text : QString(ch);
    QString text = keyText.size() >= 2 && keyText[0].isHighSurrogate() && keyText[1].isLowSurrogate()
        ? keyText.left(2)
        : QString(ch);
    if (!m_typed.CharacterGate(m_field, text, key.Keypad()))
        return false;
    m_keyText = text;
    ch = text.isEmpty() ? QChar() : text[0];
    return true;
}

TEditInput::Verdict TTypedEditInput::Character(TAdvEditControl& edit, QChar& ch)
{
    Q_UNUSED(edit);
    const QString text = m_keyText.startsWith(ch) ? m_keyText : QString(ch);
    m_keyText.clear();
    if (m_typed.DiscardsMinus(text))
        return Stop;
    // the rules type the character themselves where they take it
    return m_typed.Character(m_field, text) == TTypedInput::TFlow::Stop ? Stop : Ignore;
}

void TTypedEditInput::Tail(TAdvEditControl& edit)
{
    Q_UNUSED(edit);
    m_typed.CharacterTail(m_field);
}

void TTypedEditInput::BeforeDeletion(TAdvEditControl& edit, bool backward)
{
    Q_UNUSED(edit);
    m_typed.BeforeDeletion(m_field, backward);
}

bool TTypedEditInput::KeyDownDelete(TAdvEditControl& edit)
{
    Q_UNUSED(edit);
    return m_typed.DeleteAllowed(m_field);
}

void TTypedEditInput::AfterKeyDown(TAdvEditControl& edit, int key)
{
    Q_UNUSED(edit);
    if (key == Qt::Key_Delete || key == Qt::Key_Backspace)
        m_typed.AfterDeletion(m_field);
}

void TTypedEditInput::Paste(TAdvEditControl& edit, const PasteRequest& paste)
{
    Q_UNUSED(edit);
    m_typed.PasteValue(m_field, paste.text, paste.newValue, paste.start, paste.replacedSelection);
}

void TTypedEditInput::AfterPaste(TAdvEditControl& edit)
{
    Q_UNUSED(edit);
    m_typed.AfterPaste(m_field);
}

void TTypedEditInput::FocusLost(TAdvEditControl& edit)
{
    Q_UNUSED(edit);
    m_typed.FocusLost(m_field);
}

// ---- the field as typed input sees it ----

QString TTypedEditInput::TField::ControlText() const
{
    return m_edit.Host().ControlText();
}

QString TTypedEditInput::TField::Prefix() const
{
    return m_edit.Prefix();
}

QString TTypedEditInput::TField::Suffix() const
{
    return m_edit.Suffix();
}

int TTypedEditInput::TField::SelStart() const
{
    return m_edit.Host().SelStart();
}

int TTypedEditInput::TField::SelLength() const
{
    return m_edit.Host().SelLength();
}

int TTypedEditInput::TField::MaxLength() const
{
    return m_edit.MaxLength();
}

void TTypedEditInput::TField::SetText(const QString& value)
{
    m_edit.Host().AssignText(value);
}

void TTypedEditInput::TField::SetControlText(const QString& text, bool blockChange)
{
    TEditHost& host = m_edit.Host();
    if (blockChange)
        host.BlockNextChange(true);
    host.setControlText(text);
    // a text that did not change sent no notification to clear the block
    if (blockChange)
        host.BlockNextChange(false);
    const int end = m_edit.ValueEnd();
    host.setSelection(end, end);
}

void TTypedEditInput::TField::SetSel(int start, int length)
{
    m_edit.Host().setSelection(start, start + length);
}

void TTypedEditInput::TField::SelectAll()
{
    m_edit.Host().SelectAll();
}

void TTypedEditInput::TField::PassCharacter(const QString& ch)
{
    m_edit.PassCharacter(ch);
}

bool TTypedEditInput::TField::Modified() const
{
    return m_edit.Host().Modified();
}

void TTypedEditInput::TField::SetModified(bool modified)
{
    m_edit.Host().setModified(modified);
}

bool TTypedEditInput::TField::FrameworkModified() const
{
    return m_edit.Host().BaseModified();
}

bool TTypedEditInput::TField::AllowPaste(const QString& newValue)
{
    return m_edit.Host().AllowPaste(newValue);
}

void TTypedEditInput::TField::UpdateLookupList()
{
    m_edit.Host().UpdateLookupList();
}

void TTypedEditInput::TField::MoveFocusOn()
{
    m_edit.Host().FocusNext();
}
