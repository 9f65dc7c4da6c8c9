// SPDX-License-Identifier: MIT
#pragma once

// The colour scheme of the desktop's active visual theme, as far as the panel styles care.
enum class TThemeScheme { None, Blue, Olive, Silver };

// On Windows XP and later with an active theme: its colour scheme ("NormalColor" blue, "HomeStead"
// olive, "Metallic" silver). Elsewhere, and when the query fails, None.
TThemeScheme CurrentThemeScheme();
