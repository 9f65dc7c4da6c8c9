// SPDX-License-Identifier: MIT
#include "ShadedHeader.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionTitleBar>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

using namespace AdvPanel;

namespace {

constexpr double kPi = 3.14159265358979323846;

// A fixed-seed generator, so that a header rebuilt for the same input has the same grain.
class Grain {
public:
    explicit Grain(int strength)
        : m_strength(strength)
    {
    }
    // A value in [-strength, strength].
    int Next()
    {
        m_state = m_state * 1103515245u + 12345u;
        if (m_strength == 0)
            return 0;
        return int((m_state >> 16) % unsigned(2 * m_strength + 1)) - m_strength;
    }

private:
    int m_strength;
    std::uint32_t m_state = 0x2545F491u;
};

// `channel` moved toward `light` by s (0..1) or darkened toward black by -s (-1..0), plus `noise`.
int Shade(int channel, double s, int light, int noise)
{
    const double v = s >= 0 ? channel + (light - channel) * s : channel * (1 + s);
    return std::clamp(int(std::lround(v)) + noise, 0, 255);
}

// Shade of a pixel at u (along the band, 0..1) and v (across it, 0..1) for the shade types drawn by
// formula; `streak` is the row's metal streak, `noise` the pixel's grain.
double Formula(TShadeType type, double u, double v)
{
    switch (type) {
    case stDiagShade:
        return 1 - (u + v) / 2;
    case stHShade:
        return 1 - u;
    case stHShadeInv:
        return u;
    case stVShade:
        return 1 - v;
    case stVShadeInv:
        return v;
    case stHBump:
        return std::sin(kPi * v);
    case stVBump:
        return std::sin(kPi * u);
    case stSoftBump:
        return std::sin(kPi * v) * (0.4 + 0.6 * std::sin(kPi * u));
    case stHardBump:
        // A ridge with a sharp edge along its middle: light above it, shadowed below.
        return v < 0.5 ? 1 - v : -0.5 * (v - 0.5);
    case stLMetal:
        return 0.7 * (1 - u);
    case stRMetal:
        return 0.7 * u;
    case stIRadial:
    case stORadial: {
        const double d = std::min(1.0, std::hypot(2 * u - 1, 2 * v - 1) / std::sqrt(2.0));
        return type == stIRadial ? 1 - d : d;
    }
    default:
        return 0;
    }
}

QImage TitleBar(const TShadeInput& in)
{
    QImage image(in.size, QImage::Format_RGB32);
    image.fill(ColorToQColor(in.color));
    QPainter painter(&image);
    QStyleOptionTitleBar option;
    option.rect = QRect(QPoint(0, 0), in.vertical ? in.size.transposed() : in.size);
    option.state = QStyle::State_Active | QStyle::State_Enabled;
    option.titleBarState = Qt::WindowActive;
    option.titleBarFlags = Qt::Window | Qt::WindowTitleHint;
    option.subControls = QStyle::SC_TitleBarLabel;
    option.palette = QApplication::palette();
    option.palette.setColor(QPalette::Highlight, ColorToQColor(in.color));
    if (in.vertical) {
        // Drawn as a top caption and turned onto the left side.
        painter.translate(in.size.width(), 0);
        painter.rotate(90);
    }
    QApplication::style()->drawComplexControl(QStyle::CC_TitleBar, &option, &painter, nullptr);
    return image;
}

QImage Picture(const TShadeInput& in)
{
    QImage image(in.size, QImage::Format_RGB32);
    image.fill(ColorToQColor(in.color));
    if (in.picture.isNull())
        return image;
    QPainter painter(&image);
    const int w = in.size.width();
    const int h = in.size.height();
    const QImage& p = in.picture;
    if (in.type == stBitmap) {
        painter.drawImage(QRect(0, 0, w, h), p);
        return image;
    }
    // The picture at one end at its own width, a 3-pixel strip of its far edge stretched over the rest.
    const int pw = std::min(p.width(), w);
    const int strip = std::min(3, p.width());
    if (in.type == stBitmapRStretch) {
        painter.drawImage(QRect(0, 0, pw, h), p, QRect(0, 0, pw, p.height()));
        painter.drawImage(QRect(pw, 0, w - pw, h), p, QRect(p.width() - strip, 0, strip, p.height()));
    } else {
        painter.drawImage(QRect(w - pw, 0, pw, h), p, QRect(p.width() - pw, 0, pw, p.height()));
        painter.drawImage(QRect(0, 0, w - pw, h), p, QRect(0, 0, strip, p.height()));
    }
    return image;
}

} // namespace

QImage BuildShadedHeaderImage(const TShadeInput& in)
{
    if (in.type == stNormal || in.size.isEmpty())
        return {};
    if (in.type == stXPCaption)
        return TitleBar(in);
    if (in.type == stBitmap || in.type == stBitmapRStretch || in.type == stBitmapLStretch)
        return Picture(in);

    const TColor rgb = ColorToRGB(in.color);
    const int cr = RedOf(rgb);
    const int cg = GreenOf(rgb);
    const int cb = BlueOf(rgb);
    const int light = std::clamp(in.light, 0, 255);
    const int w = in.size.width();
    const int h = in.size.height();
    // Along the band and across it; a left caption runs down its height.
    const int along = in.vertical ? h : w;
    const int across = in.vertical ? w : h;
    const bool noise = in.type == stNoise;
    const bool metal = in.type == stLMetal || in.type == stRMetal;
    Grain grain(std::clamp(in.grain, 0, 255));
    // Metal streaks run along the band: one grain value per line across it.
    std::vector<int> streaks(std::size_t(across), 0);
    if (metal) {
        for (int& s : streaks)
            s = grain.Next() / 2;
    }
    std::vector<double> shades(std::size_t(along) * std::size_t(across));
    for (int a = 0; a < along; ++a) {
        const double u = along > 1 ? double(a) / (along - 1) : 0;
        for (int c = 0; c < across; ++c) {
            const double v = across > 1 ? double(c) / (across - 1) : 0;
            shades[std::size_t(c) * std::size_t(along) + std::size_t(a)] = Formula(in.type, u, v);
        }
    }
    QImage image(in.size, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const int a = in.vertical ? y : x;
            const int c = in.vertical ? w - 1 - x : y;
            const double s = shades[std::size_t(c) * std::size_t(along) + std::size_t(a)];
            const int n = noise ? grain.Next() : metal ? streaks[std::size_t(c)] : 0;
            line[x] = qRgb(Shade(cr, s, light, n), Shade(cg, s, light, n), Shade(cb, s, light, n));
        }
    }
    return image;
}
