// SPDX-License-Identifier: MIT
#include "AdvEditControl.h"
#include "EditValue.h"

QChar TEditKey::Character() const
{
    if (IsEnter())
        return EditChar::CarriageReturn;
    if (key == Qt::Key_Backspace)
        return EditChar::Backspace;
    if (key == Qt::Key_Escape)
        return EditChar::Escape;
    return text.isEmpty() ? QChar() : text.at(0);
}

TEditInput::Verdict TEditInput::Character(TAdvEditControl& edit, QChar& ch)
{
    Q_UNUSED(ch);
    edit.Host().setModified(true);
    return Pass;
}

void TEditInput::Paste(TAdvEditControl& edit, const PasteRequest& paste)
{
    TEditHost& host = edit.Host();
    host.setControlText(edit.Prefix() + paste.newValue + edit.Suffix());
    const int end = edit.PrefixLength() + paste.start + int(paste.text.size());
    host.setSelection(end, end);
    host.setModified(true);
}

TAdvEditControl::TAdvEditControl(TEditHost& host)
    : m_host(host)
{
}

QString TAdvEditControl::Value() const
{
    return EditValue::ValueOf(m_host.ControlText(), m_prefix, m_suffix);
}

void TAdvEditControl::setValue(const QString& value, int caret)
{
    m_host.setControlText(m_prefix + value + m_suffix);
    m_host.setSelection(caret, caret);
}

bool TAdvEditControl::KeyPress(const TEditKey& key)
{
    // Escape: the undo to the value held at focus time comes before any key handling.
    if (key.key == Qt::Key_Escape && m_canUndo && key.modifiers == Qt::NoModifier) {
        m_host.Undo(m_focusValue);
        if (m_defaultHandling)
            m_host.ForwardKeyToParent(Qt::Key_Escape);
        return true;
    }
    // Clipboard keys go through the field's own commands (events, read-only rule).
    switch (key.command) {
    case TEditKey::Copy:
    case TEditKey::Cut:
        return false; // the widget runs them
    case TEditKey::Paste:
        Paste();
        return true;
    case TEditKey::NoCommand:
        break;
    }
    const bool ok = KeyDownSteps(key) && CharacterSteps(key);
    // A block armed by a keystroke that changed nothing must not swallow a later, unrelated change.
    m_host.BlockNextChange(false);
    return !ok;
}

bool TAdvEditControl::KeyDownSteps(const TEditKey& k)
{
    const int key = k.key;
    const int prefixLen = PrefixLength();
    if (k.IsEnter() && m_host.LookupShown()) {
        m_host.LookupSelect();
        return false;
    }
    if ((key == Qt::Key_Tab || k.IsEnter()) && k.Ctrl()) {
        m_host.PassKey(k.text);
        return false;
    }
    if (m_host.LookupShown() && m_host.LookupKey(key))
        return false;
    if (k.IsEnter() && m_returnIsTab) {
        m_host.FocusNext();
        return false;
    }
    const int selStart = m_host.SelStart();
    const int selLength = m_host.SelLength();
    // the selection end is where the caret is, or the far end of the selection
    const int selEnd = selLength > 0 ? selStart + selLength : m_host.CursorPosition();
    const int valueEnd = ValueEnd();
    if (key == Qt::Key_Right && !m_suffix.isEmpty() && selEnd >= valueEnd)
        return false;
    if (key == Qt::Key_Delete && !m_suffix.isEmpty()) {
        if (selEnd >= valueEnd && selLength == 0)
            return false;
        m_host.setModified(true);
    }
    if (key == Qt::Key_Left && !m_prefix.isEmpty() && selEnd <= prefixLen && selLength == 0)
        return false;
    if (key == Qt::Key_End && !m_suffix.isEmpty()) {
        if (k.Shift())
            m_host.setSelection(selStart, valueEnd);
        else
            m_host.setSelection(valueEnd, valueEnd);
        return false;
    }
    if (key == Qt::Key_Home && !m_prefix.isEmpty()) {
        if (k.Shift())
            m_host.setSelection(valueEnd, prefixLen);
        else
            m_host.setSelection(prefixLen, prefixLen);
        return false;
    }
    if (key == Qt::Key_Delete && selStart >= prefixLen) {
        if (!m_input->KeyDownDelete(*this))
            return false;
        m_host.setModified(true);
    }
    if (!k.text.isEmpty() && key != Qt::Key_Delete)
        return true; // the character steps decide
    m_host.PassKey(k.text);
    m_input->AfterKeyDown(*this, key);
    if (!m_prefix.isEmpty() && m_host.CursorPosition() < prefixLen && m_host.SelLength() == 0)
        m_host.setSelection(prefixLen, prefixLen);
    return false; // handled completely
}

bool TAdvEditControl::CharacterSteps(const TEditKey& k)
{
    const QString value = Value();
    const int prefixLen = PrefixLength();
    QChar ch = k.Character();
    const QChar original = ch;

    if (m_host.SelLength() == value.size() && !value.isEmpty())
        m_host.BlockNextChange(true);
    if (ch == EditChar::CarriageReturn && k.Ctrl())
        return false;
    if (ch == EditChar::CarriageReturn) {
        QChar cr = EditChar::CarriageReturn;
        m_host.KeyPressEvent(cr);
        if (!m_defaultHandling)
            m_host.ForwardKeyToParent(Qt::Key_Return);
        return false;
    }
    if (ch == EditChar::Escape) {
        if (!m_defaultHandling)
            m_host.ForwardKeyToParent(Qt::Key_Escape);
        // without undo the line edit gets it (and lets it travel on)
        m_host.PassKey(k.text);
        return true;
    }
    if (!m_input->BeforeCharacter(*this, k, ch))
        return false;
    // a replaced character is typed instead of the key's own text
    const QString text = ch == original ? k.text : QString(ch);
    if (ch == EditChar::Backspace) {
        const int selStart = m_host.SelStart();
        const int selLength = m_host.SelLength();
        if (!m_prefix.isEmpty() && selLength == 0 && selStart <= prefixLen)
            return false;
        const QString after = EditValue::AfterBackspace(value, prefixLen, selStart, selLength);
        if (after != value)
            m_host.setModified(true);
        m_host.PassKey(text);
        if (Value().isEmpty() && !after.isEmpty())
            m_host.Change();
        return true;
    }
    if (ch == EditChar::LineFeed && k.Ctrl())
        return false;
    if (k.Ctrl() && !ch.isPrint()) {
        m_host.PassKey(text);
        return true;
    }
    const QChar before = ch;
    switch (m_input->Character(*this, ch)) {
    case TEditInput::Stop:
        return false;
    case TEditInput::Pass:
        m_host.PassKey(ch == before ? text : QString(ch));
        break;
    case TEditInput::Ignore:
        break;
    }
    m_input->Tail(*this);
    if (m_host.BaseModified())
        m_host.setModified(true);
    m_host.UpdateLookupList();
    return true;
}

void TAdvEditControl::Paste()
{
    if (m_host.IsReadOnly())
        return;
    const QString clip = m_host.ClipboardText();
    if (clip.isEmpty())
        return;
    // the pasted text is limited to the value, never into the prefix or suffix
    const int prefixLen = PrefixLength();
    const QString value = Value();
    const int start = qBound(0, m_host.SelStart() - prefixLen, int(value.size()));
    const int len = qBound(0, m_host.SelLength(), int(value.size()) - start);
    QString insert = clip.section(QLatin1Char('\n'), 0, 0).remove(QLatin1Char('\r'));
    const int room = m_maxLength - int(m_host.ControlText().size()) + len;
    if (insert.size() > room)
        insert.truncate(qMax(0, room));
    const QString newValue = value.left(start) + insert + value.mid(start + len);
    if (!m_host.AllowPaste(newValue))
        return;
    m_input->Paste(*this, { insert, newValue, start, len > 0 });
}

bool TAdvEditControl::Drop(const DropRequest& drop)
{
    if (m_host.IsReadOnly())
        return false;
    // one line: the text up to its first line break
    // left() of a negative count keeps the whole text
    QString text = drop.text.left(drop.text.indexOf(EditChar::CarriageReturn));
    text = text.left(text.indexOf(EditChar::LineFeed));
    QString value = Value();
    const int prefixLen = PrefixLength();
    int at = qBound(0, drop.index - prefixLen, int(value.size()));
    if (drop.fromSelf) {
        const int selStart = m_host.SelStart() - prefixLen;
        const int selLength = m_host.SelLength();
        if (at >= selStart && at <= selStart + selLength)
            return false;
        if (!drop.copy) {
            value.remove(selStart, selLength);
            if (at > selStart)
                at -= selLength;
        }
    }
    if (m_maxLength > 0 && value.size() + text.size() > m_maxLength)
        return false;
    value.insert(at, text);
    setValue(value, prefixLen + at + int(text.size()));
    m_host.setModified(true);
    return true;
}
