// SPDX-License-Identifier: MIT
#include "HTMLabelText.h"

namespace HTMLabelText {

namespace {

// Upper-cases character by character so that positions stay those of the original text.
QString UpperSameLength(QStringView s)
{
    QString out(s.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < s.size(); ++i)
        out[i] = s[i].toUpper();
    return out;
}

} // namespace

QString JoinLines(const QStringList& lines)
{
    return lines.join(QLatin1Char(' '));
}

QString RemoveLineBreaks(const QStringList& lines)
{
    QString text = lines.join(QString());
    text.remove(QLatin1Char('\r'));
    text.remove(QLatin1Char('\n'));
    return text;
}

QString VisibleText(QStringView markup)
{
    QString out;
    out.reserve(markup.size());
    qsizetype i = 0;
    while (i < markup.size()) {
        if (markup[i] == QLatin1Char('<')) {
            const qsizetype close = markup.indexOf(QLatin1Char('>'), i);
            if (close < 0) {
                out += markup.mid(i);
                break;
            }
            i = close + 1;
        } else {
            out += markup[i++];
        }
    }
    return out;
}

qsizetype MarkupIndex(QStringView markup, qsizetype visibleIndex)
{
    qsizetype count = 0;
    qsizetype reached = -1; // where the count first reached visibleIndex (a tag's "<" or the character)
    qsizetype i = 0;
    while (i < markup.size()) {
        if (count == visibleIndex && reached < 0)
            reached = i;
        if (markup[i] == QLatin1Char('<')) {
            const qsizetype close = markup.indexOf(QLatin1Char('>'), i);
            if (close >= 0) {
                i = close + 1;
                continue;
            }
        }
        if (count == visibleIndex)
            return reached;
        ++count;
        ++i;
    }
    return markup.size();
}

QString WrapMatches(QStringView markup, QStringView text, QStringView tag, bool matchCase)
{
    QString result = markup.toString();
    // An empty search text would match at the same place forever.
    if (text.isEmpty())
        return result;
    const QString open = QLatin1Char('<') + tag.toString() + QLatin1Char('>');
    const QString close = QLatin1String("</") + tag.toString() + QLatin1Char('>');
    QString visible = VisibleText(markup);
    QString needle = text.toString();
    if (!matchCase) {
        visible = UpperSameLength(visible);
        needle = UpperSameLength(needle);
    }
    qsizetype from = 0;
    for (;;) {
        const qsizetype p = visible.indexOf(needle, from);
        if (p < 0)
            break;
        // The inserted tags are tags, so visible positions stay valid for the grown markup.
        result.insert(MarkupIndex(result, p), open);
        result.insert(MarkupIndex(result, p + needle.size()), close);
        from = p + needle.size();
    }
    return result;
}

QString RemoveTag(QStringView markup, QStringView tag)
{
    QString result = markup.toString();
    result.remove(QLatin1Char('<') + tag.toString() + QLatin1Char('>'), Qt::CaseInsensitive);
    result.remove(QLatin1String("</") + tag.toString() + QLatin1Char('>'), Qt::CaseInsensitive);
    return result;
}

} // namespace HTMLabelText
