// SPDX-License-Identifier: MIT
#pragma once

#include "AdvPanelTypes.h"
#include "Color.h"

#include <QImage>
#include <QSize>

// What the shaded caption background is built from.
struct TShadeInput {
    QSize size; // the caption band
    TColor color = clHighlight; // base colour
    AdvPanel::TShadeType type = AdvPanel::stNormal;
    int light = 200; // brightness of the highlights, 200 to 255
    int grain = 32; // strength of noise and metal streaks, 0 to 255
    QImage picture; // for the bitmap types
    bool vertical
        = false; // a caption down the left side: shades run across its width as along a top one's height
};

// The shaded header, pixel by pixel: noise, a diagonal, horizontal or vertical shade and their
// inverses, bumps, metal streaks, inner and outer radial shades, the desktop style's title bar, or the
// picture stretched whole or from one end. The same input always gives the same pixels (the noise
// is seeded). stNormal and an empty size give a null image; the bitmap types without a picture give
// the plain colour.
QImage BuildShadedHeaderImage(const TShadeInput& in);
