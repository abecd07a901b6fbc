// A compile-time check for tables indexed by an enum: row i names the enum's value i, and the
// last value has its row, so a lookup by value is a plain index and no value lacks a row.
#pragma once

#include <cstddef>

namespace pondlark {

template <auto Key, class Table, class Enum>
constexpr bool RowsInEnumOrder(const Table& table, Enum last) {
    for (size_t i = 0; i < table.size(); ++i)
        if (static_cast<size_t>(table[i].*Key) != i) return false;
    return static_cast<size_t>(last) + 1 == table.size();
}

} // namespace pondlark
