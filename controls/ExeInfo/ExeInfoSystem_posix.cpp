// SPDX-License-Identifier: MIT
#include "ExeInfoSystem.h"

#include <QDir>
#include <QSysInfo>

#include <unistd.h>

namespace ExeInfoSystem {

QString computerName()
{
    char buf[256] = {};
    if (gethostname(buf, sizeof buf - 1) != 0)
        return {};
    return QString::fromLocal8Bit(buf).left(15);
}

bool setComputerName(const QString& name)
{
    if (name.size() > 15)
        return false;
    const QByteArray bytes = name.toLocal8Bit();
    return sethostname(bytes.constData(), size_t(bytes.size())) == 0;
}

QString operatingSystemName()
{
    return QSysInfo::prettyProductName();
}
QString windowsDirectory()
{
    return {};
}
QString systemDirectory()
{
    return {};
}

std::uint16_t userInterfaceLanguage()
{
    // The messages language first, as the system orders it.
    const QStringList languages = QLocale::system().uiLanguages();
    return WindowsLanguageId(languages.isEmpty() ? QLocale::system() : QLocale(languages.first()));
}

QString tempDirectory()
{
    QString path = QDir::tempPath();
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path;
}

} // namespace ExeInfoSystem
