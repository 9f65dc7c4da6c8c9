// SPDX-License-Identifier: MIT
#pragma once
#include <QRect>
#include <QString>

// Pure rules of the edit field's value, kept apart from the widget so they are tested without pixels.
namespace EditValue {

// The value inside the control text: a leading prefix is removed only when it is really there,
// while the suffix length is always cut off (the caret cannot enter it, so it is assumed present).
QString ValueOf(const QString& controlText, const QString& prefix, const QString& suffix);

// Value that looks like an address the shell can open.
bool IsUrlText(const QString& value);

// Value a Backspace would leave; selStart counts control-text characters.
QString AfterBackspace(const QString& value, int prefixLen, int selStart, int selLength);

struct Selection {
    int start = 0;
    int length = 0;
};
// What SelectAll selects; with URLs the scheme is skipped.
Selection SelectAllRange(const QString& value, int prefixLen, bool showUrl);

// Formatting rectangle of the text inside the client rectangle.
QRect TextRect(const QRect& client, bool inset, bool ctl3D, int fontPoints, int indentL, int indentR);

// What the shell should open for a value (local paths become file URLs).
QString ShellTarget(const QString& value);

} // namespace EditValue
