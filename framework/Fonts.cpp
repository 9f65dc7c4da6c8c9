// SPDX-License-Identifier: MIT
#include "Fonts.h"

#include "FontFiles.h"
#include "Paths.h"

#include <QDebug>
#include <QFontDatabase>
#include <fstream>

namespace {

// Read by the program itself so that a folder whose name is not UTF-8 still works.
QByteArray ReadFontFile(const QString& path)
{
    std::ifstream in(EncodePath(path).toStdString(), std::ios::binary | std::ios::ate);
    const std::streamoff size = in ? std::streamoff(in.tellg()) : -1;
    if (size <= 0)
        return {};
    QByteArray data(qsizetype(size), Qt::Uninitialized);
    in.seekg(0);
    in.read(data.data(), size);
    return in ? data : QByteArray();
}

} // namespace

void RegisterDesignFonts()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    TFontLookup lookup(WineFontFolders());
    for (const QString& family : { QStringLiteral("Tahoma"), QStringLiteral("Symbol") }) {
        const QStringList files = lookup.Files(family);
        int registered = 0;
        for (const QString& file : files) {
            if (QFontDatabase::addApplicationFontFromData(ReadFontFile(file)) >= 0)
                ++registered;
        }
        if (registered == 0) {
            qInfo().noquote() << QStringLiteral("Font %1 not found (package fonts-wine); a similar font is "
                                                "used instead, so texts may not fit exactly.")
                                     .arg(family);
        }
    }
}
