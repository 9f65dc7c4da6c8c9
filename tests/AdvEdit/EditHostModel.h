// SPDX-License-Identifier: MIT
#pragma once
#include "AdvEditControl.h"
#include "TypedInput.h"

#include <QString>
#include <utility>

// A plain single-line field under the editing class and its typed input, with no widget: control
// text, selection and flags, edited the way the framework's line edit edits them. Shared by the
// editing tests and the typed-input fuzz target.
class TEditHostModel final : public TEditHost {
public:
    TEditHostModel() { edit.setInput(&typed); }

    TAdvEditControl edit { *this };
    TTypedInput typed;

    QString control;
    int selStart = 0, selLength = 0;
    bool caretAtStart = false; // a selection made backwards
    bool modified = false, frameworkModified = false, readOnly = false, allowPaste = true;
    QString clipboard;
    int changes = 0, focusMoves = 0, lookupUpdates = 0, forwarded = 0;

    // ---- the host ----
    QString ControlText() const override { return control; }
    int CursorPosition() const override { return caretAtStart ? selStart : selStart + selLength; }
    int SelStart() const override { return selStart; }
    int SelLength() const override { return selLength; }
    bool IsReadOnly() const override { return readOnly; }
    bool Modified() const override { return modified; }
    bool BaseModified() const override { return frameworkModified; }
    QString ClipboardText() const override { return clipboard; }
    void setControlText(const QString& text) override
    {
        if (text != control)
            Changed();
        control = text;
        frameworkModified = false;
        // the caret at the value's end: the field never leaves it inside the suffix
        Select(edit.ValueEnd(), edit.ValueEnd());
    }
    void AssignText(const QString& value) override
    {
        setControlText(edit.Prefix() + edit.AssignedValue(value) + edit.Suffix());
        setModified(false);
    }
    void Select(int anchor, int caret) override
    {
        const int n = int(control.size());
        anchor = qBound(0, anchor, n);
        caret = qBound(0, caret, n);
        selStart = qMin(anchor, caret);
        selLength = qAbs(caret - anchor);
        caretAtStart = caret < anchor;
    }
    void SelectAll() override { Select(edit.PrefixLength(), edit.ValueEnd()); }
    void setModified(bool b) override
    {
        frameworkModified = b && frameworkModified;
        modified = b;
    }
    void BlockNextChange(bool block) override { m_blockChange = block; }
    void Change() override { }
    // The line edit's own handling of the key being handled: its Backspace, Delete and arrows, and
    // the insertion of a printable text.
    void PassKey(const QString& text) override
    {
        switch (m_key) {
        case Qt::Key_Backspace:
            return Backspace();
        case Qt::Key_Delete:
            return Delete();
        case Qt::Key_Left:
            return Select(qMax(0, CursorPosition() - 1), qMax(0, CursorPosition() - 1));
        case Qt::Key_Right:
            return Select(CursorPosition() + 1, CursorPosition() + 1);
        default:
            if (!text.isEmpty() && text[0] >= QChar(0x20) && text[0] != QChar(0x7f))
                Insert(text);
        }
    }
    bool ForwardKeyToParent(int) override
    {
        ++forwarded;
        return true;
    }
    void FocusNext() override { ++focusMoves; }
    void KeyPressed(QChar&) override { }
    bool AllowPaste(const QString&) override { return allowPaste; }
    void Undo(const QString& value) override
    {
        AssignText(value);
        SelectAll();
        setModified(false);
    }
    void UpdateLookupList() override { ++lookupUpdates; }

    // ---- driving it ----
    void setPrefix(const QString& prefix) { edit.setPrefix(prefix); }
    void setSuffix(const QString& suffix) { edit.setSuffix(suffix); }
    void setMaxLength(int length) { edit.setMaxLength(length); }
    QString Value() const { return edit.Value(); }
    // A key through the editing class: "\b" is Backspace, "\x7f" Delete, anything else is typed
    // (from the keypad when `keypad`).
    void Type(const QString& ch, bool keypad = false)
    {
        if (ch == QLatin1String("\x7f"))
            Key(Qt::Key_Delete);
        else if (ch == QLatin1String("\b"))
            Key(Qt::Key_Backspace, ch);
        else
            Key(0, ch, keypad ? Qt::KeypadModifier : Qt::NoModifier);
    }
    void Key(int key, const QString& text = QString(), Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        m_key = key;
        edit.KeyPress({ key, modifiers, text });
        m_key = 0;
    }
    void Paste(const QString& text) { edit.PasteText(text); }

    // The value with "|" at the caret, or "[...]" around the selection.
    QString Shown() const
    {
        QString v = control;
        if (selLength > 0)
            return v.insert(selStart + selLength, QLatin1Char(']')).insert(selStart, QLatin1Char('['));
        return v.insert(selStart, QLatin1Char('|'));
    }
    // Sets the control text from a picture like Shown() gives, without notifications.
    void Show(const QString& picture)
    {
        QString t = picture;
        const qsizetype open = t.indexOf(QLatin1Char('['));
        caretAtStart = false;
        if (open >= 0) {
            const qsizetype close = t.indexOf(QLatin1Char(']'));
            control = t.remove(close, 1).remove(open, 1);
            selStart = int(open);
            selLength = int(close - open - 1);
        } else {
            const qsizetype bar = t.indexOf(QLatin1Char('|'));
            control = bar < 0 ? t : t.remove(bar, 1);
            selStart = int(bar < 0 ? control.size() : bar);
            selLength = 0;
        }
    }

private:
    // The line edit's insertion of typed text over the selection.
    void Insert(const QString& text)
    {
        control.replace(selStart, selLength, text);
        selStart += int(text.size());
        selLength = 0;
        frameworkModified = true;
        Changed();
    }
    void Backspace()
    {
        if (selLength == 0 && selStart > 0) {
            --selStart;
            selLength = 1;
        }
        Erase();
    }
    void Delete()
    {
        if (selLength == 0 && selStart < control.size())
            selLength = 1;
        Erase();
    }
    void Erase()
    {
        if (selLength == 0)
            return;
        control.remove(selStart, selLength);
        selLength = 0;
        frameworkModified = true;
        Changed();
    }
    // The next change notification after a block is swallowed once.
    void Changed()
    {
        if (!std::exchange(m_blockChange, false))
            ++changes;
    }
    int m_key = 0;
    bool m_blockChange = false;
};
