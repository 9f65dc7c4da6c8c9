// SPDX-License-Identifier: MIT
#pragma once
#include "TypedInput.h"

#include <QString>

// A plain single-line field for typed input to work on: control text, selection and flags, edited
// the way the framework's line edit edits them. Shared by the typed-input tests and fuzz target.
class TTypedFieldModel : public TTypedField {
public:
    explicit TTypedFieldModel(TTypedInput& typed)
        : m_typed(typed)
    {
    }

    QString control;
    QString prefix, suffix;
    int selStart = 0, selLength = 0, maxLength = 0;
    bool modified = false, frameworkModified = false, allowPaste = true;
    int changes = 0, focusMoves = 0, lookupUpdates = 0;
    bool blockChange = false;

    QString ControlText() const override { return control; }
    QString Prefix() const override { return prefix; }
    QString Suffix() const override { return suffix; }
    int SelStart() const override { return selStart; }
    int SelLength() const override { return selLength; }
    int MaxLength() const override { return maxLength; }
    void SetText(const QString& value) override
    {
        SetControlText(prefix + m_typed.FormatAssigned(value) + suffix, false);
        SetModified(false);
    }
    void SetControlText(const QString& text, bool block) override
    {
        blockChange = block;
        if (text != control)
            Changed();
        blockChange = false;
        control = text;
        frameworkModified = false;
        // the caret at the value's end: the field never leaves it inside the suffix
        selStart = int(control.size() - qMin(control.size(), suffix.size()));
        selLength = 0;
    }
    void SetSel(int start, int length) override
    {
        const int n = int(control.size());
        selStart = qBound(0, start, n);
        selLength = qBound(0, length, n - selStart);
    }
    void SelectAll() override { SetSel(int(prefix.size()), int(Value().size())); }
    void PassCharacter(const QString& ch) override { Insert(ch); }
    bool Modified() const override { return modified; }
    void SetModified(bool b) override
    {
        frameworkModified = b && frameworkModified;
        modified = b;
    }
    bool FrameworkModified() const override { return frameworkModified; }
    bool AllowPaste(const QString&) override { return allowPaste; }
    void UpdateLookupList() override { ++lookupUpdates; }
    void MoveFocusOn() override { ++focusMoves; }

    QString Value() const { return TTypedInput::ValueOf(*this); }
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
    // The field's insertion of typed text over the selection, within MaxLength (counted on the
    // value).
    void Insert(const QString& text)
    {
        if (maxLength > 0 && Value().size() - selLength + text.size() > maxLength)
            return;
        control.replace(selStart, selLength, text);
        selStart += int(text.size());
        selLength = 0;
        frameworkModified = true;
        Changed();
    }
    // A typed character as the field's character handling gives it to typed input ("\b" is
    // Backspace), with the field's own prefix guard.
    void TypeKey(QString ch, bool keypad = false)
    {
        if (!m_typed.CharacterGate(*this, ch, keypad))
            return;
        if (ch == QString(TTypedInput::kBackspace)) {
            if (!prefix.isEmpty() && selLength == 0 && selStart <= prefix.size())
                return;
            m_typed.BeforeDeletion(*this, true);
            Backspace();
            m_typed.AfterDeletion(*this);
            return;
        }
        if (m_typed.DiscardsMinus(ch) || m_typed.Character(*this, ch) == TTypedInput::TFlow::Stop)
            return;
        m_typed.CharacterTail(*this);
        if (frameworkModified)
            SetModified(true);
    }
    // The Delete key as the field handles it, with its suffix guard.
    void DeleteKey()
    {
        const int valueEnd = int(prefix.size() + Value().size());
        if (!suffix.isEmpty() && selLength == 0 && selStart >= valueEnd)
            return;
        m_typed.BeforeDeletion(*this, false);
        if (!m_typed.DeleteAllowed(*this))
            return;
        Delete();
        m_typed.AfterDeletion(*this);
    }
    // The line edit's Backspace and Delete.
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

private:
    void Erase()
    {
        if (selLength == 0)
            return;
        control.remove(selStart, selLength);
        selLength = 0;
        frameworkModified = true;
        Changed();
    }
    void Changed()
    {
        if (!blockChange)
            ++changes;
    }
    TTypedInput& m_typed;
};
