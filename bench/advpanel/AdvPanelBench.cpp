// SPDX-License-Identifier: MIT
// Repaint of the main window's panel (800 x 626, classic look) and of a panel with a 64-step gradient,
// each beside a raised QFrame of the same size, all shown on the offscreen platform and repainted at
// once (paint into the backing store and flush). Prints the ratios of the medians. Also: the panel
// with a gradient caption and a status bar beside a raised QFrame holding two gradient QLabel bands, the
// shaded header of 400 x 20 rebuilt for every shade type (each well under a millisecond), and a mouse move
// over a panel's text: the anchor found from the kept layout beside the engine laying the text out for the
// point, as every move once did.
#include "AdvPanel.h"
#include "BenchMain.h"
#include "MarkupEngine.h"
#include "MeasureCanvas.h"
#include "PanelGeometry.h"
#include "ShadedHeader.h"

#include <QApplication>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QLinearGradient>
#include <QMetaEnum>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <memory>

using namespace AdvPanel;

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 626;

template <typename W> void Show(W& widget)
{
    widget.resize(kWidth, kHeight);
    widget.show();
    QApplication::processEvents();
}

void Repaint(benchmark::State& state, QWidget& widget)
{
    for (auto _ : state)
        widget.repaint();
}

void BM_QFrameRaised(benchmark::State& state)
{
    QFrame frame;
    frame.setFrameShape(QFrame::Panel);
    frame.setFrameShadow(QFrame::Raised);
    Show(frame);
    Repaint(state, frame);
}

void BM_PanelClassic(benchmark::State& state)
{
    TAdvPanel panel;
    panel.setBorderColor(clGray);
    Show(panel);
    Repaint(state, panel);
}

void BM_PanelGradient(benchmark::State& state)
{
    TAdvPanel panel;
    panel.setBorderColor(clGray);
    panel.setColor(0xFDEADA);
    panel.setColorTo(0xE4AE88);
    Show(panel);
    Repaint(state, panel);
}

// The classic panel with a visible gradient caption (with both buttons and text) and status bar.
void BM_PanelCaptionStatus(benchmark::State& state)
{
    TAdvPanel panel;
    panel.setBorderColor(clGray);
    panel.Caption()->setVisible(true);
    panel.Caption()->setColorTo(0x00E0B080);
    panel.Caption()->setText(QStringLiteral("<B>Caption</B> text"));
    panel.Caption()->setCloseButton(true);
    panel.Caption()->setMinMaxButton(true);
    panel.StatusBar()->setVisible(true);
    panel.StatusBar()->setColorTo(0x00C8C8C8);
    panel.StatusBar()->setText(QStringLiteral("Status"));
    Show(panel);
    Repaint(state, panel);
}

// What a Qt developer would write for the panel above: a raised QFrame holding two QLabel bands of
// the same heights and texts, each filling its background with a gradient of the same colours.
QLabel* GradientBand(QWidget* parent, const QString& text, QColor from, QColor to)
{
    auto* band = new QLabel(text, parent);
    QLinearGradient gradient(0, 0, 1, 0);
    gradient.setCoordinateMode(QGradient::ObjectMode);
    gradient.setColorAt(0, from);
    gradient.setColorAt(1, to);
    QPalette palette = band->palette();
    palette.setBrush(QPalette::Window, gradient);
    band->setPalette(palette);
    band->setAutoFillBackground(true);
    return band;
}

void BM_QFrameBands(benchmark::State& state)
{
    QFrame frame;
    frame.setFrameShape(QFrame::Panel);
    frame.setFrameShadow(QFrame::Raised);
    const QPalette& palette = frame.palette();
    QLabel* caption = GradientBand(&frame, QStringLiteral("<b>Caption</b> text"),
        palette.color(QPalette::Highlight), QColor(0x80, 0xB0, 0xE0));
    caption->setTextFormat(Qt::RichText);
    QLabel* status = GradientBand(
        &frame, QStringLiteral("Status"), palette.color(QPalette::Button), QColor(0xC8, 0xC8, 0xC8));
    status->setTextFormat(Qt::PlainText);
    caption->setGeometry(1, 1, kWidth - 2, 20);
    status->setGeometry(1, kHeight - 19, kWidth - 2, 18);
    Show(frame);
    Repaint(state, frame);
}

// Rebuilding a 400 x 20 shaded header of one shade type.
void BM_ShadedHeader(benchmark::State& state)
{
    QImage picture(24, 16, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    const TShadeInput in { QSize(400, 20), 0x00B05A1E, TShadeType(state.range(0)), 230, 32, picture, false };
    for (auto _ : state)
        benchmark::DoNotOptimize(BuildShadedHeaderImage(in));
    state.SetLabel(QMetaEnum::fromType<TShadeType>().valueToKey(int(state.range(0))));
}

// Three lines of text with two anchors, as a panel of the main window holds them.
const QString kAnchorText = QStringLiteral(
    "Damaged files are repaired in place: <A href=\"open\">choose a file</A> or drop it here, then "
    "look at the <A href=\"log\">log of the last pass</A> to see what was salvaged and what was lost.");

// Points along a mouse path across the text.
QPoint PathPoint(qint64 i)
{
    return { int(4 + (i * 7) % 280), int(4 + (i / 40) % 40) };
}

void BM_AnchorAtKept(benchmark::State& state)
{
    TAdvPanel panel;
    panel.resize(300, 80);
    panel.setText(kAnchorText);
    qint64 i = 0;
    for (auto _ : state) {
        const QPoint p = PathPoint(i++);
        benchmark::DoNotOptimize(panel.AnchorAt(p.x(), p.y()));
    }
}

void BM_AnchorAtLaidOut(benchmark::State& state)
{
    TAdvPanel panel;
    panel.resize(300, 80);
    panel.setText(kAnchorText);
    const TRect area = PanelGeometry::TextArea(panel.CurrentLayout());
    qint64 i = 0;
    for (auto _ : state) {
        const QPoint p = PathPoint(i++);
        TMeasureCanvas canvas;
        canvas.Font = panel.Font();
        TMarkupParams params;
        params.Rect = area;
        params.HitTestOnly = true;
        params.HitX = p.x();
        params.HitY = p.y();
        TMarkupResult result;
        benchmark::DoNotOptimize(DrawMarkup(canvas, kAnchorText, params, result));
    }
}

BENCHMARK(BM_QFrameRaised)->Apply(BenchDefaults);
BENCHMARK(BM_PanelClassic)->Apply(BenchDefaults);
BENCHMARK(BM_PanelGradient)->Apply(BenchDefaults);
BENCHMARK(BM_PanelCaptionStatus)->Apply(BenchDefaults);
BENCHMARK(BM_QFrameBands)->Apply(BenchDefaults);
BENCHMARK(BM_AnchorAtKept)->Apply(BenchDefaults);
BENCHMARK(BM_AnchorAtLaidOut)->Apply(BenchDefaults);
BENCHMARK(BM_ShadedHeader)
    ->Apply(BenchDefaults)
    ->DenseRange(stNoise, stBitmapLStretch)
    ->Unit(benchmark::kMicrosecond);

class PanelSuite : public TBenchSuite {
public:
    void Report() override
    {
        std::printf("\n");
        PrintRatio("classic repaint, against a raised QFrame", "BM_PanelClassic", "BM_QFrameRaised",
            "(target <= 1.2x)");
        PrintRatio("gradient repaint, against a raised QFrame", "BM_PanelGradient", "BM_QFrameRaised",
            "(target <= 2x)");
        PrintRatio("caption and status bar repaint, against a raised QFrame with two gradient QLabel "
                   "bands",
            "BM_PanelCaptionStatus", "BM_QFrameBands", "(target <= 1.5x)");
        PrintRatio("anchor under the mouse, against laying the text out for each move", "BM_AnchorAtKept",
            "BM_AnchorAtLaidOut");
    }
};

} // namespace

std::unique_ptr<TBenchSuite> MakeBenchSuite()
{
    return std::make_unique<PanelSuite>();
}
