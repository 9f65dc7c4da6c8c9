// SPDX-License-Identifier: MIT
#include "Fonts.h"

#include <QFile>
#include <QFontDatabase>

void RegisterDesignFonts()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    for (const char* file : { "tahoma.ttf", "tahomabd.ttf", "symbol.ttf" }) {
        const QString path = QStringLiteral("/usr/share/wine/fonts/") + QLatin1String(file);
        if (QFile::exists(path))
            QFontDatabase::addApplicationFont(path);
    }
}
