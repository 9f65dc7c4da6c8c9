// SPDX-License-Identifier: MIT
#include "RepairChild.h"
#include "ChildEngine.h"
#include "TempDir.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

using V = TRepairReport::Verdict;

// A stand-in for the engine's command line: a shell script that gets the engine's arguments
// ($1 --progress, $2 --json, $3 --output, $4 the fixed file, $5 the source).
TChildEngine StandIn(const char* script, TChildLimits limits = {})
{
    limits.WatchdogMilliseconds = std::min(limits.WatchdogMilliseconds, 400);
    return TChildEngine(
        QStringLiteral("/bin/sh"), { QStringLiteral("-c"), QString::fromUtf8(script), "standin" }, limits);
}

TRepairReport RunToEnd(TRepairEngine& engine, const QString& output, qint64 size = 1000)
{
    const std::unique_ptr<TRepairRun> run = engine.Start(QStringLiteral("/nonexistent/source"), output, size);
    EXPECT_TRUE(QTest::qWaitFor([&] { return run->Ended(); }, 30000));
    return run->Report();
}

struct ChildCase {
    const char* name;
    const char* script;
    V verdict;
    QString detail; // the start of the reason (Stopped) or of the first message
};

TEST(RepairChild, EachWayAChildEnds)
{
    const ChildCase cases[] = {
        { "crash", "echo '{\"progress\":0.1}'; kill -SEGV $$", V::Stopped,
            QStringLiteral("Segmentation fault") },
        { "hang, not computing", "exec sleep 30", V::Stopped, QStringLiteral("no progress for 0.4 seconds") },
        { "output that is no report", "echo not json", V::Stopped,
            QStringLiteral("no report, exit status 0") },
        { "usage error", "echo 'usage: quillon-repair' >&2; exit 64", V::Stopped,
            QStringLiteral("no report, exit status 64") },
        { "repaired, file written",
            R"(echo '{"progress":0.5}'; : > "$4"; printf '{"verdict":\n"repaired"}\n'; exit 0)", V::Repaired,
            {} },
        { "repaired, nothing written", R"(echo '{"verdict":"repaired"}')", V::Error,
            QStringLiteral("the fixed file is missing") },
        { "error, its reason on standard error",
            R"(echo 'cannot write: No space left on device' >&2; echo '{"verdict":"error","messages":[]}'; exit 4)",
            V::Error, QStringLiteral("cannot write: No space left on device") },
        { "file-size limit", R"(exec head -c 3000000 /dev/zero > "$4")", V::Stopped,
            QStringLiteral("File size limit exceeded") },
    };
    for (const ChildCase& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        TChildLimits limits;
        limits.FileSize = 1 << 20;
        TChildEngine engine = StandIn(c.script, limits);
        const QString output = dir.file(QStringLiteral("fixed.docx"));
        const TRepairReport r = RunToEnd(engine, output);
        EXPECT_EQ(r.Outcome, c.verdict);
        const QString detail = c.verdict == V::Stopped ? r.Reason : r.Messages.value(0);
        EXPECT_TRUE(detail.startsWith(c.detail)) << detail.toStdString();
        EXPECT_EQ(r.Output, c.verdict == V::Repaired ? output : QString());
    }

    TChildEngine missing(QStringLiteral("/nonexistent/quillon-repair"));
    const TRepairReport r = RunToEnd(missing, QStringLiteral("/tmp/x"));
    EXPECT_EQ(r.Outcome, V::Stopped);
    EXPECT_TRUE(r.Reason.startsWith(QStringLiteral("cannot start /nonexistent/quillon-repair")))
        << r.Reason.toStdString();
}

TEST(RepairChild, LimitsAreSetInTheChild)
{
    TChildEngine engine = StandIn(R"sh(printf '{"verdict":"unrecoverable","messages":["%s","%s","%s"]}\n' )sh"
                                  R"sh("$(ulimit -t)" "$(ulimit -v)" "$(ulimit -c)")sh");
    const TRepairReport r = RunToEnd(engine, QStringLiteral("/tmp/x"), qint64(100) * 1000 * 1000);
    // 30 seconds and one more per 20 MB; 2 GiB of address space in KiB; no core file.
    EXPECT_EQ(r.Messages, QStringList({ "35", "2097152", "0" }));
}

TEST(RepairChild, ProcessorTimeLimitEndsAComputingChild)
{
    TChildLimits limits;
    limits.CpuSecondsBase = 1;
    TChildEngine engine = StandIn("while :; do :; done", limits);
    const TRepairReport r = RunToEnd(engine, QStringLiteral("/tmp/x"));
    EXPECT_EQ(r.Outcome, V::Stopped);
    // Computing without progress lines is no hang: the watchdog leaves it to the limit.
    EXPECT_EQ(r.Reason, QStringLiteral("CPU time limit exceeded"));
}

} // namespace
