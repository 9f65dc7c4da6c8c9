// SPDX-License-Identifier: MIT
#include "MarkupEngine.h"

QString MarkupToPlainText(QStringView markup)
{
    QString text = markup.toString();
    text.replace(QLatin1StringView("<BR>"), QLatin1StringView("\r\n"), Qt::CaseInsensitive);
    text.replace(QLatin1StringView("<HR>"), QLatin1StringView("\r\n"), Qt::CaseInsensitive);

    // Left to right: hidden stretches and tags go; one without its end keeps the rest unchanged.
    QString plain;
    plain.reserve(text.size());
    const QStringView all(text);
    qsizetype pos = 0;
    while (pos < all.size()) {
        const qsizetype open = all.indexOf(u'<', pos);
        if (open < 0)
            break;
        plain.append(all.mid(pos, open - pos));
        pos = open;
        const QStringView rest = all.mid(open);
        qsizetype end = -1;
        if (rest.startsWith(u"<z>")) {
            end = all.indexOf(u"</z>", open + 3);
            if (end >= 0)
                end += 4;
        } else if (rest.startsWith(u"<Z>")) {
            end = all.indexOf(u"</Z>", open + 3);
            if (end >= 0)
                end += 4;
        } else {
            end = all.indexOf(u'>', open + 1);
            if (end >= 0)
                end += 1;
        }
        if (end < 0)
            break;
        pos = end;
    }
    plain.append(all.mid(pos));
    return plain;
}
