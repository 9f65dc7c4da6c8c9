// SPDX-License-Identifier: MIT
// One typed character in a money field beside one typed character in a QLineEdit with a
// QDoubleValidator. The money field holds 12,345,678,901 and takes a "2" at its end, so the value
// becomes 12 digits and every thousand separator moves; the line edit holds 12345678901 and takes
// the same "2" under its validator. Only the press is timed, in CPU time; each field is put back
// to its start value between presses. The ratio compares medians.
#include "AdvEdit.h"
#include "BenchMain.h"

#include <QApplication>
#include <QDoubleValidator>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <ctime>

namespace {

struct Scene {
    QWidget window;
    TAdvEdit* money = nullptr;
    QLineEdit* qt = nullptr;

    Scene()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        window.resize(320, 80);
        money = new TAdvEdit(&window);
        money->setGeometry(10, 10, 300, 21);
        money->setEditType(TAdvEdit::etMoney);
        money->setPrecision(2);
        qt = new QLineEdit(&window);
        qt->setGeometry(10, 45, 300, 21);
        auto* validator = new QDoubleValidator(0, 1e15, 2, qt);
        validator->setNotation(QDoubleValidator::StandardNotation);
        qt->setValidator(validator);
        window.show();
        QApplication::processEvents();
    }
};

Scene* g_scene = nullptr;

const QString kQtStart = QStringLiteral("12345678901");
const QString kMoneyStart = QStringLiteral("12,345,678,901");

void ResetQt()
{
    g_scene->qt->setText(kQtStart);
    g_scene->qt->setCursorPosition(11);
}

void ResetMoney()
{
    g_scene->money->setText(kMoneyStart);
    g_scene->money->setCursorPosition(14); // before ".00"
}

// Times the key press alone in CPU time (steadier than the clock on a shared machine); the field
// is put back to its start value, untimed, before each press.
void TypeOne(benchmark::State& state, QWidget* w, void (*reset)(), const char* expected)
{
    QKeyEvent key(QEvent::KeyPress, Qt::Key_2, Qt::NoModifier, QStringLiteral("2"));
    for (auto _ : state) {
        reset();
        const std::clock_t start = std::clock();
        QCoreApplication::sendEvent(w, &key);
        state.SetIterationTime(double(std::clock() - start) / CLOCKS_PER_SEC);
    }
    if (static_cast<QLineEdit*>(w)->text() != QLatin1String(expected))
        state.SkipWithError("the typed character did not give the expected text");
}

void BM_QLineEditDoubleValidatorKey(benchmark::State& state)
{
    TypeOne(state, g_scene->qt, ResetQt, "123456789012");
}

void BM_AdvEditMoneyKey(benchmark::State& state)
{
    TypeOne(state, g_scene->money, ResetMoney, "123,456,789,012.00");
}

} // namespace

BENCHMARK(BM_QLineEditDoubleValidatorKey)
    ->Apply(BenchDefaults)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AdvEditMoneyKey)->Apply(BenchDefaults)->UseManualTime()->Unit(benchmark::kMicrosecond);

namespace {

class EditSuite : public TBenchSuite {
public:
    EditSuite() { g_scene = &m_scene; }
    ~EditSuite() override { g_scene = nullptr; }
    void Report() override
    {
        const double qt = BenchSeconds("BM_QLineEditDoubleValidatorKey/manual_time");
        const double ours = BenchSeconds("BM_AdvEditMoneyKey/manual_time");
        std::printf("\none typed character (CPU time): money field regrouping 12 digits %.2f us, QLineEdit "
                    "with QDoubleValidator %.2f us: %.2fx (target <= 1.50x)\n",
            ours * 1e6, qt * 1e6, qt > 0 ? ours / qt : 0.0);
    }

private:
    Scene m_scene;
};

} // namespace

std::unique_ptr<TBenchSuite> MakeBenchSuite()
{
    return std::make_unique<EditSuite>();
}
