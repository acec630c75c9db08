// The search: which rows stay, the hidden buffer, the two messages, and its two triggers.
#include "app/module_events.h"
#include "support/fake_ui.h"

#include <gtest/gtest.h>

namespace plendrik::catalogue {
namespace {

using namespace ui::main_window;
using Rows = std::vector<std::vector<std::string>>;

const std::vector<std::string> kAbc{"ABC.jar", "10KB", "2014-05-01", "包"};
const std::vector<std::string> kAbd{"abd.zip", "20KB", "2014-05-02", "例程"};
const std::vector<std::string> kXyz{"xyz", "30KB", "2014-05-03", "工具"};
const std::vector<std::string> kNoNote{"abe", "KB", "2014-05-04", ""};

constexpr const char* kNoMatch = "您搜索的教程关键字未查询到，请您重新整理查询...";
constexpr const char* kEmptyList = "您好，请您先选择培训版块";

struct SearchFixture : ::testing::Test {
    app::AppState state;
    test::FakeUi ui;
    app::Config config{"http://127.0.0.1:1/files/", "", "", "", "", ""};
    app::Context ctx{state, ui, config, {}};

    bool event(ui::EventKind kind, const ui::Control& control, int index = -1) {
        ui::UiEvent e;
        e.kind = kind;
        e.control = control;
        e.index = index;
        return handleCatalogueEvent(ctx, e);
    }
    void search(std::string_view keyword) {
        ui.setEditText(编辑框1, keyword);
        ASSERT_TRUE(event(ui::EventKind::ButtonClicked, 按钮1));
    }
    std::vector<std::string> messageTexts() const {
        std::vector<std::string> out;
        for (const test::ShownMessage& m : ui.messages()) {
            EXPECT_EQ(m.caption, "查询");
            EXPECT_EQ(m.buttons, ui::kOk);
            out.push_back(m.text);
        }
        return out;
    }
};

struct SearchCase {
    const char* keyword;
    Rows before;
    Rows after;
    std::string buffer;
    std::vector<std::string> messages;
};

void PrintTo(const SearchCase& c, std::ostream* os) {
    *os << "keyword '" << c.keyword << "'";
}

class SearchTable : public SearchFixture, public ::testing::WithParamInterface<SearchCase> {};

TEST_P(SearchTable, keepsTheRowsWhoseNamesBeginWithTheKeyword) {
    const SearchCase& c = GetParam();
    ui.appendRows(ResourceList, c.before);
    ui.setEditText(编辑框2, "left from an earlier search");
    search(c.keyword);
    EXPECT_EQ(ui.rows(ResourceList), c.after);
    EXPECT_EQ(ui.editText(编辑框2), c.buffer);
    EXPECT_EQ(messageTexts(), c.messages);
}

const Rows kThree{kAbc, kAbd, kXyz};

INSTANTIATE_TEST_SUITE_P(
    Keywords, SearchTable,
    ::testing::Values(
        SearchCase{
            "ab", kThree, {kAbc, kAbd}, "ABC.jar|10KB|2014-05-01|包\r\nabd.zip|20KB|2014-05-02|例程\r\n", {}},
        SearchCase{
            "aB", kThree, {kAbc, kAbd}, "ABC.jar|10KB|2014-05-01|包\r\nabd.zip|20KB|2014-05-02|例程\r\n", {}},
        SearchCase{"bc", kThree, kThree, "", {kNoMatch}},   // a match begins at the start
        SearchCase{"xyz ", kThree, kThree, "", {kNoMatch}}, // the keyword is not trimmed
        SearchCase{"xyz", kThree, {kXyz}, "xyz|30KB|2014-05-03|工具\r\n", {}},
        SearchCase{
            "",
            kThree,
            kThree,
            "ABC.jar|10KB|2014-05-01|包\r\nabd.zip|20KB|2014-05-02|例程\r\nxyz|30KB|2014-05-03|工具\r\n",
            {}},
        SearchCase{"ab",
                   {kXyz, kNoNote, kAbd},
                   {kNoNote, kAbd}, // an empty note keeps its row whole
                   "abe|KB|2014-05-04|\r\nabd.zip|20KB|2014-05-02|例程\r\n",
                   {}},
        SearchCase{"例",
                   {{"例程一", "1KB", "d", "n"}, {"工具", "1KB", "d", "n"}},
                   {{"例程一", "1KB", "d", "n"}},
                   "例程一|1KB|d|n\r\n",
                   {}},
        SearchCase{"", {}, {}, "", {kEmptyList}}, SearchCase{"ab", {}, {}, "", {kEmptyList}}));

TEST_F(SearchFixture, aSecondSearchNarrowsTheFirst) {
    ui.appendRows(ResourceList, kThree);
    search("ab");
    search("abd");
    EXPECT_EQ(ui.rows(ResourceList), (Rows{kAbd}));
}

TEST_F(SearchFixture, enterInTheSearchBoxSearchesOtherKeysDoNot) {
    ui.appendRows(ResourceList, kThree);
    ui.setEditText(编辑框1, "x");
    EXPECT_FALSE(event(ui::EventKind::KeyPressed, 编辑框1, 'X'));
    EXPECT_EQ(ui.rows(ResourceList), kThree);
    EXPECT_FALSE(event(ui::EventKind::KeyPressed, 编辑框2, 13));
    EXPECT_EQ(ui.rows(ResourceList), kThree);
    EXPECT_TRUE(event(ui::EventKind::KeyPressed, 编辑框1, 13));
    EXPECT_EQ(ui.rows(ResourceList), (Rows{kXyz}));
}

TEST_F(SearchFixture, loadingTheCategoryAgainBringsBackTheWholeCatalogue) {
    ui.setHttpGet([](std::string_view) { return std::string("ABC.jar|10|d|n\r\nxyz|30|d|n\r\n"); });
    ui.setSelectedTreeItem(树型框1, 5);
    ASSERT_TRUE(event(ui::EventKind::TreeDoubleClicked, 树型框1));
    ui.joinThreads();
    search("x");
    ASSERT_EQ(ui.rows(ResourceList).size(), 1u);
    ASSERT_TRUE(event(ui::EventKind::TreeDoubleClicked, 树型框1));
    ui.joinThreads();
    EXPECT_EQ(ui.rows(ResourceList), (Rows{{"ABC.jar", "10KB", "d", "n"}, {"xyz", "30KB", "d", "n"}}));
}

} // namespace
} // namespace plendrik::catalogue
