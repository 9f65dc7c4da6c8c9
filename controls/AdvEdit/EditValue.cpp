// SPDX-License-Identifier: MIT
#include "EditValue.h"

namespace EditValue {

QString ValueOf(const QString& controlText, const QString& prefix, const QString& suffix)
{
    QString v = controlText;
    if (!prefix.isEmpty() && v.startsWith(prefix))
        v.remove(0, prefix.size());
    if (!suffix.isEmpty())
        v.chop(qMin<qsizetype>(suffix.size(), v.size()));
    return v;
}

bool IsUrlText(const QString& value)
{
    return value.contains(QLatin1String("://")) || value.indexOf(QLatin1Char('@')) > 0
        || value.toLower().startsWith(QLatin1String("www."));
}

QString AfterBackspace(const QString& value, int prefixLen, int selStart, int selLength)
{
    const int pos = selStart - prefixLen; // 1-based
    if (pos < 1)
        return value;
    QString r = value;
    r.remove(pos - 1, selLength > 0 ? selLength : 1);
    return r;
}

Selection SelectAllRange(const QString& value, int prefixLen, bool showUrl)
{
    Selection s { prefixLen, int(value.size()) };
    if (showUrl) {
        if (const int p = int(value.indexOf(QLatin1String("://"))); p >= 0)
            s.start = prefixLen + p + 1 + 2;
        else if (const int m = int(value.indexOf(QLatin1String("mailto:"))); m >= 0)
            s.start = prefixLen + m + 1 + 6;
    }
    return s;
}

QRect TextRect(const QRect& client, bool inset, bool ctl3D, int fontPoints, int indentL, int indentR)
{
    const int m = ctl3D ? 0 : fontPoints / 3;
    // right/bottom exclusive, as the client rectangle's edges
    const int cr = client.x() + client.width();
    const int cb = client.y() + client.height();
    int l, t, r, b;
    if (!inset) {
        l = indentL + m;
        t = 0;
        r = cr - indentR - m;
        b = cb;
    } else {
        l = m + 4 + indentL;
        t = 3;
        r = cr - 4 - indentR - m;
        b = cb - 4;
    }
    return QRect(QPoint(l, t), QPoint(r - 1, b - 1));
}

QString ShellTarget(const QString& value)
{
    if (value.contains(QLatin1String("://"))
        || value.startsWith(QLatin1String("mailto:"), Qt::CaseInsensitive))
        return value;
    if (value.toLower().startsWith(QLatin1String("www.")))
        return QStringLiteral("http://") + value;
    if (value.indexOf(QLatin1Char('@')) > 0 && !value.contains(QLatin1Char('/'))
        && !value.contains(QLatin1Char('\\')))
        return QStringLiteral("mailto:") + value;
    return value;
}

} // namespace EditValue
