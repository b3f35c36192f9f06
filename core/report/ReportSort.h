#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qs {

// How a report column compares two of its texts.
enum class SortKind {
    Text = 0,   // UTF-16 code unit by code unit, no locale, no case folding
    Number = 1, // both texts as 32-bit float numbers
    Equal = 2,  // every row compares equal
};

struct ReportColumn {
    std::string header;
    SortKind kind = SortKind::Text;
};

// The texts of one list row, one per column.
using ReportRow = std::vector<std::string>;

// Negative, zero or positive as a sorts before, with or after b in ascending order.
int CompareCells(SortKind kind, std::string_view a, std::string_view b);

// A list's sort column and direction. A click on the sort column toggles the direction, a click
// on another column makes it the sort column, ascending; so the first click on column 0 sorts
// it descending. A column of 100 or more sorts nothing.
struct SortState {
    int column = 0;
    bool ascending = true;

    void click(int clicked);
    bool sorts() const { return column < 100; }
};

} // namespace qs
