// SPDX-License-Identifier: MIT
#include "Documents.h"

#include "Paths.h"

#include <QDir>
#include <QStandardPaths>

QString DocumentsFolder()
{
    QString path
        = QDir::toNativeSeparators(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    // A root ("/" or "C:\") keeps its separator: without it the text would name no folder.
    while (path.size() > 1 && path.endsWith(PathSeparator())
        && !(path.size() == 3 && path.at(1) == QLatin1Char(':')))
        path.chop(1);
    return path;
}
