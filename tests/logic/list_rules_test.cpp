#include "ui/list_store.h"

#include <gtest/gtest.h>

namespace plendrik::ui {
namespace {

ListStore listOf(std::initializer_list<const char*> names) {
    ListStore store(2);
    for (const char* name : names)
        store.setCell(store.appendRow(), 0, name);
    return store;
}

struct FindCase {
    const char* what;
    std::vector<const char*> names;
    const char* text;
    int start;
    bool exact;
    int expected;
};

class FindRowTest : public ::testing::TestWithParam<FindCase> {};

TEST_P(FindRowTest, findsFirstMatchFromStart) {
    const FindCase& c = GetParam();
    ListStore store(2);
    for (const char* name : c.names)
        store.setCell(store.appendRow(), 0, name);
    EXPECT_EQ(store.findRow(c.text, c.start, c.exact), c.expected) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FindRowTest,
    ::testing::Values(
        FindCase{"exact ignores Latin case", {"abc", "AB"}, "ab", 0, true, 1},
        FindCase{"exact needs the whole text", {"abc"}, "ab", 0, true, -1},
        FindCase{"prefix matches both cases", {"AB", "abc"}, "ab", 0, false, 0},
        FindCase{"prefix from a later start", {"AB", "abc"}, "ab", 1, false, 1},
        FindCase{"start equal to the count", {"ab", "ab"}, "ab", 2, false, -1},
        FindCase{"negative start counts as 0", {"ab"}, "ab", -5, true, 0},
        FindCase{"no wrapping", {"ab", "x"}, "ab", 1, false, -1},
        FindCase{"prefix must begin the name", {"xab"}, "ab", 0, false, -1},
        FindCase{"Chinese compares byte for byte", {"官方例程", "官方"}, "官方", 0, true, 1},
        FindCase{"empty prefix matches the first row", {"a", "b"}, "", 0, false, 0},
        FindCase{"empty list", {}, "a", 0, false, -1}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(ListStoreTest, missingRowsAndColumnsReadEmptyAndIgnoreWrites) {
    ListStore store = listOf({"a"});
    EXPECT_EQ(store.cell(-1, 0), "");
    EXPECT_EQ(store.cell(1, 0), "");
    EXPECT_EQ(store.cell(0, 2), "");
    EXPECT_FALSE(store.setCell(-1, 0, "x"));
    EXPECT_FALSE(store.setCell(0, 5, "x"));
    EXPECT_FALSE(store.deleteRow(-1));
    EXPECT_FALSE(store.deleteRow(1));
    EXPECT_EQ(store.rowCount(), 1);
    EXPECT_EQ(store.cell(0, 0), "a");
}

TEST(ListStoreTest, appendRowsPadsAndCutsToColumns) {
    ListStore store(3);
    EXPECT_EQ(store.appendRows({{"a"}, {"b", "c", "d", "e"}}), 0);
    EXPECT_EQ(store.appendRow(), 2);
    EXPECT_EQ(store.cell(0, 2), "");
    EXPECT_EQ(store.cell(1, 2), "d");
    EXPECT_EQ(store.cell(1, 3), "");
    store.deleteRow(0);
    EXPECT_EQ(store.cell(0, 0), "b"); // later rows move up
}

} // namespace
} // namespace plendrik::ui
