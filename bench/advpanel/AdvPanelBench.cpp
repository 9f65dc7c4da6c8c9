// SPDX-License-Identifier: MIT
// Repaint of the main window's panel (800 x 626, classic look) and of a panel with a 64-step gradient,
// each beside a raised QFrame of the same size, all shown on the offscreen platform and repainted at
// once (paint into the backing store and flush). Prints the ratios; on a busy machine run it with
// --benchmark_repetitions=5 to compare medians.
#include "AdvPanel.h"
#include "BenchMain.h"

#include <QApplication>
#include <QFrame>
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

BENCHMARK(BM_QFrameRaised);
BENCHMARK(BM_PanelClassic);
BENCHMARK(BM_PanelGradient);

class PanelSuite : public TBenchSuite {
public:
    void Report() override
    {
        std::printf("\nclassic repaint:  %.2fx a raised QFrame (target <= 1.2x)\n",
            BenchRatio("BM_PanelClassic", "BM_QFrameRaised"));
        std::printf("gradient repaint: %.2fx a raised QFrame (target <= 2x)\n",
            BenchRatio("BM_PanelGradient", "BM_QFrameRaised"));
    }
};

} // namespace

std::unique_ptr<TBenchSuite> MakeBenchSuite()
{
    return std::make_unique<PanelSuite>();
}
