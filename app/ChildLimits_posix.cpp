// SPDX-License-Identifier: MIT
#include "ChildLimits.h"

#include <QFile>
#include <QProcess>
#include <csignal>
#include <cstring>
#include <sys/resource.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif

void ApplyChildLimits(QProcess& process, const TChildLimits& limits, qint64 size)
{
    // Computed before the fork: the modifier runs in the child, where only async-signal-safe calls belong.
    const rlim_t address = rlim_t(limits.AddressSpace);
    const rlim_t cpu = rlim_t(CpuSeconds(limits, size));
    const rlim_t fileSize = limits.FileSize > 0 ? rlim_t(limits.FileSize) : RLIM_INFINITY;
    process.setChildProcessModifier([address, cpu, fileSize] {
        const rlimit as { address, address };
        // The soft limit sends SIGXCPU; the hard one a second later ends a child that ignores it.
        const rlimit time { cpu, cpu + 1 };
        const rlimit core { 0, 0 };
        const rlimit file { fileSize, fileSize };
        ::setrlimit(RLIMIT_AS, &as);
        ::setrlimit(RLIMIT_CPU, &time);
        ::setrlimit(RLIMIT_CORE, &core);
        if (fileSize != RLIM_INFINITY)
            ::setrlimit(RLIMIT_FSIZE, &file);
#ifdef __linux__
        // Nobody waits for the result once the window is gone.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
#endif
    });
}

std::optional<qint64> ProcessorTime(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray line = stat.readAll();
    // The command name in parentheses may hold blanks; the fields after it are plain numbers.
    const qsizetype close = line.lastIndexOf(')');
    if (close < 0)
        return std::nullopt;
    const QList<QByteArray> fields = line.mid(close + 2).split(' ');
    // utime and stime, fields 14 and 15 of the line, counted from the state (field 3) on.
    if (fields.size() < 13)
        return std::nullopt;
    const long ticks = ::sysconf(_SC_CLK_TCK);
    if (ticks <= 0)
        return std::nullopt;
    return (fields[11].toLongLong() + fields[12].toLongLong()) * 1000 / ticks;
}

QString CrashReason(int exitCode)
{
    const char* name = ::strsignal(exitCode);
    return name ? QString::fromLocal8Bit(name) : QStringLiteral("signal %1").arg(exitCode);
}
