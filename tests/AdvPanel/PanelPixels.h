// SPDX-License-Identifier: MIT
#pragma once

#include "AdvPanel.h"

#include <QImage>
#include <QPainter>

// The panel painted on magenta, so that a pixel it leaves alone shows.
inline QImage Paint(TCustomAdvPanel& panel)
{
    QImage image(panel.size(), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    panel.PaintPanel(painter);
    return image;
}

inline TColor At(const QImage& image, int x, int y)
{
    return QColorToColor(image.pixelColor(x, y));
}
