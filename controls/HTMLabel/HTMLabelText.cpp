// SPDX-License-Identifier: MIT
#include "HTMLabelText.h"

#include <vector>

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
    bool closes = true; // a ">" may still follow
    while (i < markup.size()) {
        if (count == visibleIndex && reached < 0)
            reached = i;
        if (closes && markup[i] == QLatin1Char('<')) {
            const qsizetype close = markup.indexOf(QLatin1Char('>'), i);
            if (close >= 0) {
                i = close + 1;
                continue;
            }
            closes = false;
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
    // Visible positions where a tag goes, in order: each match's start, then its end.
    std::vector<qsizetype> bounds;
    for (qsizetype p = visible.indexOf(needle); p >= 0; p = visible.indexOf(needle, p + needle.size())) {
        bounds.push_back(p);
        bounds.push_back(p + needle.size());
    }
    if (bounds.empty())
        return markup.toString();

    // One walk over the markup counting visible characters as MarkupIndex does: a tag goes where the
    // count first reached the visible character it precedes (so before any tags in front of it), or
    // at the end when there is no such character. Positions are those of the original markup: once
    // tags are inserted, a stray "<" would find their ">" and swallow them.
    QString result;
    result.reserve(markup.size() + qsizetype(bounds.size() / 2) * (open.size() + close.size()));
    size_t next = 0;
    qsizetype count = 0;
    qsizetype reached = 0; // where the count reached its present value
    qsizetype copied = 0;
    qsizetype i = 0;
    bool closes = true; // a ">" may still follow
    while (i < markup.size() && next < bounds.size()) {
        if (closes && markup[i] == QLatin1Char('<')) {
            const qsizetype end = markup.indexOf(QLatin1Char('>'), i);
            if (end >= 0) {
                i = end + 1;
                continue;
            }
            closes = false;
        }
        for (; next < bounds.size() && bounds[next] == count; ++next) {
            result += markup.mid(copied, reached - copied);
            result += next % 2 == 0 ? open : close;
            copied = reached;
        }
        ++count;
        reached = ++i;
    }
    result += markup.mid(copied);
    for (; next < bounds.size(); ++next)
        result += next % 2 == 0 ? open : close;
    return result;
}

QString RemoveTag(QStringView markup, QStringView tag)
{
    const QString open = QLatin1Char('<') + tag.toString() + QLatin1Char('>');
    const QString close = QLatin1String("</") + tag.toString() + QLatin1Char('>');
    // Opening tags go first and closing tags then from what is left, in one walk: a closing tag is
    // one that stands whole in the text without opening tags, after the last one removed.
    QString out;
    out.reserve(markup.size());
    qsizetype floor = 0; // closing tags start here or later
    qsizetype i = 0;
    while (i < markup.size()) {
        if (markup[i] == QLatin1Char('<') && markup.mid(i).startsWith(open, Qt::CaseInsensitive)) {
            i += open.size();
            continue;
        }
        const QChar c = markup[i++];
        out += c;
        if (c == QLatin1Char('>') && out.size() - floor >= close.size()
            && QStringView(out).endsWith(close, Qt::CaseInsensitive)) {
            out.chop(close.size());
            floor = out.size();
        }
    }
    return out;
}

} // namespace HTMLabelText
