// SPDX-License-Identifier: MIT
#pragma once

#include "Font.h"

#include <QString>

class QWidget;

// Form definitions give fonts as GDI values, which the .ui format cannot hold, in the dynamic property
// "designFont": "name;height;styles;colour" (height as in TFont, styles any of "bold", "italic",
// "underline", colour a named colour such as clWindowText). Applies it to `root` and every child
// that carries one; the others inherit from their parent.
void ApplyDesignFonts(QWidget* root);

// Parses one "designFont" value; false when it is malformed.
bool ParseDesignFont(const QString& definition, TFont& font);
