// SPDX-License-Identifier: MIT
#include "MarkupEngine.h"

namespace {

// Removes every `open` ... `close` stretch (exact case, tags included); an `open` without its
// `close` keeps the rest as it is.
void RemoveEnclosed(QString& text, QStringView open, QStringView close)
{
    qsizetype from = 0;
    for (;;) {
        const qsizetype start = text.indexOf(open, from);
        if (start < 0)
            return;
        const qsizetype end = text.indexOf(close, start + open.size());
        if (end < 0)
            return;
        text.remove(start, end + close.size() - start);
        from = start;
    }
}

} // namespace

QString MarkupToPlainText(QStringView markup)
{
    QString text = markup.toString();
    text.replace(QLatin1StringView("<BR>"), QLatin1StringView("\r\n"), Qt::CaseInsensitive);
    text.replace(QLatin1StringView("<HR>"), QLatin1StringView("\r\n"), Qt::CaseInsensitive);
    RemoveEnclosed(text, u"<z>", u"</z>");
    RemoveEnclosed(text, u"<Z>", u"</Z>");

    QString plain;
    plain.reserve(text.size());
    qsizetype pos = 0;
    while (pos < text.size()) {
        const qsizetype open = text.indexOf(u'<', pos);
        if (open < 0)
            break;
        const qsizetype close = text.indexOf(u'>', open + 1);
        if (close < 0)
            break;
        plain.append(QStringView(text).mid(pos, open - pos));
        pos = close + 1;
    }
    plain.append(QStringView(text).mid(pos));
    return plain;
}
