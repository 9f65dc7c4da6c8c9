// SPDX-License-Identifier: MIT
// Start-up of the main window to its first painted frame, and the heap it holds, beside a plain Qt
// window showing the same content in standard controls; and the cost of a full repair pass with the
// wait taken out. Prints the ratios of the medians at the end.
#include "BenchMain.h"
#include "Links.h"
#include "OpenDialog.h"
#include "_mainUnit.h"
#include "_manualUnit.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QToolButton>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <malloc.h>
#include <map>
#include <memory>
#include <string>

namespace {

std::map<std::string, double> g_heap; // bytes held by one window

class NoDialogs : public TUserDialogs {
public:
    bool ExecuteOpen(TOpenDialog&, QWidget*) override { return false; }
    void ErrorBox(const QString&) override { }
    void ShowModal(QDialog&) override { }
};
class QuietDesktop : public TDesktop {
public:
    QString documents;
    QString DocumentsFolder() override { return documents; }
};
class SystemClock : public TClock {
public:
    QDateTime Now() override { return QDateTime::currentDateTime(); }
};
class NoWait : public TWaiter {
public:
    bool WaitAndPump(int) override { return true; }
};

NoDialogs g_dialogs;
QuietDesktop g_desktop;
SystemClock g_clock;
NoWait g_noWait;
QTemporaryDir* g_dir = nullptr;

TServices Services()
{
    return TServices { &g_dialogs, &g_desktop, &g_clock, &g_noWait, &CreateUserSettingsKey };
}

// The first frame: everything the window shows, painted once into an image as the screen would get it.
void PaintFirstFrame(QWidget& window)
{
    window.ensurePolished();
    QImage frame(window.size(), QImage::Format_ARGB32_Premultiplied);
    window.render(&frame);
    benchmark::DoNotOptimize(frame.constBits());
}

std::unique_ptr<QWidget> MakeQuillonWindow()
{
    auto form = std::make_unique<T_mainForm>(Services());
    new T_manualForm(form.get());
    return form;
}

// What a Qt developer would write for the same window: the same size, the same controls by kind,
// place and count, showing the same texts, pictures and values in the same fonts by name (the
// manual-repair text as rich text with its link), inside a raised frame; and the offer dialog with its
// rich text in a raised frame. Everything drawn in Qt's own style.
struct BaselineText {
    const char* text;
    int x, y, w, h;
    int pixels; // font size
    bool bold; // bold and underlined, as the links are
    bool italic;
};

const BaselineText kBaselineTexts[] = {
    { "change", 581, 138, 35, 11, 9, true, false },
    { "www.quillon.example", 625, 28, 160, 13, 11, true, false },
    { "support@quillon.example", 646, 41, 129, 13, 11, true, false },
    { "open", 622, 138, 24, 11, 9, true, false },
    { "browse", 652, 138, 36, 11, 9, true, false },
    { "Recover deleted files in Windows for free", 555, 54, 230, 13, 11, true, false },
    { "Select the source file to be repaired:", 11, 94, 179, 17, 11, false, false },
    { "Process log:", 13, 186, 62, 17, 11, false, false },
    { "Output fixed file as:", 11, 140, 85, 15, 9, false, false },
    { "/home/user/Documents/no.file", 102, 140, 261, 15, 9, false, true },
    { "Modules loaded: ", 13, 471, 85, 17, 11, false, true },
    { "- repair corrupted Word documents (.doc, .docx, .docm, .rtf)", 45, 494, 298, 17, 11, false, true },
    { "- repair corrupted Excel spreadsheets (.xls, .xla, .xlsx)", 45, 519, 268, 17, 11, false, true },
    { "- extract files from corrupted Zip or RAR archives (.zip, .rar)", 45, 544, 293, 17, 11, false, true },
    { "- repair corrupted videos (.avi, .mp4, .mov, .flv, .wmv, .asf, .mpg)", 45, 569, 327, 17, 11, false,
        true },
    { "- repair corrupted JPEG, GIF, TIFF, BMP, PNG or RAW images (.jpg, .jpeg, .gif, .tiff, .bmp, .png)", 45,
        594, 469, 17, 11, false, true },
    { "- repair corrupted PDF documents (.pdf)", 435, 494, 197, 17, 11, false, true },
    { "- repair corrupted Access databases (.mdb, .mde, .accdb, .accde)", 435, 519, 322, 17, 11, false,
        true },
    { "- repair corrupted PowerPoint presentations (.ppt, .pps, .pptx)", 435, 544, 307, 17, 11, false, true },
    { "- repair corrupted music (.mp3, .wav)", 435, 569, 184, 17, 11, false, true },
};

struct BaselinePicture {
    const char* path;
    int x, y, w, h;
};

const BaselinePicture kBaselinePictures[] = {
    { ":/forms/logo.png", 11, 21, 250, 45 },
    { ":/forms/excel.png", 20, 514, 22, 22 },
    { ":/forms/word.png", 20, 489, 22, 22 },
    { ":/forms/archives.png", 20, 539, 22, 22 },
    { ":/forms/pdf.png", 410, 490, 22, 22 },
    { ":/forms/access.png", 410, 514, 22, 22 },
    { ":/forms/images.png", 20, 589, 22, 22 },
    { ":/forms/music.png", 410, 564, 22, 22 },
    { ":/forms/powerpoint.png", 410, 539, 22, 22 },
    { ":/forms/video.png", 20, 564, 22, 22 },
};

QFont Tahoma(int pixels, bool bold = false, bool italic = false)
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setUnderline(bold);
    font.setItalic(italic);
    return font;
}

QLabel* RichTextLabel(QChar firstLetter, QWidget* parent)
{
    auto* label = new QLabel(Links::ManualRepairMarkup(firstLetter), parent);
    label->setTextFormat(Qt::RichText);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    return label;
}

QFrame* RaisedFrame(QWidget* parent, const QSize& size)
{
    auto* frame = new QFrame(parent);
    frame->setFrameShape(QFrame::Panel);
    frame->setFrameShadow(QFrame::Raised);
    frame->setGeometry(QRect(QPoint(0, 0), size));
    return frame;
}

std::unique_ptr<QWidget> MakeBaselineWindow()
{
    auto window = std::make_unique<QWidget>();
    window->setFixedSize(800, 626);
    window->setFont(Tahoma(11));
    QFrame* panel = RaisedFrame(window.get(), window->size());
    (new QToolButton(panel))->setText(QStringLiteral("..."));
    for (const BaselineText& t : kBaselineTexts) {
        auto* label = new QLabel(QString::fromUtf8(t.text), panel);
        label->setFont(Tahoma(t.pixels, t.bold, t.italic));
        label->setGeometry(t.x, t.y, t.w, t.h);
    }
    for (const BaselinePicture& p : kBaselinePictures) {
        auto* picture = new QLabel(panel);
        picture->setPixmap(QPixmap(QString::fromLatin1(p.path)));
        picture->setGeometry(p.x, p.y, p.w, p.h);
    }
    RichTextLabel(u'Y', panel)->setGeometry(10, 427, 775, 32);
    (new QPlainTextEdit(QStringLiteral("Ready"), panel))->setGeometry(11, 204, 774, 214);
    (new QPushButton(QStringLiteral("Start Repair"), panel))->setGeometry(704, 138, 81, 38);
    auto* bar = new QProgressBar(panel);
    bar->setGeometry(11, 155, 680, 17);
    bar->setValue(100); // the main window starts with a full bar
    (new QLineEdit(QStringLiteral("/home/user/Documents"), panel))->setGeometry(10, 111, 746, 21);
    auto* dialog = new QDialog(window.get());
    dialog->resize(412, 83);
    dialog->setFont(Tahoma(11));
    RichTextLabel(u'y', RaisedFrame(dialog, dialog->size()))->setGeometry(11, 12, 390, 58);
    return window;
}

size_t HeapInUse()
{
    return mallinfo2().uordblks;
}

void StartToFirstFrame(benchmark::State& state, const char* name, std::unique_ptr<QWidget> (*make)())
{
    size_t heapSum = 0;
    for (auto _ : state) {
        const size_t before = HeapInUse();
        std::unique_ptr<QWidget> window = make();
        PaintFirstFrame(*window);
        heapSum += HeapInUse() - before;
        window.reset();
    }
    g_heap[name] = double(heapSum) / double(state.iterations());
    state.counters["heap_bytes"] = g_heap[name];
}

void BM_QuillonWindow(benchmark::State& s)
{
    StartToFirstFrame(s, "BM_QuillonWindow", &MakeQuillonWindow);
}
void BM_BaselineWindow(benchmark::State& s)
{
    StartToFirstFrame(s, "BM_BaselineWindow", &MakeBaselineWindow);
}

// A complete pass over a file with data, without the 101 waits: the work the pass itself does.
void BM_PassWithoutWait(benchmark::State& state)
{
    const QString source = g_dir->filePath(QStringLiteral("damaged.doc"));
    {
        QFile f(source);
        f.open(QIODevice::WriteOnly);
        f.write(QByteArray(100000, 'A') + "B");
    }
    T_mainForm form(Services());
    form.FileAdvEdit->setText(source);
    for (auto _ : state)
        form.StartBitBtnClick();
}

// The same visible work done directly on the standard controls: 101 bar positions, 10 log lines.
void BM_BaselinePassWork(benchmark::State& state)
{
    QPlainTextEdit log;
    QProgressBar bar;
    for (auto _ : state) {
        log.clear();
        for (int step = 0; step <= 100; ++step)
            bar.setValue(step);
        for (int i = 0; i < 10; ++i)
            log.appendPlainText(QStringLiteral("Start repair process ..."));
    }
}

BENCHMARK(BM_BaselineWindow)->Apply(BenchDefaults)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QuillonWindow)->Apply(BenchDefaults)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BaselinePassWork)->Apply(BenchDefaults)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PassWithoutWait)->Apply(BenchDefaults)->Unit(benchmark::kMicrosecond);

// Settings and the Documents folder in a temporary folder; prints the ratios.
class StartupSuite : public TBenchSuite {
public:
    StartupSuite()
    {
        g_dir = &dir;
        QSettings::setPath(
            QSettings::IniFormat, QSettings::UserScope, dir.filePath(QStringLiteral("config")));
        g_desktop.documents = dir.path();
    }
    ~StartupSuite() override { g_dir = nullptr; }

    void Report() override
    {
        const double ourHeap = g_heap["BM_QuillonWindow"];
        const double baseHeap = g_heap["BM_BaselineWindow"];
        std::printf("\n");
        // A later window of this process; bench/instructions.sh also counts the first window of a
        // fresh process.
        PrintRatio("start-up to first frame, against the same window in plain Qt", "BM_QuillonWindow",
            "BM_BaselineWindow", "(target <= 1.30x)");
        std::printf("heap held by the window:  %.2fx the plain Qt window (%.0f vs %.0f bytes)\n",
            baseHeap > 0 ? ourHeap / baseHeap : 0.0, ourHeap, baseHeap);
        const double pass = BenchSeconds("BM_PassWithoutWait");
        if (pass > 0) {
            std::printf("full pass without the wait: %.3f ms (target < 5 ms)\n", pass * 1000.0);
            PrintRatio(
                "full pass, against the bare control updates", "BM_PassWithoutWait", "BM_BaselinePassWork");
        }
    }

private:
    QTemporaryDir dir;
};

} // namespace

std::unique_ptr<TBenchSuite> MakeBenchSuite()
{
    // The baseline shows the window's own pictures; without them it would draw less than ours.
    for (const BaselinePicture& p : kBaselinePictures) {
        if (!QFile::exists(QString::fromLatin1(p.path))) {
            std::fprintf(stderr, "picture %s not found\n", p.path);
            return nullptr;
        }
    }
    return std::make_unique<StartupSuite>();
}
