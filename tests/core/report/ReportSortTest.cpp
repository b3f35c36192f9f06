#include "core/report/ReportSort.h"

#include "core/report/ReportPages.h"

#include <gtest/gtest.h>

namespace qs {
namespace {

TEST(ReportSort, HeaderClicksOnAnotherColumnSortAscendingThenDescending)
{
    SortState state;
    state.click(2);
    EXPECT_TRUE(state.column == 2 && state.ascending);
    state.click(2);
    EXPECT_FALSE(state.ascending);
}

TEST(ReportSort, CompareCells)
{
    struct Case {
        SortKind kind;
        const char *a;
        const char *b;
        int sign;
    };
    const Case cases[] = {
        {SortKind::Number, "10.5", "9", 1}, // as text "10.5" would sort first
        {SortKind::Text, "10.5", "9", -1},
        // U+1F600 is the surrogate pair D83D DE00, below U+FF5E in UTF-16 though above it as a
        // code point.
        {SortKind::Text, "\U0001F600", "\uFF5E", -1},
        {SortKind::Equal, "a", "b", 0},
        // The orders page: its side apart by text, its take-profit by number.
        {OrderColumns()[2].kind, "买", "卖", -1},
        {OrderColumns()[7].kind, "1000.00", "999.00", 1},
    };
    for (const Case &c : cases) {
        const int result = CompareCells(c.kind, c.a, c.b);
        EXPECT_EQ((result > 0) - (result < 0), c.sign) << c.a << " vs " << c.b;
    }
}

} // namespace
} // namespace qs
