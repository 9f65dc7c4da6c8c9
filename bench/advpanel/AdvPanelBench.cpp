// SPDX-License-Identifier: MIT
// Repaint of the main window's panel (800 x 626, classic look) and of a panel with a 64-step gradient,
// each beside a raised QFrame of the same size, all shown on the offscreen platform and repainted at
// once (paint into the backing store and flush). Prints the ratios; on a busy machine run it with
// --benchmark_repetitions=5 to compare medians. Also: the panel with a gradient caption and a status
// bar beside the classic one, the shaded header of 400 x 20 rebuilt for every shade type (each
// well under a millisecond), and a mouse move over a panel's text: the anchor found from the kept
// layout beside the engine laying the text out for the point, as every move once did.
#include "AdvPanel.h"
#include "BenchMain.h"
#include "MarkupEngine.h"
#include "MeasureCanvas.h"
#include "PanelGeometry.h"
#include "ShadedHeader.h"

#include <QApplication>
#include <QFrame>
#include <QImage>
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

BENCHMARK(BM_QFrameRaised);
BENCHMARK(BM_PanelClassic);
BENCHMARK(BM_PanelGradient);
BENCHMARK(BM_PanelCaptionStatus);
BENCHMARK(BM_AnchorAtKept);
BENCHMARK(BM_AnchorAtLaidOut);
BENCHMARK(BM_ShadedHeader)->DenseRange(stNoise, stBitmapLStretch)->Unit(benchmark::kMicrosecond);

class PanelSuite : public TBenchSuite {
public:
    void Report() override
    {
        std::printf("\nclassic repaint:  %.2fx a raised QFrame (target <= 1.2x)\n",
            BenchRatio("BM_PanelClassic", "BM_QFrameRaised"));
        std::printf("gradient repaint: %.2fx a raised QFrame (target <= 2x)\n",
            BenchRatio("BM_PanelGradient", "BM_QFrameRaised"));
        std::printf("caption and status bar repaint: %.2fx the classic panel (target <= 1.5x)\n",
            BenchRatio("BM_PanelCaptionStatus", "BM_PanelClassic"));
        std::printf("anchor under the mouse: %.2fx laying the text out for each move\n",
            BenchRatio("BM_AnchorAtKept", "BM_AnchorAtLaidOut"));
    }
};

} // namespace

std::unique_ptr<TBenchSuite> MakeBenchSuite()
{
    return std::make_unique<PanelSuite>();
}
