// SPDX-License-Identifier: MIT
// How the work grows with the text: for each input form, a drawing call, a hit test and a height call
// of the markup engine, a repaint and a first mouse move of an auto-sized label (and, for the form
// with many matches, the label's highlight and mark operations) on 10 KB and on 1 MB of text, in one
// run. The ratio of the two times is printed per
// call: linear work gives 100. Beside them, Qt's own word advances over the same visible text show
// what linear looks like on this machine. Every call lays out the whole text (the rectangle is
// unbounded), as an auto-sized label does.
#include "BenchMain.h"
#include "HTMLabel.h"
#include "MarkupEngine.h"
#include "MeasureCanvas.h"
#include "PainterCanvas.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 775;
constexpr int kUnbounded = 1 << 26;
constexpr qsizetype kSmall = 10'000;
constexpr qsizetype kLarge = 1'000'000;
constexpr double kTargetRatio = 150;
constexpr double kCallLimit = 1.0; // seconds, for one call on 1 MB

struct Form {
    const char* name;
    QString unit; // repeated to the size
    QString prefix = {}; // once, before the repetitions
};

const std::vector<Form>& Forms()
{
    static const std::vector<Form> forms = {
        { "plain words",
            QStringLiteral(
                "Once the file has been received, it generally takes some hours to process it. ") },
        { "nested tags",
            QStringLiteral("<b><i><u><font color=\"#C00000\" face=\"Tahoma\">deep <s>in</s> <sub>the</sub> "
                           "tags</font></u></i></b> ") },
        // One chain: every "amp;" adds one level.
        { "entity chain", QStringLiteral("amp;"), QStringLiteral("&") },
        { "long anchors",
            QStringLiteral("<A href=\"https://www.example.com/%1?from=label&amp;page=2\">%2</A> ")
                .arg(QStringLiteral("path/").repeated(60),
                    QStringLiteral("an anchor of many words ").repeated(20)) },
        { "line breaks", QStringLiteral("line<BR>\r\n\r\r<br>") },
        { "many matches", QStringLiteral("find me, <b>Find</b> you ") },
    };
    return forms;
}

const char* kSearch = "find";

// The form repeated to `size` characters at most, whole units only, so that both sizes hold the same
// number of units per character.
QString Build(const Form& form, qsizetype size)
{
    const qsizetype units = (size - form.prefix.size()) / form.unit.size();
    return form.prefix + form.unit.repeated(units);
}

QFont Tahoma11()
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(11);
    return font;
}

TMarkupParams Params()
{
    TMarkupParams params;
    params.Rect = TRect(0, 0, kWidth, kUnbounded);
    params.WordWrap = true;
    params.HitX = 40;
    params.HitY = 6;
    return params;
}

void Draw(benchmark::State& state, const QString& text)
{
    QImage image(kWidth, 400, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    TPainterCanvas canvas(painter);
    canvas.Font.AssignQFont(Tahoma11());
    const TMarkupParams params = Params();
    for (auto _ : state) {
        TMarkupResult result;
        DrawMarkup(canvas, text, params, result);
        benchmark::DoNotOptimize(result.YSize);
    }
}

void HitTest(benchmark::State& state, const QString& text)
{
    TMeasureCanvas canvas;
    canvas.Font.AssignQFont(Tahoma11());
    TMarkupParams params = Params();
    params.HitTestOnly = true;
    for (auto _ : state) {
        TMarkupResult result;
        benchmark::DoNotOptimize(DrawMarkup(canvas, text, params, result));
    }
}

void Height(benchmark::State& state, const QString& text)
{
    TMeasureCanvas canvas;
    canvas.Font.AssignQFont(Tahoma11());
    TMarkupParams params = Params();
    params.HeightOnly = true;
    for (auto _ : state) {
        TMarkupResult result;
        DrawMarkup(canvas, text, params, result);
        benchmark::DoNotOptimize(result.YSize);
    }
}

// An auto-sized label with the text, as a window shows it: only its first 400 pixels exposed.
struct ShownLabel {
    THTMLabel label;
    explicit ShownLabel(const QString& text)
    {
        label.setFont(Tahoma11());
        label.resize(kWidth, 400);
        label.setAutoSizing(true);
        label.setHTMLText({ text });
    }
};

// A repaint after something that shows changed (the anchor colour): the text is drawn again.
void LabelPaint(benchmark::State& state, const QString& text)
{
    ShownLabel shown(text);
    QImage image(kWidth, 400, QImage::Format_ARGB32_Premultiplied);
    bool flip = false;
    for (auto _ : state) {
        flip = !flip;
        shown.label.setURLColor(flip ? clNavy : clBlue);
        shown.label.render(&image, QPoint(), QRegion(0, 0, kWidth, 400));
        benchmark::DoNotOptimize(image.constBits());
    }
}

// The first mouse move after the layout changed (the line spacing): laid out and mapped again.
void LabelFirstMove(benchmark::State& state, const QString& text)
{
    ShownLabel shown(text);
    bool flip = false;
    for (auto _ : state) {
        flip = !flip;
        shown.label.setLineSpacing(flip ? 1 : 0);
        benchmark::DoNotOptimize(shown.label.AnchorAt(40, 6));
    }
}

// The label's text rewrites, each from the text it applies to (set up outside the timing).
void Rewrite(benchmark::State& state, const QString& text, const std::function<void(THTMLabel&)>& rewrite)
{
    THTMLabel label;
    label.setFont(Tahoma11());
    label.resize(kWidth, 400);
    for (auto _ : state) {
        state.PauseTiming();
        label.setHTMLText({ text });
        state.ResumeTiming();
        rewrite(label);
        benchmark::DoNotOptimize(label.HTMLLines().Count());
    }
}

// Qt's own measurement of every word of the visible text: the floor of any layout.
void QtWordAdvances(benchmark::State& state, const QString& text)
{
    const QFontMetrics metrics(Tahoma11());
    const QStringList words = MarkupToPlainText(text).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (auto _ : state) {
        qint64 width = 0;
        for (const QString& word : words)
            width += metrics.horizontalAdvance(word);
        benchmark::DoNotOptimize(width);
    }
}

struct Call {
    std::string form;
    std::string op;
};
std::vector<Call> g_calls;

std::string Name(const std::string& form, const std::string& op, qsizetype size)
{
    return form + "/" + op + "/" + (size == kSmall ? "10KB" : "1MB");
}

// One call at both sizes; `run` gets the size.
using SizedRun = std::function<void(benchmark::State&, qsizetype)>;

void Register(const std::string& form, const std::string& op, const SizedRun& run)
{
    g_calls.push_back({ form, op });
    for (const qsizetype size : { kSmall, kLarge }) {
        benchmark::RegisterBenchmark(
            Name(form, op, size).c_str(), [run, size](benchmark::State& s) { run(s, size); })
            ->Apply(BenchDefaults)
            ->Unit(benchmark::kMillisecond);
    }
}

QString Hilighted(const QString& text, bool mark)
{
    THTMLabel label;
    label.setHTMLText({ text });
    if (mark)
        label.MarkText(QString::fromLatin1(kSearch), true);
    else
        label.HilightText(QString::fromLatin1(kSearch), false);
    return label.HTMLText().join(QString());
}

void RegisterAll()
{
    static std::map<std::pair<std::string, qsizetype>, QString> texts; // outlive the registrations
    for (const Form& form : Forms()) {
        for (const qsizetype size : { kSmall, kLarge })
            texts[{ form.name, size }] = Build(form, size);
    }
    for (const Form& form : Forms()) {
        const std::string name = form.name;
        auto on = [name](void (*op)(benchmark::State&, const QString&)) {
            return [name, op](benchmark::State& s, qsizetype size) { op(s, texts[{ name, size }]); };
        };
        Register(name, "draw", on(Draw));
        Register(name, "hit test", on(HitTest));
        Register(name, "height", on(Height));
        Register(name, "label paint", on(LabelPaint));
        Register(name, "label first move", on(LabelFirstMove));
        if (name == "many matches") {
            const QString search = QString::fromLatin1(kSearch);
            Register(name, "HilightText", [name, search](benchmark::State& s, qsizetype size) {
                Rewrite(s, texts[{ name, size }], [search](THTMLabel& l) { l.HilightText(search, false); });
            });
            Register(name, "UnHilightText", [name](benchmark::State& s, qsizetype size) {
                Rewrite(s, Hilighted(texts[{ name, size }], false), [](THTMLabel& l) { l.UnHilightText(); });
            });
            Register(name, "MarkText", [name, search](benchmark::State& s, qsizetype size) {
                Rewrite(s, texts[{ name, size }], [search](THTMLabel& l) { l.MarkText(search, true); });
            });
            Register(name, "UnMarkText", [name](benchmark::State& s, qsizetype size) {
                Rewrite(s, Hilighted(texts[{ name, size }], true), [](THTMLabel& l) { l.UnMarkText(); });
            });
            Register(name, "draw highlighted", [name](benchmark::State& s, qsizetype size) {
                Draw(s, Hilighted(texts[{ name, size }], false));
            });
        }
        Register(name, "Qt word advances", on(QtWordAdvances));
    }
}

// Prints each call's two times and their ratio.
class ScalingSuite : public TBenchSuite {
public:
    void Report() override
    {
        // CPU time: the machine may be shared, and waiting for it is not the call's cost.
        std::printf("\n%-14s %-18s %12s %12s %7s\n", "form", "call", "10 KB CPU ms", "1 MB CPU ms", "ratio");
        int over = 0;
        for (const Call& c : g_calls) {
            const double small = BenchCpuSeconds(Name(c.form, c.op, kSmall));
            const double large = BenchCpuSeconds(Name(c.form, c.op, kLarge));
            if (small <= 0 || large <= 0)
                continue; // filtered out
            const double ratio = large / small;
            const bool ours = c.op != "Qt word advances";
            const bool bad = ours && (ratio > kTargetRatio || large > kCallLimit);
            over += bad;
            std::printf("%-14s %-18s %12.3f %12.1f %7.0f%s\n", c.form.c_str(), c.op.c_str(), small * 1e3,
                large * 1e3, ratio, bad ? "  <- over target" : "");
        }
        std::printf(
            "\nlinear is 100; target: every ratio of ours at most %.0f and no 1 MB call above %.0f s: %s\n",
            kTargetRatio, kCallLimit, over ? "MISSED" : "met");
    }
};

} // namespace

std::unique_ptr<TBenchSuite> MakeBenchSuite()
{
    RegisterAll();
    return std::make_unique<ScalingSuite>();
}
