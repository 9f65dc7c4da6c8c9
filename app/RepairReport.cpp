// SPDX-License-Identifier: MIT
#include "RepairReport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <array>
#include <utility>

namespace {

QStringList Strings(const QJsonValue& value)
{
    QStringList out;
    for (const auto& v : value.toArray())
        out << v.toString();
    return out;
}

// Counts arrive as JSON numbers (doubles); a negative or absurd one from a confused child reads as zero.
qint64 Count(const QJsonValue& value)
{
    const double d = value.toDouble();
    return d >= 0 && d < 9.0e18 ? qint64(d) : 0;
}

} // namespace

std::optional<double> ParseProgressLine(const QByteArray& line)
{
    const QJsonDocument doc = QJsonDocument::fromJson(line);
    if (!doc.isObject())
        return std::nullopt;
    const QJsonObject o = doc.object();
    const QJsonValue value = o.value(QLatin1String("progress"));
    if (o.size() != 1 || !value.isDouble())
        return std::nullopt;
    return std::clamp(value.toDouble(), 0.0, 1.0);
}

std::optional<TRepairReport> ParseRepairReport(const QByteArray& json)
{
    using V = TRepairReport::Verdict;
    static const std::array<std::pair<const char*, V>, 5> verdicts { {
        { "repaired", V::Repaired },
        { "partial", V::Partial },
        { "intact", V::Intact },
        { "unrecoverable", V::Unrecoverable },
        { "error", V::Error },
    } };
    const QJsonDocument doc = QJsonDocument::fromJson(json);
    if (!doc.isObject())
        return std::nullopt;
    const QJsonObject o = doc.object();
    TRepairReport report;
    const QString verdict = o.value(QLatin1String("verdict")).toString();
    for (const auto& [name, value] : verdicts) {
        if (verdict == QLatin1String(name))
            report.Outcome = value;
    }
    if (report.Outcome == V::None)
        return std::nullopt;
    report.Family = o.value(QLatin1String("family")).toString();
    report.Format = o.value(QLatin1String("format")).toString();
    report.PartsTotal = Count(o.value(QLatin1String("parts_total")));
    report.PartsRecovered = Count(o.value(QLatin1String("parts_recovered")));
    report.BytesRead = Count(o.value(QLatin1String("bytes_read")));
    report.BytesWritten = Count(o.value(QLatin1String("bytes_written")));
    report.Lost = Strings(o.value(QLatin1String("lost")));
    report.Messages = Strings(o.value(QLatin1String("messages")));
    return report;
}
