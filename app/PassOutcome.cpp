// SPDX-License-Identifier: MIT
#include "PassOutcome.h"

namespace {

// A box text ends with a full stop; a system reason may already bring one.
QString BoxText(const QString& line)
{
    return line.endsWith(QLatin1Char('.')) ? line : line + QLatin1Char('.');
}

// A line the user must also acknowledge in an error box; no offer follows.
TPassOutcome BoxedOutcome(const QString& line)
{
    return { line, BoxText(line), true, false, QStringLiteral("Repair process finished") };
}

} // namespace

TPassOutcome RepairPassOutcome(TPassEnd end, const TPassProbe& probe)
{
    if (end != TPassEnd::Completed)
        return { {}, {}, false, false, QStringLiteral("Repair process interrupted by user") };
    // A source that could not be read is reported as such, never as an empty file.
    if (!probe.Failure.isEmpty())
        return BoxedOutcome(probe.Failure);
    if (probe.Size == 0)
        return BoxedOutcome(QStringLiteral("Your file is zero sized. No data in it and nothing to repair"));
    if (probe.Uniform)
        return BoxedOutcome(QStringLiteral("Your file is empty. No data in it and nothing to repair"));
    return { QStringLiteral("No data to recover detected"), {}, true, true,
        QStringLiteral("Repair process finished") };
}
