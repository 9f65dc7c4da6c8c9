// SPDX-License-Identifier: MIT
// Repaint of the main window's panel (800 x 626, classic look) and of a panel with a 64-step gradient,
// each beside a raised QFrame of the same size, all shown on the offscreen platform and repainted at
// once (paint into the backing store and flush). Prints the ratios; on a busy machine run it with
// --benchmark_repetitions=5 to compare medians.
#include "AdvPanel.h"
#include "Fonts.h"

#include <QApplication>
#include <QFrame>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <memory>
#include <string>

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

std::map<std::string, double> g_seconds; // per iteration, by benchmark name

// Keeps each run's time per iteration for the summary.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& r : runs)
            g_seconds[r.benchmark_name()]
                = r.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(r.time_unit);
        ConsoleReporter::ReportRuns(runs);
    }
};

double Seconds(const std::string& name)
{
    auto it = g_seconds.find(name + "_median");
    if (it == g_seconds.end())
        it = g_seconds.find(name);
    return it == g_seconds.end() ? 0 : it->second;
}

double Ratio(const char* ours, const char* base)
{
    const double b = Seconds(base);
    return b > 0 ? Seconds(ours) / b : 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    RegisterDesignFonts();
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    std::printf("\nclassic repaint:  %.2fx a raised QFrame (target <= 1.2x)\n",
        Ratio("BM_PanelClassic", "BM_QFrameRaised"));
    std::printf("gradient repaint: %.2fx a raised QFrame (target <= 2x)\n",
        Ratio("BM_PanelGradient", "BM_QFrameRaised"));
    return 0;
}
