// SPDX-License-Identifier: MIT
#include "RepairChild.h"

#include <QFileInfo>
#include <algorithm>

namespace {

constexpr qsizetype kErrorTailBytes = 2048;
constexpr int kTerminateGraceMilliseconds = 300;

} // namespace

TRepairChild::TRepairChild(const QString& program, const QStringList& arguments, const QString& source,
    const QString& output, qint64 size, const TChildLimits& limits)
    : m_output(output)
    , m_limits(limits)
{
    connect(&m_process, &QProcess::readyReadStandardOutput, this, &TRepairChild::readOutput);
    connect(&m_process, &QProcess::readyReadStandardError, this, &TRepairChild::readErrors);
    connect(&m_process, &QProcess::finished, this, &TRepairChild::finish);
    connect(&m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart && !m_ended)
            stopped(QStringLiteral("cannot start %1: %2").arg(m_process.program(), m_process.errorString()));
    });
    connect(&m_watchdog, &QTimer::timeout, this, &TRepairChild::checkWatchdog);

    m_process.setProgram(program);
    m_process.setArguments(arguments
        + QStringList { QStringLiteral("--progress"), QStringLiteral("--json"), QStringLiteral("--output"),
            output, source });
    m_process.setStandardInputFile(QProcess::nullDevice());
    ApplyChildLimits(m_process, limits, size);
    m_sinceSign.start();
    m_watchdog.start(std::clamp(limits.WatchdogMilliseconds / 4, 10, 1000));
    m_process.start();
}

TRepairChild::~TRepairChild()
{
    Stop();
}

void TRepairChild::Stop()
{
    if (m_ended || m_process.state() == QProcess::NotRunning)
        return;
    m_killReason = QStringLiteral("stopped");
    // The child removes a file it was writing when asked to end; a kill alone could leave one behind on a
    // file system where it must write under a temporary name.
    m_process.terminate();
    if (!m_process.waitForFinished(kTerminateGraceMilliseconds)) {
        m_process.kill();
        m_process.waitForFinished(-1);
    }
}

void TRepairChild::readOutput()
{
    m_pending += m_process.readAllStandardOutput();
    qsizetype start = 0;
    for (qsizetype end; (end = m_pending.indexOf('\n', start)) >= 0; start = end + 1)
        takeLine(m_pending.mid(start, end - start));
    m_pending.remove(0, start);
    if (m_pending.size() + m_reportText.size() > MaxReportBytes)
        kill(QStringLiteral("its report is too large"));
}

void TRepairChild::takeLine(const QByteArray& line)
{
    if (const std::optional<double> progress = ParseProgressLine(line)) {
        if (*progress > m_progress) {
            m_progress = *progress;
            m_sinceSign.restart();
        }
        return;
    }
    m_reportText += line;
    m_reportText += '\n';
}

void TRepairChild::readErrors()
{
    m_errorTail += m_process.readAllStandardError();
    if (m_errorTail.size() > kErrorTailBytes)
        m_errorTail = m_errorTail.right(kErrorTailBytes);
}

void TRepairChild::checkWatchdog()
{
    if (m_process.state() != QProcess::Running)
        return;
    // A child that computes is bounded by its processor-time limit; only one that is blocked is ended here.
    if (const std::optional<qint64> cpu = ProcessorTime(m_process.processId()); cpu && *cpu != m_lastCpu) {
        m_lastCpu = *cpu;
        m_sinceSign.restart();
    }
    if (m_sinceSign.elapsed() >= m_limits.WatchdogMilliseconds) {
        kill(QStringLiteral("no progress for %1 seconds")
                 .arg(QString::number(m_limits.WatchdogMilliseconds / 1000.0, 'g', 3)));
    }
}

void TRepairChild::kill(const QString& reason)
{
    if (!m_killReason.isEmpty())
        return;
    m_killReason = reason;
    m_process.kill();
}

void TRepairChild::finish(int exitCode, QProcess::ExitStatus status)
{
    if (m_ended)
        return;
    readErrors();
    m_pending += m_process.readAllStandardOutput();
    if (!m_pending.isEmpty() && m_pending.size() + m_reportText.size() <= MaxReportBytes)
        takeLine(m_pending);
    m_pending.clear();

    if (!m_killReason.isEmpty())
        return stopped(m_killReason);
    if (status == QProcess::CrashExit)
        return stopped(CrashReason(exitCode));
    std::optional<TRepairReport> report = ParseRepairReport(m_reportText.trimmed());
    m_reportText.clear();
    if (!report)
        return stopped(QStringLiteral("no report, exit status %1").arg(exitCode));

    using V = TRepairReport::Verdict;
    if (report->Outcome == V::Repaired || report->Outcome == V::Partial) {
        // A fixed file announced but not there is a failure, not a repair.
        if (!QFileInfo::exists(m_output)) {
            report->Outcome = V::Error;
            report->Messages = QStringList { QStringLiteral("the fixed file is missing") };
        } else {
            report->Output = m_output;
        }
    }
    if (report->Outcome == V::Error && report->Messages.isEmpty()) {
        const QByteArray last = m_errorTail.trimmed().split('\n').constLast();
        report->Messages << (last.isEmpty() ? QStringLiteral("exit status %1").arg(exitCode)
                                            : QString::fromLocal8Bit(last));
    }
    m_report = *report;
    m_progress = 1;
    m_ended = true;
    m_watchdog.stop();
}

void TRepairChild::stopped(const QString& reason)
{
    m_report = {};
    m_report.Outcome = TRepairReport::Verdict::Stopped;
    m_report.Reason = reason;
    m_ended = true;
    m_watchdog.stop();
}
