// SPDX-License-Identifier: MIT
#pragma once

#include "ChildLimits.h"
#include "Services.h"

#include <QElapsedTimer>
#include <QObject>
#include <QProcess>
#include <QTimer>

// One run of the engine's command line as a child process:
// `program [arguments] --progress --json --output OUTPUT SOURCE`, under limits and a watchdog. Its
// progress lines and final report are read as they come, while the caller processes events. A child
// that crashes, is killed by a limit, hangs, gives no report or cannot start ends the run as Stopped,
// with the reason.
class TRepairChild final : public QObject, public TRepairRun {
public:
    TRepairChild(const QString& program, const QStringList& arguments, const QString& source,
        const QString& output, qint64 size, const TChildLimits& limits);
    ~TRepairChild() override;

    double Progress() const override { return m_progress; }
    bool Ended() const override { return m_ended; }
    TRepairReport Report() const override { return m_report; }
    // Asks the child to end (it then removes what it was writing), and kills it if it has not within a
    // moment. Returns once it has ended.
    void Stop() override;

    // The child's process id while it runs; 0 otherwise.
    qint64 ProcessId() const { return m_process.processId(); }

    // A report larger than this is not read: the child is ended.
    static constexpr qsizetype MaxReportBytes = 32 << 20;

private:
    void readOutput();
    void takeLine(const QByteArray& line);
    void readErrors();
    void checkWatchdog();
    void kill(const QString& reason);
    void finish(int exitCode, QProcess::ExitStatus status);
    void stopped(const QString& reason);

    QProcess m_process;
    QString m_output;
    TChildLimits m_limits;
    QByteArray m_pending; // output after the last line end
    QByteArray m_reportText; // every line that is not a progress line: the final JSON object
    QByteArray m_errorTail; // the end of what the child wrote to standard error
    double m_progress = 0;
    bool m_ended = false;
    TRepairReport m_report;
    QString m_killReason; // why the window ended the child; empty when it did not
    QTimer m_watchdog;
    QElapsedTimer m_sinceSign; // since the child last showed it is alive
    qint64 m_lastCpu = -1;
};
