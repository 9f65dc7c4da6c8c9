// SPDX-License-Identifier: MIT
#pragma once
#include "AdvEditControl.h"
#include "TypedInput.h"

// Typed input in the edit field's editing class: each place where the editing rules ask their
// TEditInput is answered by the typed-input rules, which see the field through TTypedField.
class TTypedEditInput : public TEditInput {
public:
    explicit TTypedEditInput(TAdvEditControl& edit);

    TTypedInput& Typed() { return m_typed; }
    const TTypedInput& Typed() const { return m_typed; }
    // The field as the typed-input rules see it.
    TTypedField& Field() { return m_field; }
    const TTypedField& Field() const { return m_field; }

    QString AssignedValue(const QString& value) override;
    bool BeforeCharacter(TAdvEditControl& edit, const TEditKey& key, QChar& ch) override;
    Verdict Character(TAdvEditControl& edit, QChar& ch) override;
    void Tail(TAdvEditControl& edit) override;
    void BeforeDeletion(TAdvEditControl& edit, bool backward) override;
    bool KeyDownDelete(TAdvEditControl& edit) override;
    void AfterKeyDown(TAdvEditControl& edit, int key) override;
    void Paste(TAdvEditControl& edit, const PasteRequest& paste) override;
    void AfterPaste(TAdvEditControl& edit) override;
    void FocusLost(TAdvEditControl& edit) override;

private:
    class TField : public TTypedField {
    public:
        explicit TField(TAdvEditControl& edit)
            : m_edit(edit)
        {
        }
        QString ControlText() const override;
        QString Prefix() const override;
        QString Suffix() const override;
        int SelStart() const override;
        int SelLength() const override;
        int MaxLength() const override;
        void SetText(const QString& value) override;
        void SetControlText(const QString& text, bool blockChange) override;
        void SetSel(int start, int length) override;
        void SelectAll() override;
        void PassCharacter(const QString& ch) override;
        bool Modified() const override;
        void SetModified(bool modified) override;
        bool FrameworkModified() const override;
        bool AllowPaste(const QString& newValue) override;
        void UpdateLookupList() override;
        void MoveFocusOn() override;

    private:
        TAdvEditControl& m_edit;
    };

    TTypedInput m_typed;
    TField m_field;
    // The whole character of the key being handled (a pair of surrogates types as one).
    QString m_keyText;
};
