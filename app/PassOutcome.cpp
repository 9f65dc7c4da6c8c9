// SPDX-License-Identifier: MIT
#include "PassOutcome.h"

namespace {

using Verdict = TRepairReport::Verdict;

constexpr qsizetype kLostNamesShown = 3;
constexpr qsizetype kNameLength = 80;

const QString kFinished = QStringLiteral("Repair process finished");

// A box text ends with a full stop; a system reason may already bring one.
QString BoxText(const QString& line)
{
    return line.endsWith(QLatin1Char('.')) ? line : line + QLatin1Char('.');
}

// A line the user must also acknowledge in an error box; no offer follows.
TPassOutcome BoxedOutcome(QStringList lines, const QString& line)
{
    lines << line;
    return { lines, BoxText(line), true, false, kFinished };
}

// Names come from inside a damaged file: a line break or control character in one must not break the
// log into false lines, and a very long one must not fill it.
QString Printable(const QString& text)
{
    QString out;
    for (const QChar c : text) {
        const QChar::Category category = c.category();
        const bool breaks = category == QChar::Other_Control || category == QChar::Separator_Line
            || category == QChar::Separator_Paragraph;
        out += breaks ? QChar(QChar::ReplacementCharacter) : c;
    }
    if (out.size() > kNameLength)
        out = out.left(kNameLength - 3) + QStringLiteral("...");
    return out;
}

QString Size(qint64 bytes)
{
    if (bytes < 1024)
        return QStringLiteral("%1 bytes").arg(bytes);
    const char* units[] = { "KB", "MB", "GB", "TB" };
    double value = bytes / 1024.0;
    int unit = 0;
    for (; value >= 1024 && unit < 3; ++unit)
        value /= 1024;
    return QStringLiteral("%1 %2").arg(QString::number(value, 'f', 1), QLatin1String(units[unit]));
}

QString Recovered(const TRepairReport& r)
{
    return QStringLiteral("Recovered %1 of %2 parts, %3")
        .arg(r.PartsRecovered)
        .arg(r.PartsTotal)
        .arg(Size(r.BytesWritten));
}

QString Lost(const TRepairReport& r)
{
    if (r.Lost.isEmpty()) {
        const qint64 missing = r.PartsTotal - r.PartsRecovered;
        return missing > 0 ? QStringLiteral("Lost: %1 parts").arg(missing)
                           : QStringLiteral("Lost: part of the content");
    }
    QStringList names;
    for (qsizetype i = 0; i < r.Lost.size() && i < kLostNamesShown; ++i)
        names << Printable(r.Lost[i]);
    QString line = QStringLiteral("Lost: ") + names.join(QStringLiteral(", "));
    if (r.Lost.size() > kLostNamesShown)
        line += QStringLiteral(" and %1 more").arg(r.Lost.size() - kLostNamesShown);
    return line;
}

// What a sound file of the engine's family and format is called, as the file chooser's filters name them.
QString KindName(const TRepairReport& r)
{
    const QString format = Printable(r.Format).toUpper();
    const auto withFormat = [&](const char* noun) {
        return format.isEmpty() ? QLatin1String(noun) : format + QLatin1Char(' ') + QLatin1String(noun);
    };
    if (r.Family == QLatin1String("word"))
        return QStringLiteral("Word document");
    if (r.Family == QLatin1String("excel"))
        return QStringLiteral("Excel spreadsheet");
    if (r.Family == QLatin1String("powerpoint"))
        return QStringLiteral("PowerPoint presentation");
    if (r.Family == QLatin1String("access"))
        return QStringLiteral("Access database");
    if (r.Family == QLatin1String("pdf"))
        return QStringLiteral("PDF document");
    if (r.Family == QLatin1String("archive"))
        return withFormat("archive");
    if (r.Family == QLatin1String("image"))
        return withFormat("image");
    if (r.Family == QLatin1String("video"))
        return withFormat("video");
    if (r.Family == QLatin1String("music"))
        return withFormat("music file");
    return withFormat("file");
}

} // namespace

TPassOutcome RepairPassOutcome(TPassEnd end, const TPassProbe& probe, const TRepairReport& engine)
{
    if (end != TPassEnd::Completed)
        return { {}, {}, false, false, QStringLiteral("Repair process interrupted by user") };
    // A fixed file written is reported even when the source has become unreadable since the engine read it.
    const bool written = engine.Outcome == Verdict::Repaired || engine.Outcome == Verdict::Partial;
    if (written) {
        const bool partial = engine.Outcome == Verdict::Partial;
        QStringList lines { QStringLiteral("Pass 2: Writing the fixed file..."), Recovered(engine) };
        if (partial)
            lines << Lost(engine);
        lines << QStringLiteral("Fixed file saved: ") + engine.Output;
        return { lines, {}, true, partial, kFinished };
    }
    // A source that could not be read is reported as such, never as an empty file.
    if (!probe.Failure.isEmpty())
        return BoxedOutcome({}, probe.Failure);
    if (probe.Size == 0)
        return BoxedOutcome(
            {}, QStringLiteral("Your file is zero sized. No data in it and nothing to repair"));

    const QString noData = QStringLiteral("No data to recover detected");
    QStringList lines;
    switch (engine.Outcome) {
    case Verdict::Repaired:
    case Verdict::Partial:
        break;
    case Verdict::Intact:
        lines << noData << QStringLiteral("No damage found: the file is a sound ") + KindName(engine);
        return { lines, {}, true, true, kFinished };
    case Verdict::Stopped:
        lines << QStringLiteral("The repair engine stopped on this file (%1)").arg(Printable(engine.Reason));
        break;
    case Verdict::Error:
        // The engine could not do its work (a full disk, a fixed file already there): nothing says the file
        // holds no data, so neither line nor box claims it; the offer stands.
        lines << QStringLiteral("Repair failed: ") + Printable(engine.Messages.value(0));
        return { lines, {}, true, true, kFinished };
    case Verdict::Unrecoverable:
    case Verdict::None:
        break;
    }
    if (probe.Uniform)
        return BoxedOutcome(lines, QStringLiteral("Your file is empty. No data in it and nothing to repair"));
    lines << noData;
    return { lines, {}, true, true, kFinished };
}
