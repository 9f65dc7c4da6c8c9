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
    host.AssignText(paste.newValue);
    const int from = edit.PrefixLength() + paste.start;
    const int to = from + int(paste.text.size());
    host.Select(paste.replacedSelection ? from : to, to);
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
    m_host.Select(caret, caret);
}

void TAdvEditControl::setControlText(const QString& text, bool quiet)
{
    if (quiet)
        m_host.BlockNextChange(true);
    m_host.setControlText(text);
    // a text that did not change sent no notification to clear the block
    if (quiet)
        m_host.BlockNextChange(false);
    const int end = ValueEnd();
    m_host.Select(end, end);
}

bool TAdvEditControl::KeyPress(const TEditKey& key)
{
    // Escape while the lookup list is down only closes it.
    if (key.key == Qt::Key_Escape && m_host.LookupShown() && m_host.LookupKey(key.key))
        return true;
    if (key.key == Qt::Key_Escape) {
        // The undo to the value held at focus time, forwarded from here with default handling;
        // without default handling the character step forwards it. Either way it travels no
        // further than that.
        if (m_canUndo) {
            m_host.Undo(m_focusValue);
            if (m_defaultHandling)
                m_host.ForwardKeyToParent(Qt::Key_Escape);
        }
        if (!m_defaultHandling)
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
    KeepSelectionInValue();
    return !ok;
}

void TAdvEditControl::KeepSelectionInValue()
{
    const int low = PrefixLength();
    const int high = ValueEnd();
    const int caret = m_host.CursorPosition();
    const int start = m_host.SelStart();
    const int length = m_host.SelLength();
    const int anchor = length == 0 ? caret : (caret == start ? start + length : start);
    const int a = qBound(low, anchor, high);
    const int c = qBound(low, caret, high);
    if (a != anchor || c != caret)
        m_host.Select(a, c);
}

bool TAdvEditControl::Fits(int inserted) const
{
    if (m_maxLength <= 0)
        return true;
    const int value = int(Value().size());
    const int start = qBound(0, m_host.SelStart() - PrefixLength(), value);
    const int replaced = qBound(0, m_host.SelLength(), value - start);
    return qint64(value) - replaced + inserted <= m_maxLength;
}

bool TAdvEditControl::PassCharacter(const QString& text)
{
    if (!Fits(int(text.size())))
        return false;
    m_host.PassKey(text);
    return true;
}

bool TAdvEditControl::KeyDownSteps(const TEditKey& k)
{
    const int key = k.key;
    const int prefixLen = PrefixLength();
    if (k.IsEnter() && m_host.LookupShown()) {
        m_host.SelectLookupItem();
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
            m_host.Select(selStart, valueEnd);
        else
            m_host.Select(valueEnd, valueEnd);
        return false;
    }
    if (key == Qt::Key_Home && !m_prefix.isEmpty()) {
        if (k.Shift())
            m_host.Select(valueEnd, prefixLen);
        else
            m_host.Select(prefixLen, prefixLen);
        return false;
    }
    if (key == Qt::Key_Delete && selStart >= prefixLen) {
        m_input->BeforeDeletion(*this, false);
        if (!m_input->KeyDownDelete(*this))
            return false;
        m_host.setModified(true);
    }
    if (!k.text.isEmpty() && key != Qt::Key_Delete)
        return true; // the character steps decide
    if (key == Qt::Key_Backspace)
        m_input->BeforeDeletion(*this, true);
    m_host.PassKey(k.text);
    m_input->AfterKeyDown(*this, key);
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
        m_host.KeyPressed(cr);
        if (!m_defaultHandling)
            m_host.ForwardKeyToParent(Qt::Key_Return);
        return false;
    }
    if (!m_input->BeforeCharacter(*this, k, ch))
        return false;
    // a replaced character is typed instead of the key's own text
    const QString text = ch == original ? k.text : QString(ch);
    if (ch == EditChar::Backspace) {
        if (!m_prefix.isEmpty() && m_host.SelLength() == 0 && m_host.SelStart() <= prefixLen)
            return false;
        m_input->BeforeDeletion(*this, true);
        const int selStart = m_host.SelStart();
        const int selLength = m_host.SelLength();
        const QString after = EditValue::AfterBackspace(value, prefixLen, selStart, selLength);
        if (after != value)
            m_host.setModified(true);
        m_host.PassKey(text);
        m_input->AfterKeyDown(*this, Qt::Key_Backspace);
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
        // a character that does not fit is refused whole, so a pair of surrogates is never split
        if (!PassCharacter(ch == before ? text : QString(ch)))
            return false;
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
    PasteText(m_host.ClipboardText());
}

void TAdvEditControl::PasteText(const QString& clip)
{
    if (m_host.IsReadOnly())
        return;
    if (!clip.isEmpty()) {
        // one line of it, into the value only, never into the prefix or suffix
        const QString text = clip.section(QLatin1Char('\n'), 0, 0).remove(QLatin1Char('\r'));
        const QString value = Value();
        const int start = qBound(0, m_host.SelStart() - PrefixLength(), int(value.size()));
        const int length = qBound(0, m_host.SelLength(), int(value.size()) - start);
        const QString newValue = value.left(start) + text + value.mid(start + length);
        if (!m_host.AllowPaste(newValue) || !Fits(int(text.size())))
            return;
        m_input->Paste(*this, { text, newValue, start, length > 0 });
    }
    m_host.UpdateLookupList();
    m_input->AfterPaste(*this);
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
