// SPDX-License-Identifier: MIT
#include "RangeList.h"
#include "TypedText.h"

#include <QDebug>
#include <algorithm>

bool TRangeList::Add(std::int32_t value)
{
    if (m_items.size() >= kMaxCount || !m_set.insert(value).second)
        return false;
    m_items.push_back(value);
    return true;
}

bool TRangeList::AddMultiple(std::int32_t value, std::int64_t count)
{
    const std::int64_t last = std::min<std::int64_t>(std::int64_t(value) + count - 1, INT32_MAX);
    for (std::int64_t v = value; v <= last; ++v) {
        if (m_items.size() >= kMaxCount && !InList(std::int32_t(v)))
            return false;
        Add(std::int32_t(v));
    }
    return true;
}

void TRangeList::Delete(int index)
{
    if (index < 0 || std::size_t(index) >= m_items.size())
        return;
    m_set.erase(m_items[std::size_t(index)]);
    m_items.erase(m_items.begin() + index);
}

void TRangeList::Clear()
{
    m_items.clear();
    m_set.clear();
}

void TRangeList::Sort()
{
    std::sort(m_items.begin(), m_items.end());
}

void TRangeList::Show() const
{
    for (std::int32_t v : m_items)
        qDebug().noquote() << QString::number(v);
}

bool TRangeList::StrToList(QStringView s)
{
    Clear();
    bool result = true;
    while (!s.isEmpty()) {
        qsizetype q = 0;
        while (q < s.size() && s[q] != QLatin1Char(',') && s[q] != QLatin1Char(';'))
            ++q;
        const QStringView item = s.left(q);
        s = q < s.size() ? s.mid(q + 1) : QStringView();
        if (const qsizetype dash = item.indexOf(QLatin1Char('-')); dash >= 0) {
            const auto a = TypedText::ToInteger(item.left(dash));
            const auto b = TypedText::ToInteger(item.mid(dash + 1));
            if (!a.ok || !b.ok) {
                result = false;
                continue;
            }
            if (b.value < a.value)
                continue;
            const std::int64_t count = std::int64_t(b.value) - a.value + 1;
            if (count > kMaxRangeCount || !AddMultiple(a.value, count))
                result = false;
        } else {
            const auto v = TypedText::ToInteger(item);
            if (!v.ok || (!Add(v.value) && !InList(v.value)))
                result = false;
        }
    }
    return result;
}

QString RangeText(std::vector<std::int32_t> values)
{
    std::sort(values.begin(), values.end());
    QString r;
    std::size_t i = 0;
    while (i < values.size()) {
        std::size_t j = i;
        while (j + 1 < values.size() && std::int64_t(values[j + 1]) <= std::int64_t(values[j]) + 1)
            ++j;
        if (!r.isEmpty())
            r.append(QLatin1Char(','));
        r.append(QString::number(values[i]));
        if (values[j] != values[i]) {
            r.append(QLatin1Char('-'));
            r.append(QString::number(values[j]));
        }
        i = j + 1;
    }
    return r;
}
