// SPDX-License-Identifier: MIT
#pragma once

#include "FolderDialog.h" // FolderPart, FileNamePart

#include <QDateTime>
#include <QString>

// The extension: the file name part from its last "." on (empty without a "."), so a name that starts
// with its only "." is all extension. `delimiters` ends a folder part ("\:" on Windows, "/" here).
QString ExtensionPart(const QString& path, const QString& delimiters);

// `path` with each doubled `separator` reduced to one (non-overlapping pairs, from the left).
QString ReduceDoubledSeparators(const QString& path, QChar separator);

// `path` whole when it has at most `limit` characters; otherwise its first head*100/limit and last
// tail*100/limit characters (each rounded to the nearest, halves to even) around " ... ".
QString ShortenForDisplay(const QString& path, int limit, int head, int tail);

// The proposed output beside `source`: folder, name without extension, "_r", the 14-digit stamp
// hhmmssddmmyyyy of `now` (minute before month), extension.
QString MakeFixedName(const QString& source, const QDateTime& now, const QString& delimiters);
