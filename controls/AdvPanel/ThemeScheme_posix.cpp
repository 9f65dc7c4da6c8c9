// SPDX-License-Identifier: MIT
#include "ThemeScheme.h"

TThemeScheme CurrentThemeScheme()
{
    return TThemeScheme::None;
}
