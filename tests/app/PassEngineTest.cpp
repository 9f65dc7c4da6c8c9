// SPDX-License-Identifier: MIT
#include "ChildEngine.h"
#include "Fakes.h"
#include "Pump.h"
#include "RepairChild.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <csignal>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

const QString kSeparator(123, QLatin1Char('-'));
const QString kNoData = QStringLiteral("No data to recover detected");
const QString kFinished = QStringLiteral("Repair process finished");
const QString kInterrupted = QStringLiteral("Repair process interrupted by user");

// The engine the window is given, keeping the run under way so that a test can look at it.
class RecordingEngine : public TRepairEngine {
public:
    std::unique_ptr<TChildEngine> inner;
    TRepairChild* run = nullptr; // valid while the pass runs
    qint64 pid = 0;
    std::unique_ptr<TRepairRun> Start(const QString& source, const QString& output, qint64 size) override
    {
        std::unique_ptr<TRepairRun> started = inner->Start(source, output, size);
        run = static_cast<TRepairChild*>(started.get());
        pid = run->ProcessId();
        return started;
    }
};

// The window with the engine's command line played by a shell script ($4 the fixed file, $5 the source).
class PassEngineTest : public ::testing::Test {
protected:
    T_mainForm& form() { return box.form(); }
    QString start(const char* script, const QByteArray& content = QByteArray("PK\3\4 cut short"))
    {
        TChildLimits limits;
        limits.WatchdogMilliseconds = 400;
        engine.inner = std::make_unique<TChildEngine>(QStringLiteral("/bin/sh"),
            QStringList { QStringLiteral("-c"), QString::fromUtf8(script), QStringLiteral("standin") },
            limits);
        box.engine = &engine;
        box.start();
        QString source = box.files.write(QStringLiteral("report.docx"), content);
        box.choose(source);
        // A short real wait per step, so that the child gets on meanwhile.
        box.waiter.onStep = [](int) { ::WaitAndPump(2); };
        return source;
    }
    QStringList outcome() const { return box.log().mid(7); }

    Sandbox box;
    RecordingEngine engine;
};

bool Gone(qint64 pid)
{
    return pid > 0 && ::kill(pid_t(pid), 0) == -1;
}

struct VerdictCase {
    const char* name;
    const char* script;
    QByteArray content;
    QStringList lines; // after the header, before the separator; %1 is the fixed-file path
    bool offer;
    bool box;
    bool written;
};

TEST_F(PassEngineTest, OutcomeLinesByWhatTheChildAnswers)
{
    const QString empty = QStringLiteral("Your file is empty. No data in it and nothing to repair");
    const QByteArray data("PK\3\4 cut short");
    const QByteArray zeroHead = QByteArray(40960, '\0') + data;
    const VerdictCase cases[] = {
        { "repaired",
            R"(: > "$4"; echo '{"verdict":"repaired","parts_total":3,"parts_recovered":3,"bytes_written":2048}')",
            data,
            { QStringLiteral("Pass 2: Writing the fixed file..."),
                QStringLiteral("Recovered 3 of 3 parts, 2.0 KB"), QStringLiteral("Fixed file saved: %1") },
            false, false, true },
        { "partial, nothing written", R"(echo '{"verdict":"partial"}'; exit 1)", data,
            { QStringLiteral("Repair failed: the fixed file is missing") }, true, false, false },
        { "intact", R"(echo '{"verdict":"intact","family":"word","format":"docx"}'; exit 2)", data,
            { kNoData, QStringLiteral("No damage found: the file is a sound Word document") }, true, false,
            false },
        { "unrecoverable", R"(echo '{"verdict":"unrecoverable"}'; exit 3)", data, { kNoData }, true, false,
            false },
        { "error", R"(echo '{"verdict":"error","messages":["disk full"]}'; exit 4)", data,
            { QStringLiteral("Repair failed: disk full") }, true, false, false },
        { "crash", "kill -SEGV $$", data,
            { QStringLiteral("The repair engine stopped on this file (Segmentation fault)"), kNoData }, true,
            false, false },
        { "hang", "exec sleep 30", data,
            { QStringLiteral("The repair engine stopped on this file (no progress for 0.4 seconds)"),
                kNoData },
            true, false, false },
        { "head of one value, recovered: it goes to the engine too",
            R"(: > "$4"; echo '{"verdict":"repaired","parts_total":1,"parts_recovered":1,"bytes_written":10}')",
            zeroHead,
            { QStringLiteral("Pass 2: Writing the fixed file..."),
                QStringLiteral("Recovered 1 of 1 parts, 10 bytes"), QStringLiteral("Fixed file saved: %1") },
            false, false, true },
        { "zero size: no engine", "kill -SEGV $$", QByteArray(),
            { QStringLiteral("Your file is zero sized. No data in it and nothing to repair") }, false, true,
            false },
        { "head of one value, nothing recovered", R"(echo '{"verdict":"unrecoverable"}'; exit 3)", zeroHead,
            { empty }, false, true, false },
    };
    for (const VerdictCase& c : cases) {
        SCOPED_TRACE(c.name);
        box.dialogs.modalShown = 0;
        box.dialogs.errorBoxes.clear();
        start(c.script, c.content);
        form().StartBitBtnClick();
        QStringList expected;
        for (const QString& line : c.lines)
            expected << (line.contains(QLatin1String("%1")) ? line.arg(form().FixedFile) : line);
        expected << kSeparator << kFinished;
        EXPECT_EQ(outcome(), expected);
        EXPECT_EQ(box.dialogs.modalShown, c.offer ? 1 : 0);
        EXPECT_EQ(box.dialogs.errorBoxes.size(), c.box ? 1 : 0);
        EXPECT_EQ(QFile::exists(form().FixedFile), c.written);
        if (!c.content.isEmpty()) {
            EXPECT_TRUE(Gone(engine.pid));
        }
        EXPECT_EQ(form().AdvProgress->value(), 100);
        QFile::remove(form().FixedFile);
    }
}

TEST_F(PassEngineTest, BarNeverRunsAheadOfASlowChild)
{
    start(R"(for p in 0.1 0.2 0.3 0.4 0.5 0.6 0.7 0.8 0.9; do echo "{\"progress\":$p}"; sleep 0.2; done; )"
          R"(: > "$4"; echo '{"verdict":"repaired","parts_total":1,"parts_recovered":1}')");
    int previous = 0;
    int steps = 0;
    box.waiter.onStep = [&](int step) {
        const int bar = form().AdvProgress->value();
        const int reported = engine.run->Ended() ? 100 : int(engine.run->Progress() * 100);
        EXPECT_LE(bar, reported) << step;
        EXPECT_LE(bar, step) << step; // never faster than the paced steps
        EXPECT_GE(bar, previous) << step;
        previous = bar;
        steps = step + 1;
        ::WaitAndPump(2);
    };
    form().StartBitBtnClick();
    EXPECT_GT(steps, 101); // the pass lasted as long as the child's work
    EXPECT_EQ(previous, 100);
    EXPECT_EQ(outcome().value(2), QStringLiteral("Fixed file saved: ") + form().FixedFile);
}

TEST_F(PassEngineTest, StopEndsTheChildAndLeavesNoFile)
{
    // A child that has its fixed file in place and is still writing beside it when the user stops.
    start(R"(trap 'rm -f "$4.part"; exit 1' TERM; : > "$4.part"; : > "$4"; )"
          R"(echo '{"progress":0.3}'; while :; do sleep 0.05; done)");
    QElapsedTimer sinceClick;
    box.waiter.onStep = [&](int) {
        if (engine.run->Progress() > 0 && !sinceClick.isValid()) {
            sinceClick.start();
            QMetaObject::invokeMethod(form().StartBitBtn, &QPushButton::click, Qt::QueuedConnection);
        }
        ::WaitAndPump(2);
    };
    form().StartBitBtnClick();
    EXPECT_LT(sinceClick.elapsed(), 1000); // at once, though the child takes its moment to clean up
    EXPECT_EQ(box.log().constLast(), kInterrupted);
    EXPECT_TRUE(Gone(engine.pid));
    EXPECT_FALSE(QFile::exists(form().FixedFile));
    EXPECT_FALSE(QFile::exists(form().FixedFile + QStringLiteral(".part")));
    EXPECT_EQ(box.dialogs.modalShown, 0);
}

TEST_F(PassEngineTest, ClosingTheWindowEndsTheChild)
{
    start("echo '{\"progress\":0.1}'; exec sleep 30");
    form().show();
    box.waiter.onStep = [&](int step) {
        if (step == 10)
            form().close();
        ::WaitAndPump(2);
    };
    form().StartBitBtnClick();
    EXPECT_TRUE(Gone(engine.pid));
    EXPECT_EQ(box.dialogs.modalShown, 0);
}

// The window with the engine's real command line, once it is built beside the tests.
class RealChildTest : public ::testing::Test {
protected:
    void SetUp() override
    {
#ifdef QUILLON_REPAIR_PROGRAM
        engine
            = std::make_unique<TChildEngine>(QStringLiteral(QUILLON_REPAIR_PROGRAM), QStringList {}, limits);
#endif
        if (!engine)
            GTEST_SKIP() << "the engine's command line is not built";
        box.engine = engine.get();
        box.start();
    }
    T_mainForm& form()
    {
        return box.form();
    }
    // A fixture of the engine's tests; empty when it is missing.
    static QByteArray Fixture(const QString& name)
    {
        QFile f(QStringLiteral(QUILLON_REPAIR_FIXTURES "/") + name);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // Runs a pass on a source holding `content`, the fixed file going to `folder` (empty: beside it).
    QStringList runOn(const QString& name, const QByteArray& content, const QString& folder = {})
    {
        const QString source = box.files.write(name, content);
        box.choose(source);
        if (!folder.isEmpty())
            form().show_fixed_file(folder + QLatin1Char('/') + QFileInfo(form().FixedFile).fileName());
        box.waiter.onStep = [](int) { ::WaitAndPump(2); };
        form().StartBitBtnClick();
        QFile f(source);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), content); // the source is never modified
        return box.log().mid(7);
    }

    Sandbox box;
    TChildLimits limits;
    std::unique_ptr<TChildEngine> engine;
};

TEST_F(RealChildTest, RepairsADocxCutBeforeItsCentralDirectory)
{
    const QByteArray docx = Fixture(QStringLiteral("ooxml/text.docx"));
    ASSERT_FALSE(docx.isEmpty());
    const qsizetype directory = docx.indexOf(QByteArray("PK\1\2"));
    ASSERT_GT(directory, 0);
    const QStringList lines = runOn(QStringLiteral("letter.docx"), docx.left(directory));
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(lines[0], QStringLiteral("Pass 2: Writing the fixed file..."));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("Recovered "))) << lines[1].toStdString();
    EXPECT_EQ(lines[2], QStringLiteral("Fixed file saved: ") + form().FixedFile);
    EXPECT_EQ(lines.constLast(), kFinished);
    EXPECT_EQ(box.dialogs.modalShown, 0);
    QFile fixed(form().FixedFile);
    ASSERT_TRUE(fixed.open(QIODevice::ReadOnly));
    EXPECT_TRUE(fixed.readAll().contains(QByteArray("PK\5\6"))); // a whole archive again
    // The picture of the log for the documentation, when asked for.
    if (const QByteArray png = qgetenv("QUILLON_REPAIR_LOG_PNG"); !png.isEmpty()) {
        EXPECT_TRUE(form().LogMemo->grab().save(QString::fromLocal8Bit(png)));
    }
}

TEST_F(RealChildTest, NothingWrittenWhereNothingMay)
{
    const QByteArray zip = Fixture(QStringLiteral("zip/infozip.zip"));
    ASSERT_FALSE(zip.isEmpty());
    const QByteArray cut = zip.left(zip.indexOf(QByteArray("PK\1\2")));
    // Where the fixed file cannot go, as root too: a folder of the process file system.
    const TempDir readOnly;
    ASSERT_TRUE(QFile::setPermissions(readOnly.path(), QFile::ReadOwner | QFile::ExeOwner));
    const QString unwritable = ::geteuid() == 0 ? QStringLiteral("/proc") : readOnly.path();

    const struct {
        const char* name;
        QByteArray content;
        QString folder; // empty: beside the source
        qint64 fileSizeLimit;
        QString firstLine; // its start
        QString secondLine;
    } cases[] = {
        { "intact zip", zip, {}, 0, kNoData,
            QStringLiteral("No damage found: the file is a sound ZIP archive") },
        { "disk full", cut, {}, 200, QStringLiteral("Repair failed: cannot write "), kSeparator },
        { "folder not writable", cut, unwritable, 0, QStringLiteral("Repair failed: "), kSeparator },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        engine->Limits.FileSize = c.fileSizeLimit;
        box.dialogs.modalShown = 0;
        const QStringList lines = runOn(QStringLiteral("a.zip"), c.content, c.folder);
        ASSERT_FALSE(lines.isEmpty());
        EXPECT_TRUE(lines[0].startsWith(c.firstLine)) << lines[0].toStdString();
        EXPECT_EQ(lines.value(1), c.secondLine);
        EXPECT_EQ(box.dialogs.modalShown, 1);
        EXPECT_EQ(QDir(box.files.path()).entryList(QDir::Files | QDir::Hidden), QStringList { "a.zip" });
        EXPECT_FALSE(QFileInfo::exists(form().FixedFile));
    }
}

} // namespace
