// SPDX-License-Identifier: MIT
#pragma once
#include <QChar>
#include <QString>
#include <Qt>

// The edit field's key, paste, drop and typed-input rules, apart from the widget (the way a line
// edit hands its editing to a line-control class). TAdvEditControl and its TEditInput read the
// field's state and ask for effects through TEditHost alone; the widget implements the host, tests
// and the fuzz target supply a model of it.
//
// Terms: the control text is Prefix + value + Suffix; positions (caret, selection) count
// control-text characters.
//
// Plug-in points, in the order the rules reach them:
//   Text assignment    TEditInput::AssignedValue        (widget's setText, via AssignedValue())
//   key-down           TEditHost::LookupShown/SelectLookupItem/LookupKey (drop-down navigation),
//                      TEditInput::KeyDownDelete (Delete may be refused),
//                      TEditInput::AfterKeyDown (after the line edit handled a key)
//   character          TEditInput::BeforeCharacter (decimal key, length limit),
//                      TEditInput::Character (the type's own handling),
//                      TEditInput::Tail, then TEditHost::UpdateLookupList
//   paste              TEditInput::Paste (accept, transform, select), then
//                      TEditHost::UpdateLookupList, then TEditInput::AfterPaste
//   focus loss         TEditInput::FocusLost (FocusLost())
//   drop               Drop() puts a dropped text into the value (the widget does the dragging)

// Control characters the rules name.
namespace EditChar {
inline constexpr QChar Backspace { 8 };
inline constexpr QChar Tab { 9 };
inline constexpr QChar LineFeed { 10 };
inline constexpr QChar CarriageReturn { 13 };
inline constexpr QChar Escape { 27 };
} // namespace EditChar

// One key press as the rules see it.
struct TEditKey {
    enum Command { NoCommand, Copy, Cut, Paste };
    int key = 0; // Qt::Key
    Qt::KeyboardModifiers modifiers;
    QString text; // what the key types; empty when it types nothing
    Command command = NoCommand; // the platform's clipboard shortcut this key matches

    bool Ctrl() const { return modifiers & Qt::ControlModifier; }
    bool Shift() const { return modifiers & Qt::ShiftModifier; }
    bool Keypad() const { return modifiers & Qt::KeypadModifier; }
    bool IsEnter() const { return key == Qt::Key_Return || key == Qt::Key_Enter; }
    // The character the key types: Enter, Backspace and Escape as their control characters.
    QChar Character() const;
};

// What the rules read of the field and the effects they ask of it: the one view of the field that
// the editing class and typed input have.
class TEditHost {
public:
    virtual ~TEditHost() = default;

    virtual QString ControlText() const = 0;
    virtual int CursorPosition() const = 0;
    // Start of the selection, or the caret without one; its length (0: none).
    virtual int SelStart() const = 0;
    virtual int SelLength() const = 0;
    virtual bool IsReadOnly() const = 0;
    // The field's Modified, and the line edit's own modified flag.
    virtual bool Modified() const = 0;
    virtual bool BaseModified() const = 0;
    virtual QString ClipboardText() const = 0;

    // The control text as given; the caret stays where the line edit puts it.
    virtual void setControlText(const QString& text) = 0;
    // Text := value (formatting, Modified := False, URL look).
    virtual void AssignText(const QString& value) = 0;
    // Selects from `anchor` to `caret` (equal: a caret without selection).
    virtual void Select(int anchor, int caret) = 0;
    // The field's SelectAll (the value, past a URL scheme).
    virtual void SelectAll() = 0;
    virtual void setModified(bool modified) = 0;
    // The next change notification is swallowed once.
    virtual void BlockNextChange(bool block) = 0;
    // The change notification as the edit-change step gives it (validation, OnChange).
    virtual void Change() = 0;
    // The line edit's own handling of the key being handled, typing `text` instead of its own.
    virtual void PassKey(const QString& text) = 0;
    // Hands a key (press and release) to the parent window; false when there is no parent.
    virtual bool ForwardKeyToParent(int key) = 0;
    virtual void FocusNext() = 0;
    // OnKeyPress for a character.
    virtual void KeyPressed(QChar& ch) = 0;
    // OnClipboardPaste: false refuses the paste.
    virtual bool AllowPaste(const QString& newValue) = 0;
    // Escape's undo: Text := value, focus text colour, SelectAll, Modified := False.
    virtual void Undo(const QString& value) = 0;

    // The lookup drop-down.
    virtual bool LookupShown() const { return false; }
    virtual void SelectLookupItem() { }
    // Navigation key while the drop-down is shown; true when it used the key.
    virtual bool LookupKey(int key)
    {
        Q_UNUSED(key);
        return false;
    }
    virtual void UpdateLookupList() { }
};

class TAdvEditControl;

// Typed input's place in the rules. Each default is what a plain text field does, so a field
// without typed input needs no TEditInput at all.
class TEditInput {
public:
    virtual ~TEditInput() = default;

    // What a character step asks for.
    enum Verdict {
        Pass, // hand the (possibly replaced) character to the line edit, then the tail
        Ignore, // nothing typed, but the tail still runs
        Stop, // nothing more for this character
    };

    // Text assignment: the value stored for `value`.
    virtual QString AssignedValue(const QString& value) { return value; }
    // Before the Backspace rules: may replace `ch` (keypad decimal key); false discards it.
    virtual bool BeforeCharacter(TAdvEditControl& edit, const TEditKey& key, QChar& ch)
    {
        Q_UNUSED(edit);
        Q_UNUSED(key);
        Q_UNUSED(ch);
        return true;
    }
    // The type's own handling of a typed character. A hook that types the character itself
    // (TAdvEditControl::PassCharacter) and then rewrites the value returns Ignore.
    virtual Verdict Character(TAdvEditControl& edit, QChar& ch);
    // First part of the tail, after a character was handled.
    virtual void Tail(TAdvEditControl& edit) { Q_UNUSED(edit); }
    // Backspace (backward) or Delete about to be handed to the line edit; may widen what it removes.
    virtual void BeforeDeletion(TAdvEditControl& edit, bool backward)
    {
        Q_UNUSED(edit);
        Q_UNUSED(backward);
    }
    // Delete key-down at or after the value's start; false discards the key.
    virtual bool KeyDownDelete(TAdvEditControl& edit)
    {
        Q_UNUSED(edit);
        return true;
    }
    // After the line edit handled a key that types nothing (Delete, arrows, …) or Backspace.
    virtual void AfterKeyDown(TAdvEditControl& edit, int key)
    {
        Q_UNUSED(edit);
        Q_UNUSED(key);
    }
    // A paste the field allowed: the value with the pasted text in place, where it went and how
    // long it is. Applies it (or refuses it by doing nothing).
    struct PasteRequest {
        QString text; // pasted text
        QString newValue;
        int start = 0; // index in the value where the text went
        bool replacedSelection = false; // the inserted text ends selected
    };
    virtual void Paste(TAdvEditControl& edit, const PasteRequest& paste);
    // After a paste (and the lookup update), also when the clipboard held no text.
    virtual void AfterPaste(TAdvEditControl& edit) { Q_UNUSED(edit); }
    // Focus loss, before validation.
    virtual void FocusLost(TAdvEditControl& edit) { Q_UNUSED(edit); }
};

class TAdvEditControl {
public:
    explicit TAdvEditControl(TEditHost& host);

    TEditHost& Host() const { return m_host; }
    // Typed input; null is plain text. Not owned.
    void setInput(TEditInput* input) { m_input = input ? input : &m_plain; }
    TEditInput& Input() const { return *m_input; }

    // Settings the rules follow.
    QString Prefix() const { return m_prefix; }
    void setPrefix(const QString& prefix) { m_prefix = prefix; }
    QString Suffix() const { return m_suffix; }
    void setSuffix(const QString& suffix) { m_suffix = suffix; }
    // Most characters of the value that typing, pasting and dropping may leave; 0: no limit.
    // Assigning Text is never limited.
    int MaxLength() const { return m_maxLength; }
    void setMaxLength(int length) { m_maxLength = length; }
    bool CanUndo() const { return m_canUndo; }
    void setCanUndo(bool canUndo) { m_canUndo = canUndo; }
    bool DefaultHandling() const { return m_defaultHandling; }
    void setDefaultHandling(bool on) { m_defaultHandling = on; }
    bool ReturnIsTab() const { return m_returnIsTab; }
    void setReturnIsTab(bool on) { m_returnIsTab = on; }
    // The value when the field last took the focus (what Escape restores).
    QString FocusValue() const { return m_focusValue; }
    void setFocusValue(const QString& value) { m_focusValue = value; }

    // The value inside the host's control text.
    QString Value() const;
    int PrefixLength() const { return int(m_prefix.size()); }
    // Position just past the value.
    int ValueEnd() const { return PrefixLength() + int(Value().size()); }
    // Control text := Prefix + value + Suffix, caret at `caret` (control-text position).
    void setValue(const QString& value, int caret);
    // Control text := `text` as given, caret at the value's end; `quiet` swallows its change
    // notification.
    void setControlText(const QString& text, bool quiet);

    // A key press; true when the key is used up here and must not travel on.
    bool KeyPress(const TEditKey& key);
    // The paste command, however it was issued: the clipboard's text (PasteText: a given text) goes
    // into the value, one line of it, or nowhere when OnClipboardPaste refuses it or it does not
    // fit MaxLength; then the lookup list is updated.
    void Paste();
    void PasteText(const QString& clip);
    // Types `text` through the line edit when it fits MaxLength (a character hook types this way).
    bool PassCharacter(const QString& text);
    // Caret and selection back between Prefix and Suffix.
    void KeepSelectionInValue();
    // Text dropped at control-text position `index`. A drag from this field's own selection moves
    // it (unless `copy`) and does nothing when dropped inside it. False when nothing changed.
    struct DropRequest {
        QString text;
        int index = 0;
        bool fromSelf = false; // the field's own selection is being dragged
        bool copy = false;
    };
    bool Drop(const DropRequest& drop);
    // Text assignment: the value to store.
    QString AssignedValue(const QString& value) const { return m_input->AssignedValue(value); }
    void FocusLost() { m_input->FocusLost(*this); }

private:
    bool KeyDownSteps(const TEditKey& key); // false: discarded or handled completely
    bool CharacterSteps(const TEditKey& key); // false: discarded
    // The value has room for `inserted` characters in place of the selection.
    bool Fits(int inserted) const;

    TEditHost& m_host;
    TEditInput m_plain;
    TEditInput* m_input = &m_plain;
    QString m_prefix, m_suffix;
    QString m_focusValue;
    int m_maxLength = 0;
    bool m_canUndo = true;
    bool m_defaultHandling = true;
    bool m_returnIsTab = false;
};
