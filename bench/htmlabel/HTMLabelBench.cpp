// SPDX-License-Identifier: MIT
// The offer dialog's HTML label beside a QLabel showing the same rich text: one full paint of each
// (a repaint, as an expose asks for it, and a paint after a change), and real mouse moves across each
// (over the address and off it again). Prints the ratios of the medians.
#include "BenchMain.h"
#include "HTMLabel.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <vector>

namespace {

const QString kAddress = QStringLiteral("support@quillon-repair.com");
const QString kSentence = QStringLiteral("you can send us your file for the manual repair of the file. Our "
                                         "repair experts will analyze the file and "
                                         "repair it for you. Once the file has been received, it generally "
                                         "takes 1-48 hours to process. You can send "
                                         "your corrupted file as an attachment to us via email ");

QString LabelMarkup()
{
    return kSentence
        + QStringLiteral("<A href=\"mailto:%1\"><U><FONT color=\"#000000\"><B>%1</B></FONT></U></A>")
              .arg(kAddress);
}

QString QtRichText(const char* addressColor = "#000000")
{
    return kSentence
        + QStringLiteral("<a href=\"mailto:%1\"><u><font color=\"%2\"><b>%1</b></font></u></a>")
              .arg(kAddress, QLatin1String(addressColor));
}

QFont Tahoma11()
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(11);
    return font;
}

// Both widgets in a shown window of the offer dialog's size, as the user sees them.
struct Scene {
    QWidget window;
    THTMLabel* ours = nullptr;
    QLabel* qt = nullptr;

    Scene()
    {
        window.resize(412, 83 * 2);
        window.setFont(Tahoma11());
        ours = new THTMLabel(&window);
        ours->setGeometry(11, 12, 390, 58);
        ours->setAutoSizing(true);
        ours->setHTMLText({ LabelMarkup() });
        qt = new QLabel(&window);
        qt->setGeometry(11, 95, 390, 58);
        qt->setTextFormat(Qt::RichText);
        qt->setWordWrap(true);
        qt->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        qt->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
        qt->setText(QtRichText());
        window.show();
        QCoreApplication::processEvents();
    }
};

Scene* g_scene = nullptr;

void Paint(benchmark::State& state, QWidget& widget)
{
    QImage image(widget.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        image.fill(Qt::white);
        widget.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}

// A sweep along the middle of every text line: on the address, off it, and back.
std::vector<QPoint> SweepPoints(const QWidget& widget)
{
    std::vector<QPoint> points;
    for (int y = 6; y < widget.height(); y += 13)
        for (int x = 5; x < widget.width(); x += 24)
            points.emplace_back(x, y);
    return points;
}

void MouseMoves(benchmark::State& state, QWidget& widget)
{
    const std::vector<QPoint> points = SweepPoints(widget);
    for (auto _ : state) {
        for (const QPoint& p : points) {
            QMouseEvent move(QEvent::MouseMove, QPointF(p), QPointF(widget.mapToGlobal(p)), Qt::NoButton,
                Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(&widget, &move);
        }
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(points.size()));
}

void BM_QLabelPaint(benchmark::State& s)
{
    Paint(s, *g_scene->qt);
}
void BM_HTMLabelPaint(benchmark::State& s)
{
    Paint(s, *g_scene->ours);
}
void BM_QLabelMouseMove(benchmark::State& s)
{
    MouseMoves(s, *g_scene->qt);
}
void BM_HTMLabelMouseMove(benchmark::State& s)
{
    MouseMoves(s, *g_scene->ours);
}

// A paint after something that shows has changed (the anchor colour, which the address overrides):
// the label lays out and draws the whole text instead of showing its kept picture.
void BM_HTMLabelPaintAfterChange(benchmark::State& state)
{
    THTMLabel& label = *g_scene->ours;
    QImage image(label.size(), QImage::Format_ARGB32_Premultiplied);
    bool flip = false;
    for (auto _ : state) {
        flip = !flip;
        label.setURLColor(flip ? clNavy : clBlue);
        image.fill(Qt::white);
        label.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
    label.setURLColor(clBlue);
}

// The same for the QLabel: its rich text changes (a colour in it, as above) and it paints.
void BM_QLabelPaintAfterChange(benchmark::State& state)
{
    QLabel& label = *g_scene->qt;
    const QString texts[2] = { QtRichText("#000080"), QtRichText("#0000FF") };
    QImage image(label.size(), QImage::Format_ARGB32_Premultiplied);
    bool flip = false;
    for (auto _ : state) {
        flip = !flip;
        label.setText(texts[flip]);
        image.fill(Qt::white);
        label.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
    label.setText(QtRichText());
}

// The first mouse move after the layout changed (here the line spacing): the label lays the text out
// again and maps its anchors before it answers.
void BM_HTMLabelMouseMoveAfterChange(benchmark::State& state)
{
    THTMLabel& label = *g_scene->ours;
    const QPoint p(40, 6);
    bool flip = false;
    for (auto _ : state) {
        flip = !flip;
        label.setLineSpacing(flip ? 1 : 0);
        QMouseEvent move(QEvent::MouseMove, QPointF(p), QPointF(label.mapToGlobal(p)), Qt::NoButton,
            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&label, &move);
    }
    label.setLineSpacing(0);
}

BENCHMARK(BM_QLabelPaint)->Apply(BenchDefaults)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HTMLabelPaint)->Apply(BenchDefaults)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_QLabelPaintAfterChange)->Apply(BenchDefaults)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HTMLabelPaintAfterChange)->Apply(BenchDefaults)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_QLabelMouseMove)->Apply(BenchDefaults)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HTMLabelMouseMove)->Apply(BenchDefaults)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HTMLabelMouseMoveAfterChange)->Apply(BenchDefaults)->Unit(benchmark::kMicrosecond);

// The scene the benchmarks run in; prints the ratios.
class LabelSuite : public TBenchSuite {
public:
    LabelSuite() { g_scene = &scene; }
    ~LabelSuite() override { g_scene = nullptr; }

    void Report() override
    {
        std::printf("\n");
        PrintRatio(
            "paint, against the QLabel paint", "BM_HTMLabelPaint", "BM_QLabelPaint", "(target <= 0.50x)");
        PrintRatio("paint after a change, against the QLabel's after its text changed",
            "BM_HTMLabelPaintAfterChange", "BM_QLabelPaintAfterChange", "(target <= 0.50x)");
        PrintRatio("mouse move, against the QLabel mouse move", "BM_HTMLabelMouseMove", "BM_QLabelMouseMove",
            "(target <= 1.00x)");
        // The QLabel figure covers a whole sweep of moves; the first move after a change is one move.
        const double sweep = BenchSeconds("BM_QLabelMouseMove");
        const double first = BenchSeconds("BM_HTMLabelMouseMoveAfterChange");
        if (sweep > 0 && first > 0)
            std::printf("first mouse move after a layout change: %.2fx one QLabel mouse move\n",
                first / (sweep / double(SweepPoints(*scene.qt).size())));
    }

private:
    Scene scene;
};

} // namespace

std::unique_ptr<TBenchSuite> MakeBenchSuite()
{
    return std::make_unique<LabelSuite>();
}
