// Adding resources to the download page: one by double-click or menu, with the duplicate check;
// all at once with the question; the folder from the tree's selection; the row counter.
#include "app/module_events.h"
#include "app/view.h"
#include "support/fake_ui.h"

#include <gtest/gtest.h>

namespace plendrik::catalogue {
namespace {

using namespace ui::main_window;
using ui::MenuItem;
using Rows = std::vector<std::vector<std::string>>;

const Rows kResources{
    {"ABC.jar", "10KB", "d1", "n1"}, {"abd.zip", "20KB", "d2", "n2"}, {"xyz", "30KB", "d3", "n3"}};

struct Msg {
    std::string text, caption;
    int buttons;
    friend bool operator==(const Msg&, const Msg&) = default;
};
void PrintTo(const Msg& m, std::ostream* os) {
    *os << m.text << " / " << m.caption << " / " << m.buttons;
}

const Msg kAdded{"欲下载资源添加成功，请进入下载页面下载", "添加资源", ui::kOk | ui::kInformationIcon};
const Msg kDuplicate{"资源添加失败，下载页面以有此资源，请勿重复添加", "添加资源失败",
                     ui::kOk | ui::kInformationIcon};
const Msg kAskAll{"数据一键添加成功，请问是否跳到下载页面？", "软件询问", ui::kYesNo};

// How the user asks: double-click on a row, or one of the three items of the popup menu "添加".
enum class Trigger { DoubleClick, AddToPage, AddAndShowPage, AddAll };

struct AddCase {
    const char* what;
    Trigger trigger;
    Rows resources;
    int selected; // resource row
    int treeItem; // selected tree item
    Rows pageBefore;
    int answer; // to the add-all question
    Rows pageAfter;
    std::vector<Msg> messages;
    bool pageShown;
};
void PrintTo(const AddCase& c, std::ostream* os) {
    *os << c.what;
}

class Adding : public ::testing::TestWithParam<AddCase> {
protected:
    app::AppState state;
    test::FakeUi ui;
    app::Config config{"http://127.0.0.1:1/files/", "", "", "", "", ""};
    app::Context ctx{state, ui, config, {}};
};

TEST_P(Adding, writesTheRowsAndSaysWhatHappened) {
    const AddCase& c = GetParam();
    ui.appendRows(ResourceList, c.resources);
    ui.appendRows(DownloadList, c.pageBefore);
    state.rowCount = static_cast<int>(c.pageBefore.size());
    ui.setSelectedRow(ResourceList, c.selected);
    ui.setSelectedTreeItem(树型框1, c.treeItem);
    app::HideDownloadPage(ui);
    ui.checkToolbarButton(工具条1, 2);
    ui.answerNext(c.answer);

    ui::UiEvent e;
    e.control = ResourceList;
    if (c.trigger == Trigger::DoubleClick) {
        e.kind = ui::EventKind::ListActivated;
        e.index = c.selected;
    } else {
        e.kind = ui::EventKind::MenuChosen;
        e.item = c.trigger == Trigger::AddToPage        ? MenuItem::AddToPage
                 : c.trigger == Trigger::AddAndShowPage ? MenuItem::AddAndShowPage
                                                        : MenuItem::AddAll;
    }
    ASSERT_TRUE(handleCatalogueEvent(ctx, e));

    EXPECT_EQ(ui.rows(DownloadList), c.pageAfter);
    EXPECT_EQ(state.rowCount, static_cast<int>(c.pageAfter.size())); // the counter names the row count
    std::vector<Msg> shown;
    for (const test::ShownMessage& m : ui.messages())
        shown.push_back({m.text, m.caption, m.buttons});
    EXPECT_EQ(shown, c.messages);
    EXPECT_EQ(ui.checkedToolbarButton(工具条1), c.pageShown ? 0 : 2);
    EXPECT_EQ(ui.controlRect(DownloadList) == ui.controlRect(ResourceList), c.pageShown);
    EXPECT_EQ(ui.rows(ResourceList), c.resources); // the resource list is only read
}

std::vector<std::string> pageRow(const std::string& name, const std::string& size,
                                 const std::string& folder) {
    return {name, size, "", "未完成", folder};
}
const auto kAbcRow = pageRow("ABC.jar", "10KB", "guanfanglicheng");
const auto kAbdRow = pageRow("abd.zip", "20KB", "guanfanglicheng");
const auto kXyzRow = pageRow("xyz", "30KB", "guanfanglicheng");
const std::vector<std::string> kOnPage{"other", "5KB", "", "已下载完毕", "jar"};
const int kNo = ui::kAnswerNo, kYes = ui::kAnswerYes;

INSTANTIATE_TEST_SUITE_P(
    One, Adding,
    ::testing::Values(
        AddCase{
            "to an empty page", Trigger::DoubleClick, kResources, 0, 5, {}, kNo, {kAbcRow}, {kAdded}, false},
        AddCase{"after the rows already there",
                Trigger::AddToPage,
                kResources,
                2,
                5,
                {kOnPage},
                kNo,
                {kOnPage, kXyzRow},
                {kAdded},
                false},
        AddCase{"a name differing in letter case is a duplicate",
                Trigger::DoubleClick,
                kResources,
                0,
                5,
                {{"abc.JAR", "10KB", "", "未完成", "guanfanglicheng"}},
                kNo,
                {{"abc.JAR", "10KB", "", "未完成", "guanfanglicheng"}},
                {kDuplicate},
                false},
        AddCase{"the same name from another category is a duplicate",
                Trigger::AddToPage,
                kResources,
                1,
                5,
                {pageRow("abd.zip", "1KB", "jar")},
                kNo,
                {pageRow("abd.zip", "1KB", "jar")},
                {kDuplicate},
                false},
        AddCase{"a longer name on the page is no duplicate",
                Trigger::AddToPage,
                kResources,
                2,
                5,
                {pageRow("xyz2", "1KB", "jar")},
                kNo,
                {pageRow("xyz2", "1KB", "jar"), kXyzRow},
                {kAdded},
                false},
        AddCase{"the tree on item 0: no folder",
                Trigger::DoubleClick,
                kResources,
                0,
                0,
                {},
                kNo,
                {pageRow("ABC.jar", "10KB", "")},
                {kAdded},
                false},
        AddCase{"the tree on a parent item: no folder",
                Trigger::DoubleClick,
                kResources,
                0,
                4,
                {},
                kNo,
                {pageRow("ABC.jar", "10KB", "")},
                {kAdded},
                false},
        AddCase{"nothing selected in the tree: no folder",
                Trigger::DoubleClick,
                kResources,
                0,
                -1,
                {},
                kNo,
                {pageRow("ABC.jar", "10KB", "")},
                {kAdded},
                false},
        AddCase{"another category selected: its folder",
                Trigger::DoubleClick,
                kResources,
                0,
                13,
                {},
                kNo,
                {pageRow("ABC.jar", "10KB", "vantorojichushenru")},
                {kAdded},
                false},
        AddCase{"no selected resource adds nothing",
                Trigger::AddToPage,
                kResources,
                -1,
                5,
                {kOnPage},
                kNo,
                {kOnPage},
                {},
                false},
        AddCase{"an empty list adds nothing", Trigger::DoubleClick, {}, 0, 5, {}, kNo, {}, {}, false},
        AddCase{
            "add and show", Trigger::AddAndShowPage, kResources, 1, 5, {}, kNo, {kAbdRow}, {kAdded}, true},
        AddCase{"add and show a duplicate still shows the page",
                Trigger::AddAndShowPage,
                kResources,
                1,
                5,
                {kAbdRow},
                kNo,
                {kAbdRow},
                {kDuplicate},
                true},
        AddCase{"add and show from an empty list still shows the page",
                Trigger::AddAndShowPage,
                {},
                -1,
                5,
                {},
                kNo,
                {},
                {},
                true}));

INSTANTIATE_TEST_SUITE_P(All, Adding,
                         ::testing::Values(AddCase{"every resource, a duplicate too",
                                                   Trigger::AddAll,
                                                   kResources,
                                                   -1,
                                                   5,
                                                   {kAbdRow},
                                                   kNo,
                                                   {kAbdRow, kAbcRow, kAbdRow, kXyzRow},
                                                   {kAskAll},
                                                   false},
                                           AddCase{"yes shows the page",
                                                   Trigger::AddAll,
                                                   kResources,
                                                   0,
                                                   5,
                                                   {},
                                                   kYes,
                                                   {kAbcRow, kAbdRow, kXyzRow},
                                                   {kAskAll},
                                                   true},
                                           AddCase{"an empty list still asks, yes shows the page",
                                                   Trigger::AddAll,
                                                   {},
                                                   -1,
                                                   5,
                                                   {kOnPage},
                                                   kYes,
                                                   {kOnPage},
                                                   {kAskAll},
                                                   true},
                                           AddCase{"the tree on a parent item: no folder",
                                                   Trigger::AddAll,
                                                   {kResources[2]},
                                                   -1,
                                                   12,
                                                   {},
                                                   kNo,
                                                   {pageRow("xyz", "30KB", "")},
                                                   {kAskAll},
                                                   false}));

struct AddingEvents : ::testing::Test {
    app::AppState state;
    test::FakeUi ui;
    app::Config config{"http://127.0.0.1:1/files/", "", "", "", "", ""};
    app::Context ctx{state, ui, config, {}};
};

TEST_F(AddingEvents, aRightClickOnTheResourceListPopsTheAddMenu) {
    ui::UiEvent e;
    e.kind = ui::EventKind::ListRightClicked;
    e.control = ResourceList;
    EXPECT_TRUE(handleCatalogueEvent(ctx, e)); // on an empty list too
    e.control = DownloadList;
    EXPECT_FALSE(handleCatalogueEvent(ctx, e));
    e.kind = ui::EventKind::ListActivated;
    EXPECT_FALSE(handleCatalogueEvent(ctx, e));
    EXPECT_EQ(ui.poppedMenus(), std::vector<std::string>{"添加"});
}

TEST_F(AddingEvents, otherMenuItemsAreNotOurs) {
    ui::UiEvent e;
    e.kind = ui::EventKind::MenuChosen;
    e.item = MenuItem::StartTask;
    EXPECT_FALSE(handleCatalogueEvent(ctx, e));
}

} // namespace
} // namespace plendrik::catalogue
