// SPDX-License-Identifier: MIT
// The markup engine beside Qt's rich text on the main window's manual-repair text, laid out 775 pixels
// wide in Tahoma 11: a drawing call, a hit test on the address and a height call of ours against
// QTextDocument built, laid out and drawn (or hit-tested) from the equivalent HTML. Prints the ratios
// of the medians.
#include "BenchMain.h"
#include "MarkupEngine.h"
#include "MeasureCanvas.h"
#include "PainterCanvas.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QTextDocument>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <optional>

namespace {

constexpr int kWidth = 775;
constexpr int kDrawHeight = 60;

const QString kAddress = QStringLiteral("support@quillon.example");
const QString kSentence = QStringLiteral("You can send us your file for the manual repair of the file. Our "
                                         "repair experts will analyze the file and "
                                         "repair it for you. Once the file has been received, it generally "
                                         "takes 1-48 hours to process. You can send "
                                         "your corrupted file as an attachment to us via email ");

QString Markup()
{
    return kSentence
        + QStringLiteral("<A href=\"mailto:%1\"><U><FONT color=\"#000000\"><B>%1</B></FONT></U></A>")
              .arg(kAddress);
}

QString Html()
{
    return kSentence.toHtmlEscaped()
        + QStringLiteral("<a href=\"mailto:%1\"><u><font color=\"#000000\"><b>%1</b></font></u></a>")
              .arg(kAddress);
}

QFont Tahoma11()
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(11);
    font.setKerning(false);
    return font;
}

void PrepareDocument(QTextDocument& doc)
{
    doc.setDocumentMargin(0);
    doc.setDefaultFont(Tahoma11());
    doc.setTextWidth(kWidth);
}

TMarkupParams DrawParams()
{
    TMarkupParams params;
    params.Rect = TRect(0, 0, kWidth, kDrawHeight);
    params.WordWrap = true;
    return params;
}

// Points on the address for our layout and for Qt's, found once before timing.
QPoint g_ourHit;
QPoint g_qtHit;

std::optional<QPoint> FindOurAddress()
{
    TMeasureCanvas canvas;
    const QString text = Markup();
    for (int y = 1; y < kDrawHeight; y += 2) {
        for (int x = 0; x < kWidth; x += 2) {
            TMarkupParams params = DrawParams();
            params.HitTestOnly = true;
            params.HitX = x;
            params.HitY = y;
            TMarkupResult result;
            if (DrawMarkup(canvas, text, params, result) && result.AnchorValue.contains(kAddress))
                return QPoint(x + 20, y); // well inside the address, not on its first pixel
        }
    }
    return std::nullopt;
}

std::optional<QPoint> FindQtAddress()
{
    QTextDocument doc;
    PrepareDocument(doc);
    doc.setHtml(Html());
    for (int y = 1; y < kDrawHeight; y += 2)
        for (int x = 0; x < kWidth; x += 2)
            if (doc.documentLayout()->anchorAt(QPointF(x, y)).contains(kAddress))
                return QPoint(x + 20, y);
    return std::nullopt;
}

void BM_OurDraw(benchmark::State& state)
{
    QImage image(kWidth, kDrawHeight, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    TPainterCanvas canvas(painter);
    const QString text = Markup();
    const TMarkupParams params = DrawParams();
    for (auto _ : state) {
        TMarkupResult result;
        DrawMarkup(canvas, text, params, result);
        benchmark::DoNotOptimize(result.YSize);
    }
}

void BM_OurHitTest(benchmark::State& state)
{
    TMeasureCanvas canvas;
    const QString text = Markup();
    TMarkupParams params = DrawParams();
    params.HitTestOnly = true;
    params.HitX = g_ourHit.x();
    params.HitY = g_ourHit.y();
    for (auto _ : state) {
        TMarkupResult result;
        benchmark::DoNotOptimize(DrawMarkup(canvas, text, params, result));
    }
}

void BM_OurHeight(benchmark::State& state)
{
    TMeasureCanvas canvas;
    const QString text = Markup();
    TMarkupParams params = DrawParams();
    params.HeightOnly = true;
    params.Rect.Bottom = 4096;
    int height = 0;
    for (auto _ : state) {
        TMarkupResult result;
        DrawMarkup(canvas, text, params, result);
        height = result.YSize;
        benchmark::DoNotOptimize(height);
    }
    state.counters["height_px"] = height;
}

void BM_QtDocFullDraw(benchmark::State& state)
{
    QImage image(kWidth, kDrawHeight, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    QTextDocument doc;
    PrepareDocument(doc);
    const QString html = Html();
    for (auto _ : state) {
        doc.setHtml(html);
        doc.drawContents(&painter, QRectF(0, 0, kWidth, kDrawHeight));
    }
}

void BM_QtDocDrawOnly(benchmark::State& state)
{
    QImage image(kWidth, kDrawHeight, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    QTextDocument doc;
    PrepareDocument(doc);
    doc.setHtml(Html());
    (void)doc.size(); // lays it out
    for (auto _ : state)
        doc.drawContents(&painter, QRectF(0, 0, kWidth, kDrawHeight));
}

void BM_QtDocFullHitTest(benchmark::State& state)
{
    QTextDocument doc;
    PrepareDocument(doc);
    const QString html = Html();
    for (auto _ : state) {
        doc.setHtml(html);
        benchmark::DoNotOptimize(doc.documentLayout()->anchorAt(QPointF(g_qtHit)));
    }
}

void BM_QtDocAnchorAtOnly(benchmark::State& state)
{
    QTextDocument doc;
    PrepareDocument(doc);
    doc.setHtml(Html());
    (void)doc.size();
    for (auto _ : state)
        benchmark::DoNotOptimize(doc.documentLayout()->anchorAt(QPointF(g_qtHit)));
}

void BM_QtDocFullHeight(benchmark::State& state)
{
    QTextDocument doc;
    PrepareDocument(doc);
    const QString html = Html();
    for (auto _ : state) {
        doc.setHtml(html);
        benchmark::DoNotOptimize(doc.size().height());
    }
}

// What the engine cannot go below: one platform measurement per word.
void BM_QtWordAdvances(benchmark::State& state)
{
    const QFontMetrics metrics(Tahoma11());
    QStringList words = (kSentence + kAddress).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (QString& word : words)
        word += QLatin1Char(' '); // runs end in their blank, as the engine measures them
    for (auto _ : state) {
        int width = 0;
        for (const QString& word : words)
            width += metrics.horizontalAdvance(word);
        benchmark::DoNotOptimize(width);
    }
    state.counters["words"] = double(words.size());
}

BENCHMARK(BM_OurDraw)->Apply(BenchDefaults)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_QtDocFullDraw)->Apply(BenchDefaults)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_QtDocDrawOnly)->Apply(BenchDefaults)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OurHitTest)->Apply(BenchDefaults)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_QtDocFullHitTest)->Apply(BenchDefaults)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_QtDocAnchorAtOnly)->Apply(BenchDefaults)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OurHeight)->Apply(BenchDefaults)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_QtDocFullHeight)->Apply(BenchDefaults)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_QtWordAdvances)->Apply(BenchDefaults)->Unit(benchmark::kMicrosecond);

// Finds the address both ways before anything runs; prints the ratios.
class MarkupSuite : public TBenchSuite {
public:
    void Report() override
    {
        std::printf("\n");
        PrintRatio("draw, against QTextDocument setHtml + layout + draw", "BM_OurDraw", "BM_QtDocFullDraw",
            "(target <= 0.50x)");
        PrintRatio("draw, against its draw only", "BM_OurDraw", "BM_QtDocDrawOnly");
        PrintRatio("hit test, against QTextDocument setHtml + layout + anchorAt", "BM_OurHitTest",
            "BM_QtDocFullHitTest", "(target <= 0.25x)");
        PrintRatio("hit test, against anchorAt only", "BM_OurHitTest", "BM_QtDocAnchorAtOnly");
        std::printf("height: %.1f us (target <= 100 us)\n", BenchSeconds("BM_OurHeight") * 1e6);
        PrintRatio("height, against QTextDocument setHtml + size", "BM_OurHeight", "BM_QtDocFullHeight");
        std::printf(
            "word advances of the text (baseline): %.1f us; our draw is %.1fx, our hit test %.1fx that\n",
            BenchSeconds("BM_QtWordAdvances") * 1e6, BenchRatio("BM_OurDraw", "BM_QtWordAdvances"),
            BenchRatio("BM_OurHitTest", "BM_QtWordAdvances"));
    }
};

} // namespace

std::unique_ptr<TBenchSuite> MakeBenchSuite()
{
    const std::optional<QPoint> ours = FindOurAddress();
    const std::optional<QPoint> qt = FindQtAddress();
    if (!ours || !qt) {
        std::fprintf(stderr, "the address was not found by %s hit test\n", !ours ? "our" : "Qt's");
        return nullptr;
    }
    g_ourHit = *ours;
    g_qtHit = *qt;
    std::printf(
        "hit points: ours (%d, %d), Qt (%d, %d)\n", g_ourHit.x(), g_ourHit.y(), g_qtHit.x(), g_qtHit.y());
    return std::make_unique<MarkupSuite>();
}
