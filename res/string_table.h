// The string table as data for native code: the resource generator writes
// it into the resource script, and the text lookup of non-Windows builds
// reads it directly.
#pragma once

#include <cstddef>
#include <string_view>

namespace fonaris::res {

struct StringTableRow {
    int id;
    std::string_view text;
};

inline constexpr StringTableRow kStringTable[] = {
#include "string_table.inc"
};

inline constexpr std::size_t kStringTableSize = sizeof(kStringTable) / sizeof(kStringTable[0]);

// The row of `id`, or nullptr when the table has none.
constexpr const StringTableRow* findString(int id)
{
    for (const StringTableRow& row : kStringTable) {
        if (row.id == id) return &row;
    }
    return nullptr;
}

}  // namespace fonaris::res
