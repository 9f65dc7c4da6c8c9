// SPDX-License-Identifier: MIT
#pragma once
#include "AdvEdit.h"
#include "AdvEditControl.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>

// The field as its editing rules see it.
class TAdvEditHost final : public TEditHost {
public:
    explicit TAdvEditHost(TAdvEdit& edit)
        : e(edit)
    {
    }
    QKeyEvent* key = nullptr; // the key being handled

    QString ControlText() const override { return e.QLineEdit::text(); }
    int CursorPosition() const override { return e.cursorPosition(); }
    int SelStart() const override { return e.SelStart(); }
    int SelLength() const override { return e.SelLength(); }
    bool IsReadOnly() const override { return e.isReadOnly(); }
    bool Modified() const override { return e.Modified(); }
    bool BaseModified() const override { return e.isModified(); }
    QString ClipboardText() const override { return QApplication::clipboard()->text(); }

    void setControlText(const QString& text) override { e.QLineEdit::setText(text); }
    void AssignText(const QString& value) override { e.setText(value); }
    void setSelection(int anchor, int caret) override
    {
        if (anchor == caret)
            e.setCursorPosition(caret);
        else
            e.setSelection(anchor, caret - anchor);
    }
    void SelectAll() override { e.SelectAll(); }
    void setModified(bool modified) override { e.setModified(modified); }
    void BlockNextChange(bool block) override { e.FBlockChange = block; }
    void Change() override { e.Change(); }
    void PassKey(const QString& text) override
    {
        if (!key)
            return;
        if (text == key->text()) {
            e.QLineEdit::keyPressEvent(key);
            return;
        }
        QKeyEvent replaced(key->type(), key->key(), key->modifiers(), text, key->isAutoRepeat());
        e.QLineEdit::keyPressEvent(&replaced);
        key->setAccepted(replaced.isAccepted());
    }
    bool ForwardKeyToParent(int k) override
    {
        QWidget* parent = e.parentWidget();
        if (!parent)
            return false;
        QCoreApplication::postEvent(parent, new QKeyEvent(QEvent::KeyPress, k, Qt::NoModifier));
        QCoreApplication::postEvent(parent, new QKeyEvent(QEvent::KeyRelease, k, Qt::NoModifier));
        return true;
    }
    void FocusNext() override { e.focusNextChild(); }
    void KeyPressEvent(QChar& ch) override
    {
        if (e.OnKeyPress)
            e.OnKeyPress(&e, ch);
    }
    bool AllowPaste(const QString& newValue) override
    {
        bool allow = true;
        if (e.OnClipboardPaste)
            e.OnClipboardPaste(&e, newValue, allow);
        return allow;
    }
    void Undo(const QString& value) override
    {
        e.setText(value);
        if (e.FFocusFontColor != clNone)
            e.setFontColor(e.FFocusFontColor);
        e.SelectAll();
        e.setModified(false);
    }
    bool LookupShown() const override { return e.LookupShown(); }
    void LookupSelect() override { e.SelectLookupItem(); }
    bool LookupKey(int k) override { return e.LookupKey(k); }
    void UpdateLookupList() override { e.UpdateLookupList(); }

private:
    TAdvEdit& e;
};
