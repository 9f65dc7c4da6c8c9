// SPDX-License-Identifier: MIT
// Arbitrary markup and call settings into the markup engine. The first kControlBytes bytes choose the
// call's settings, the rest is the text (UTF-16, or UTF-8 when the flag says so). Each input is drawn
// onto an image, hit-tested and measured, and turned into plain text.
#include "Fonts.h"
#include "HTMLPicture.h"
#include "ImageList.h"
#include "MarkupEngine.h"
#include "MeasureCanvas.h"
#include "PainterCanvas.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QSet>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Keeps runs meaningful: longer inputs only slow the fuzzer down without reaching new states.
constexpr std::size_t kMaxInput = 4096;
constexpr std::size_t kControlBytes = 20;

// The "://" source seeds point here: file:///tmp/quillon-fuzz-markup/pic.png
const QString kPictureDir = QStringLiteral("/tmp/quillon-fuzz-markup");

enum Flag : std::uint8_t {
    WordWrap = 0x01,
    Hover = 0x02,
    FixedColors = 0x04,
    BlinkOn = 0x08,
    PrintMode = 0x10,
    GiveImages = 0x20,
    GiveContainer = 0x40,
    TextIsUtf8 = 0x80,
};

struct Fixture {
    QImage target { 320, 200, QImage::Format_ARGB32_Premultiplied };
    TImageList images;
    TPictureContainer container;
};

Fixture* g_fixture = nullptr;

QImage Swatch(int w, int h, QRgb rgb)
{
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(rgb);
    return image;
}

class Reader {
public:
    explicit Reader(const std::uint8_t* data)
        : m_data(data)
    {
    }
    int byte() { return m_data[m_pos++]; }
    int word() { return byte() | (byte() << 8); }
    // -50 .. 2000: a little outside the canvas on the near side, far beyond it on the other.
    int coordinate() { return -50 + word() % 2051; }

private:
    const std::uint8_t* m_data;
    std::size_t m_pos = 0;
};

// Qt's warnings (a file name holding a NUL, an image it cannot read) are expected for arbitrary
// input; each distinct one is shown once so that the fuzzer's own output stays readable.
void QuietMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    static QSet<QString> seen; // bounded: some messages carry the input's text
    if (type == QtFatalMsg || (seen.size() < 200 && !seen.contains(message))) {
        seen.insert(message);
        std::fprintf(stderr, "Qt: %s\n", qPrintable(message));
    }
    if (type == QtFatalMsg)
        std::abort();
}

void Fail(const char* what)
{
    std::fprintf(stderr, "fuzz_markup: %s\n", what);
    std::abort();
}

// The engine promises to leave the canvas font and brush colour as it found them.
void CheckRestored(const TCanvas& canvas, const TFont& font, TColor brush)
{
    if (!(canvas.Font == font))
        Fail("canvas font changed by DrawMarkup");
    if (canvas.Brush.Color != brush)
        Fail("canvas brush colour changed by DrawMarkup");
}

} // namespace

// Fontconfig keeps pointers inside its patterns as self-relative offsets, which the leak checker
// cannot follow: every fallback font Qt matches for a new character would read as a leak. The
// reserved name is the one the sanitizer's runtime looks up.
// NOLINTNEXTLINE(bugprone-reserved-identifier)
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_markup";
    static char* argv[] = { name, nullptr };
    qInstallMessageHandler(QuietMessages);
    new QApplication(argc, argv);
    RegisterDesignFonts();

    g_fixture = new Fixture;
    g_fixture->images.Add(Swatch(16, 16, qRgb(200, 0, 0)));
    g_fixture->images.Add(Swatch(16, 16, qRgba(0, 0, 200, 128)));
    g_fixture->container.Add(QStringLiteral("logo"), Swatch(40, 18, qRgb(0, 160, 0)));
    // ALT sources come from the upper-cased attribute part.
    g_fixture->container.Add(QStringLiteral("LOGO"), Swatch(18, 40, qRgb(160, 160, 0)));
    g_fixture->container.Add(QStringLiteral("wide"), Swatch(900, 6, qRgb(0, 0, 0)));

    QDir().mkpath(kPictureDir);
    Swatch(12, 30, qRgb(90, 0, 90)).save(kPictureDir + QStringLiteral("/pic.png"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < kControlBytes || size > kMaxInput)
        return 0;
    Reader in(data);
    TMarkupParams params;
    params.Rect.Left = in.coordinate();
    params.Rect.Top = in.coordinate();
    params.Rect.Right = in.coordinate();
    params.Rect.Bottom = in.coordinate();
    const int flags = in.byte();
    params.WordWrap = flags & WordWrap;
    params.Hover = flags & Hover;
    params.FixedColors = flags & FixedColors;
    params.BlinkOn = flags & BlinkOn;
    params.PrintMode = flags & PrintMode;
    params.Images = (flags & GiveImages) ? &g_fixture->images : nullptr;
    params.PictureContainer = (flags & GiveContainer) ? &g_fixture->container : nullptr;
    params.HoverAnchor = in.byte() % 8 - 1;
    params.FocusAnchor = in.byte() % 8 - 1;
    params.ShadowOffset = in.byte() % 9 - 2;
    params.LineSpacing = in.byte() % 16 - 3;
    params.ResFactor = 0.1 + in.byte() * (3.9 / 255.0);
    params.HitX = in.coordinate();
    params.HitY = in.coordinate();
    const int colours = in.byte();
    params.HoverColor = (colours & 1) ? clYellow : clNone;
    params.HoverFontColor = (colours & 2) ? clRed : clNone;
    params.URLColor = (colours & 4) ? clHighlight : clBlue;
    params.ShadowColor = (colours & 8) ? clNone : clGray;
    const TColor brush = (colours & 16) ? clNone : clBtnFace;
    const int fontBits = in.byte();
    TFont font;
    font.Bold = fontBits & 1;
    font.Italic = fontBits & 2;
    static constexpr int kHeights[] = { -11, -9, -16, 14 };
    font.Height = kHeights[(fontBits >> 2) & 3];
    if (fontBits & 16)
        font.Name = QStringLiteral("Symbol");

    const char* body = reinterpret_cast<const char*>(data + kControlBytes);
    const qsizetype bodySize = qsizetype(size - kControlBytes);
    QString text;
    if (flags & TextIsUtf8) {
        text = QString::fromUtf8(body, bodySize);
    } else {
        // Copied, not cast: the bytes need not be aligned for char16_t.
        text.resize(bodySize / 2);
        std::memcpy(text.data(), body, std::size_t(text.size()) * sizeof(char16_t));
    }

    THTMLPictureCache cache;
    params.PictureCache = &cache;

    {
        QPainter painter(&g_fixture->target);
        TPainterCanvas canvas(painter);
        canvas.Font = font;
        canvas.Brush.Color = brush;
        TMarkupResult result;
        DrawMarkup(canvas, text, params, result);
        CheckRestored(canvas, font, brush);
    }

    TMeasureCanvas measure;
    measure.Font = font;
    measure.Brush.Color = brush;
    {
        TMarkupParams hit = params;
        hit.HitTestOnly = true;
        TMarkupResult result;
        DrawMarkup(measure, text, hit, result);
        CheckRestored(measure, font, brush);
    }
    {
        TMarkupParams height = params;
        height.HeightOnly = true;
        height.Rect.Bottom = height.Rect.Top + 4096;
        TMarkupResult result;
        DrawMarkup(measure, text, height, result);
        CheckRestored(measure, font, brush);
    }

    (void)MarkupToPlainText(text);

    // Qt trims its font caches from timer events; without them every face and size ever asked for
    // would stay loaded and the run would end on its memory limit instead of on a fault.
    static unsigned runs = 0;
    if (++runs % 1024 == 0)
        QCoreApplication::processEvents();
    return 0;
}
