// SPDX-License-Identifier: MIT
#include "HTMLabelStrings.h"

void THTMLStrings::Add(const QString& line)
{
    m_lines.append(line);
    Changed();
}

void THTMLStrings::Insert(int index, const QString& line)
{
    m_lines.insert(qBound(0, index, Count()), line);
    Changed();
}

void THTMLStrings::Delete(int index)
{
    if (index < 0 || index >= Count())
        return;
    m_lines.removeAt(index);
    Changed();
}

void THTMLStrings::Put(int index, const QString& line)
{
    if (index < 0 || index >= Count())
        return;
    m_lines[index] = line;
    Changed();
}

void THTMLStrings::Clear()
{
    if (m_lines.isEmpty())
        return;
    m_lines.clear();
    Changed();
}

void THTMLStrings::SetLines(const QStringList& lines)
{
    m_lines = lines;
    Changed();
}

QString THTMLStrings::Text() const
{
    QString text;
    for (const QString& line : m_lines) {
        text += line;
        text += QLatin1String("\r\n");
    }
    return text;
}

void THTMLStrings::SetText(const QString& text)
{
    QStringList lines;
    qsizetype start = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text[i];
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            lines.append(text.mid(start, i - start));
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
                ++i;
            start = ++i;
        } else {
            ++i;
        }
    }
    if (start < text.size())
        lines.append(text.mid(start));
    SetLines(lines);
}

void THTMLStrings::Changed()
{
    if (OnChange)
        OnChange();
}
