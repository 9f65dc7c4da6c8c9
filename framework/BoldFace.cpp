// SPDX-License-Identifier: MIT
#include "BoldFace.h"

#include <QFont>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QPainter>

namespace {

// A word with vertical stems, round bowls and diagonals, so no one shape decides.
const QString kSample = QStringLiteral("Hamburgefonstiv");
constexpr int kPixels = 32;
// A real bold face inks at least a third more than its regular face; the free Tahoma's adds nothing.
constexpr double kBolder = 1.2;

QFont SampleFont(const QString& family, bool bold)
{
    QFont font(family);
    font.setPixelSize(kPixels);
    font.setKerning(false);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setBold(bold);
    return font;
}

qint64 Ink(const QFont& font)
{
    const QFontMetricsF metrics(font);
    QImage image(
        int(metrics.horizontalAdvance(kSample)) + 2 * kPixels, 2 * kPixels, QImage::Format_Grayscale8);
    image.fill(0);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QPointF(kPixels / 2.0, 1.5 * kPixels), kSample);
    painter.end();
    qint64 ink = 0;
    for (int y = 0; y < image.height(); ++y) {
        const uchar* line = image.constScanLine(y);
        for (int x = 0; x < image.width(); ++x)
            ink += line[x];
    }
    return ink;
}

TBoldFace Decide(const QString& family)
{
    TBoldFace face;
    const QFont regular = SampleFont(family, false);
    const QFont bold = SampleFont(family, true);
    const qint64 regularInk = Ink(regular);
    if (regularInk == 0 || double(Ink(bold)) >= kBolder * double(regularInk))
        return face;
    face.Synthetic = true;
    face.RegularStyle = QFontInfo(regular).styleName();
    const double regularWidth = QFontMetricsF(regular).horizontalAdvance(kSample);
    const double boldWidth = QFontMetricsF(bold).horizontalAdvance(kSample);
    if (regularWidth > 0 && boldWidth > regularWidth)
        face.Spacing = 100.0 * boldWidth / regularWidth;
    return face;
}

} // namespace

const TBoldFace& BoldFaceOf(const QString& family)
{
    static QHash<QString, TBoldFace> faces;
    auto it = faces.constFind(family);
    if (it == faces.constEnd())
        it = faces.insert(family, Decide(family));
    return *it;
}
