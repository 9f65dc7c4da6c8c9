// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

// What the repair engine answered about a file, as the pass uses it.
struct TRepairReport {
    enum class Verdict {
        None, // no engine ran (a zero-size file, or none wired)
        Repaired, // fixed file written, everything recovered
        Partial, // fixed file written, part lost
        Intact, // no damage found, nothing written
        Unrecoverable, // nothing recoverable, or a kind the engine does not know; nothing written
        Error, // the engine could not do its work (Messages say why); nothing written
        Stopped, // the engine crashed, hung, was killed by a limit or could not start (Reason says which)
    };
    Verdict Outcome = Verdict::None;
    QString Family; // word, excel, archive, video, image, pdf, access, powerpoint, music; empty when unknown
    QString Format; // zip, docx, ...
    QString Output; // the fixed file's path when one was written
    qint64 PartsTotal = 0;
    qint64 PartsRecovered = 0;
    qint64 BytesRead = 0;
    qint64 BytesWritten = 0;
    QStringList Lost; // names or ranges
    QStringList Messages;
    QString Reason; // why the engine stopped; only for Stopped
};

// The fraction done of a progress line `{"progress": F}`, clamped to 0..1; nullopt for any other line.
std::optional<double> ParseProgressLine(const QByteArray& line);

// The engine's final JSON object; nullopt when it is not one or names no known verdict. Output is left
// empty: the caller knows where it asked the file to be written.
std::optional<TRepairReport> ParseRepairReport(const QByteArray& json);
