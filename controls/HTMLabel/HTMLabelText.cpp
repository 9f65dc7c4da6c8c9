// SPDX-License-Identifier: MIT
#include "HTMLabelText.h"

#include <QList>
#include <utility>

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
    // An empty search text would match at the same place forever.
    if (text.isEmpty())
        return markup.toString();
    const QString open = QLatin1Char('<') + tag.toString() + QLatin1Char('>');
    const QString close = QLatin1String("</") + tag.toString() + QLatin1Char('>');
    QString visible = VisibleText(markup);
    QString needle = text.toString();
    if (!matchCase) {
        visible = UpperSameLength(visible);
        needle = UpperSameLength(needle);
    }
    // Positions are taken in the original markup: once tags are inserted, a stray "<" would find
    // their ">" and swallow them.
    QList<std::pair<qsizetype, const QString*>> inserts;
    qsizetype from = 0;
    for (;;) {
        const qsizetype p = visible.indexOf(needle, from);
        if (p < 0)
            break;
        inserts.append({ MarkupIndex(markup, p), &open });
        inserts.append({ MarkupIndex(markup, p + needle.size()), &close });
        from = p + needle.size();
    }
    QString result;
    result.reserve(markup.size() + inserts.size() * close.size());
    qsizetype copied = 0;
    for (const auto& [at, insert] : inserts) {
        result += markup.mid(copied, at - copied);
        result += *insert;
        copied = at;
    }
    result += markup.mid(copied);
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
