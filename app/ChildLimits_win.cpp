// SPDX-License-Identifier: MIT
#include "ChildLimits.h"

#include <QProcess>

// The engine's command line is built for POSIX systems only so far: a Windows child runs without
// limits until a job object gives it its own.
void ApplyChildLimits(QProcess&, const TChildLimits&, qint64) { }

std::optional<qint64> ProcessorTime(qint64)
{
    return std::nullopt;
}

QString CrashReason(int exitCode)
{
    return QStringLiteral("exception 0x%1").arg(uint(exitCode), 8, 16, QLatin1Char('0'));
}
