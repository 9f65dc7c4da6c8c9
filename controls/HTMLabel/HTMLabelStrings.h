// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// The label's markup lines: a string list that reports every change through OnChange.
class THTMLStrings {
public:
    int Count() const { return int(m_lines.size()); }
    const QString& Strings(int index) const { return m_lines.at(index); }
    const QStringList& Lines() const { return m_lines; }

    void Add(const QString& line);
    void Insert(int index, const QString& line);
    void Delete(int index);
    void Put(int index, const QString& line);
    void Clear();
    // Replaces all lines as they are.
    void SetLines(const QStringList& lines);

    // Every line followed by CR LF.
    QString Text() const;
    // Lines split at CR LF, CR or LF; a final line break does not start another line.
    void SetText(const QString& text);

    std::function<void()> OnChange;

private:
    void Changed();
    QStringList m_lines;
};
