// SPDX-License-Identifier: MIT
#include "Shell.h"

#include "Paths.h"

#include <QDesktopServices>
#include <QUrl>

QUrl ShellTargetUrl(const QString& target)
{
    if (target.startsWith(QLatin1String("mailto:"), Qt::CaseInsensitive)
        || target.contains(QLatin1String("://")))
        return QUrl(target);
    if (target.startsWith(QLatin1String("www."), Qt::CaseInsensitive))
        return QUrl(QStringLiteral("http://") + target);
    return LocalFileUrl(target);
}

void ShellOpen(const QString& target)
{
    QDesktopServices::openUrl(ShellTargetUrl(target));
}
