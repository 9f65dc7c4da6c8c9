// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

enum class TMessageKind { Error, Warning, Information };

// A modal message box with the icon of `kind` and a single OK button, centred on the screen. An empty
// title gives the kind's own ("Error", "Warning", "Information").
void ShowMessageBox(const QString& text, const QString& title = {}, TMessageKind kind = TMessageKind::Error);

// The error box of the front end: error icon, title "Error", one OK button, centred on the screen.
inline void ShowErrorBox(const QString& text)
{
    ShowMessageBox(text);
}

class QMessageBox;
// Fills `box` as ShowMessageBox shows it (exposed so the look can be checked without a modal loop).
void PrepareMessageBox(QMessageBox& box, const QString& text, const QString& title, TMessageKind kind);
