// SPDX-License-Identifier: MIT
#include "BoldFace.h"

#include <QCoreApplication>
#include <QFont>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QRawFont>
#include <QTextLayout>
#include <algorithm>
#include <deque>

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

// Device pixels per logical pixel when the painter only scales evenly and moves; 1 otherwise (a
// turned or sheared text keeps the painter's own drawing).
double DeviceScale(const QPainter& painter)
{
    const QTransform t = painter.deviceTransform();
    if (t.type() > QTransform::TxScale || t.m11() <= 0 || !qFuzzyCompare(t.m11(), t.m22()))
        return 1;
    return t.m11();
}

bool Scaled(double scale)
{
    return !qFuzzyCompare(scale, 1.0);
}

struct Made {
    QRawFont from;
    double size;
    QRawFont font;
};

std::deque<Made>& MadeFonts()
{
    static std::deque<Made> made;
    return made;
}

// Font engines must go before the application that owns the font system does.
void ReleaseMadeFonts()
{
    MadeFonts().clear();
}

// Making a font engine costs far more than drawing a line, so the few sizes in use are kept.
QRawFont AtPixelSize(const QRawFont& font, double pixelSize)
{
    std::deque<Made>& made = MadeFonts();
    if (made.empty())
        qAddPostRoutine(ReleaseMadeFonts);
    for (const Made& m : made) {
        if (m.size == pixelSize && m.from == font)
            return m.font;
    }
    QRawFont sized = font;
    sized.setPixelSize(pixelSize);
    constexpr size_t kKept = 16;
    if (made.size() >= kKept)
        made.pop_front();
    made.push_back({ font, pixelSize, sized });
    return sized;
}

} // namespace

bool IsSyntheticBold(const QFont& font)
{
    return font.bold() && BoldFaceOf(font.family()).Synthetic;
}

void DrawGlyphRunBold(QPainter& painter, const QPointF& origin, const QGlyphRun& run)
{
    const QRawFont font = run.rawFont();
    const double scale = DeviceScale(painter);
    if (!Scaled(scale) || !font.isValid() || font.weight() < QFont::Bold
        || !BoldFaceOf(font.familyName()).Synthetic) {
        painter.drawGlyphRun(origin, run);
        return;
    }
    QGlyphRun sized = run;
    sized.setRawFont(AtPixelSize(font, font.pixelSize() * scale));
    QList<QPointF> positions = run.positions();
    for (QPointF& position : positions)
        position *= scale;
    sized.setPositions(positions);
    painter.save();
    painter.scale(1 / scale, 1 / scale);
    painter.drawGlyphRun(origin * scale, sized);
    painter.restore();
}

void DrawTextLineBold(
    QPainter& painter, const QRectF& rect, int alignment, const QString& text, const QFont& font)
{
    if (!Scaled(DeviceScale(painter)) || !IsSyntheticBold(font)) {
        painter.setFont(font);
        painter.drawText(rect, alignment, text);
        return;
    }
    QTextLayout layout(text, font);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    if (!line.isValid())
        return;
    const double width = line.naturalTextWidth();
    const double height = line.height();
    double x = rect.left();
    if (alignment & Qt::AlignRight)
        x = rect.right() - width;
    else if (alignment & Qt::AlignHCenter)
        x = rect.left() + (rect.width() - width) / 2;
    double y = rect.top();
    if (alignment & Qt::AlignBottom)
        y = rect.bottom() - height;
    else if (alignment & Qt::AlignVCenter)
        y = rect.top() + (rect.height() - height) / 2;
    for (const QGlyphRun& run : line.glyphRuns())
        DrawGlyphRunBold(painter, QPointF(x, y), run);
    // A glyph run drawn alone carries no lines; they go in the pen's colour, as the painter draws them.
    const QFontMetricsF metrics(font);
    const double baseline = y + line.ascent();
    const double thickness = std::max(1.0, metrics.lineWidth());
    const QColor color = painter.pen().color();
    if (font.underline())
        painter.fillRect(QRectF(x, baseline + metrics.underlinePos(), width, thickness), color);
    if (font.strikeOut())
        painter.fillRect(QRectF(x, baseline - metrics.strikeOutPos(), width, thickness), color);
    if (font.overline())
        painter.fillRect(QRectF(x, baseline - metrics.overlinePos(), width, thickness), color);
}

const TBoldFace& BoldFaceOf(const QString& family)
{
    static QHash<QString, TBoldFace> faces;
    auto it = faces.constFind(family);
    if (it == faces.constEnd())
        it = faces.insert(family, Decide(family));
    return *it;
}
