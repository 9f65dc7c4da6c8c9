// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// How bold text of a font family is drawn. Some bold faces carry the regular outlines with wider
// spacing (the free Tahoma's does), so bold text would show regular. For such a family bold text is
// the regular face emboldened by the font engine, spaced like the bold face.
struct TBoldFace {
    bool Synthetic = false; // draw bold as the emboldened regular face
    QString RegularStyle; // the style name that selects the regular face
    double Spacing = 100; // letter spacing in percent that gives the bold face's advances
};

// The bold face of `family` as the font database resolves it now, decided once per family by
// drawing one word in both weights. User-interface thread only; register fonts before the first call.
const TBoldFace& BoldFaceOf(const QString& family);
