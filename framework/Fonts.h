// SPDX-License-Identifier: MIT
#pragma once

// Registers the free Tahoma, Tahoma Bold and Symbol faces the windows are designed for, when the
// system has them; otherwise Qt's font substitution applies. Safe to call more than once.
void RegisterDesignFonts();
