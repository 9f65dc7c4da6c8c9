// SPDX-License-Identifier: MIT
#pragma once
#include <QString>
#include <QStringView>
#include <cstdint>
#include <unordered_set>
#include <vector>

// A list of distinct 32-bit integers in the order they were added, read from and written as range
// text such as "1-3,7;9". Membership is a hash lookup, so filling it from text stays linear.
class TRangeList {
public:
    // Most values one range of StrToList may add; a wider range is refused as a whole.
    static constexpr std::int64_t kMaxRangeCount = 65'536;
    // Most values the list holds; values beyond it are not added.
    static constexpr std::size_t kMaxCount = 262'144;

    int Count() const { return int(m_items.size()); }
    std::int32_t operator[](int index) const { return m_items[std::size_t(index)]; }
    const std::vector<std::int32_t>& Items() const { return m_items; }

    // Adds a value not yet present; false when it was present or the list is full.
    bool Add(std::int32_t value);
    // Adds value, value + 1, ... (count values, never past the 32-bit maximum); false when a
    // value could not be added because the list is full.
    bool AddMultiple(std::int32_t value, std::int64_t count);
    void Delete(int index);
    bool InList(std::int32_t value) const { return m_set.count(value) != 0; }
    void Clear();
    void Sort();
    // Each value in decimal to the debug output.
    void Show() const;

    // Clears the list and reads items separated by "," or ";": a number, or "a-b" adding a ... b
    // (nothing when b < a). False when any item is not a 32-bit number or a valid range, or when a range
    // is wider than kMaxRangeCount or the list is full; every valid item is still added. A negative
    // number cannot be written (its "-" makes it a range).
    bool StrToList(QStringView s);

private:
    std::vector<std::int32_t> m_items;
    std::unordered_set<std::int32_t> m_set;
};

// The values sorted, each run of consecutive values as "first-last" (or the value alone), runs
// joined by ","; an empty list gives an empty text.
QString RangeText(std::vector<std::int32_t> values);
