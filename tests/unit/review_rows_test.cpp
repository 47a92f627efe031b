// The Review Changes rows: short roots, key order, and keys cut in the middle so their ends show.
#include <gtest/gtest.h>

#include "app/review_rows.h"

namespace zv {
namespace {

TEST(ReviewRows, KeysCutInTheMiddleKeepTheRootAndTheLastComponents) {
    const auto chars = [](std::string_view text) { return static_cast<int>(text.size()); };
    const std::string key = "HKLM\\System\\CurrentControlSet\\Services\\Class\\NetTrans\\0003";
    const struct { std::string text; int width; const char* shown; } cases[] = {
        {key, static_cast<int>(key.size()), "HKLM\\System\\CurrentControlSet\\Services\\Class\\NetTrans\\0003"},
        {key, 40, "HKLM\\...\\Services\\Class\\NetTrans\\0003"},
        {key, 28, "HKLM\\...\\Class\\NetTrans\\0003"},
        {key, 18, "HKLM\\...\\0003"},        // only the last component beside the root
        {key, 12, "...rans\\0003"},         // not even that: the end of the text
        {"NoBackslashAtAll", 8, "...AtAll"},
        {key, 2, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(CutKeyInMiddle(c.text, c.width, chars), c.shown) << c.text << ", " << c.width;
}

TEST(ReviewRows, RowsStandInKeyOrderWithShortRootsAndTheRunsOrderWithinAKeyWhateverItsCase) {
    const std::pair<const char*, const char*> rows[] = {
        {"Class\\NetTrans\\0001", " a "}, {"VxD\\MSTCPX", " b"}, {"class\\Net\\0000", " MSS "},
        {"VxD\\MSTCP\\Parameters", " c "}, {"", " d "}, {"Class\\Net\\0000", " IPMTU "}, {"VxD\\MSTCP", " e "}};
    ChangeSet changes;
    for (const auto& [k, n] : rows) changes.rows.push_back({{*k ? kHkeyLocalMachine : kHkeyCurrentUser, k, n}, {}, {}});
    std::string shown;
    for (auto i : ReviewOrder(changes)) shown += ShortKeyText(changes.rows[i].where) + changes.rows[i].where.name;
    EXPECT_EQ(shown, "HKCU d HKLM\\class\\Net\\0000 MSS HKLM\\Class\\Net\\0000 IPMTU HKLM\\Class\\NetTrans\\0001 a "
                     "HKLM\\VxD\\MSTCP e HKLM\\VxD\\MSTCP\\Parameters c HKLM\\VxD\\MSTCPX b");
}

}  // namespace
}  // namespace zv
