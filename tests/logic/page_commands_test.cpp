// The download list's mouse and its row menu "菜单": open, delete, delete with file, open folder;
// and names that must not lead a file operation out of the download folder.
#include "app/module_events.h"
#include "downloads/paths.h"
#include "support/page_fixture.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace plendrik::downloads {
namespace {

using test::PageFixture;
using test::ScratchFolder;
using ui::EventKind;
using ui::MenuItem;

bool handle(PageFixture& f, EventKind kind, ui::Control control = {}, MenuItem item = {}, int index = -1) {
    ui::UiEvent event;
    event.kind = kind;
    event.control = control;
    event.item = item;
    event.index = index;
    return handleDownloadPageEvent(f.ctx, event);
}
bool choose(PageFixture& f, MenuItem item) {
    return handle(f, EventKind::MenuChosen, {}, item);
}

struct PageCommandsTest : PageFixture {
    void SetUp() override {
        useRecordingEngine();
        for (const char* name : {"甲", "乙", "丙"})
            addRow({name, "1KB", "", "未完成", "d"});
        makeDownloadFolder();
    }
};

// --- mouse ---------------------------------------------------------------------------------------

struct MouseCase {
    const char* what;
    int rows;
    EventKind kind;
    int index;
    std::vector<std::string> popped;
};

class MouseTest : public PageFixture, public ::testing::WithParamInterface<MouseCase> {};

TEST_P(MouseTest, popsTheRightMenuOrNone) {
    const MouseCase& c = GetParam();
    for (int i = 0; i < c.rows; ++i)
        addRow({"r" + std::to_string(i)});
    EXPECT_TRUE(handle(*this, c.kind, kList, {}, c.index)) << c.what;
    EXPECT_EQ(ui.poppedMenus(), c.popped) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MouseTest,
    ::testing::Values(MouseCase{"double-click on a row", 2, EventKind::ListActivated, 1, {"表"}},
                      MouseCase{"double-click below the rows", 2, EventKind::ListActivated, -1, {}},
                      MouseCase{"double-click on an empty list", 0, EventKind::ListActivated, -1, {}},
                      MouseCase{
                          "right click on a list with rows", 1, EventKind::ListRightClicked, -1, {"菜单"}},
                      MouseCase{"right click on an empty list", 0, EventKind::ListRightClicked, -1, {}}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST_F(PageFixture, eventsOfOtherControlsAndMenusAreNotTaken) {
    addRow({"r"});
    EXPECT_FALSE(handle(*this, EventKind::ListActivated, ui::main_window::ResourceList, {}, 0));
    EXPECT_FALSE(handle(*this, EventKind::ListRightClicked, ui::main_window::ResourceList));
    EXPECT_FALSE(handle(*this, EventKind::ButtonClicked, ui::main_window::图形按钮3));
    EXPECT_FALSE(choose(*this, MenuItem::StartTask));
    EXPECT_FALSE(choose(*this, MenuItem::ExitProgram));
    EXPECT_TRUE(ui.poppedMenus().empty());
    EXPECT_EQ(ui.exitCode(), -1);
}

TEST_F(PageFixture, theCloseButtonSavesAndEnds) {
    EXPECT_TRUE(handle(*this, EventKind::ButtonClicked, ui::main_window::图形按钮2));
    EXPECT_EQ(ui.exitCode(), 0);
}

// --- delete --------------------------------------------------------------------------------------

TEST_F(PageCommandsTest, deleteTaskRemovesTheSelectedRowAndTheNextAddLandsAtTheEnd) {
    ScratchFolder::writeBytes(zipPath(ctx.paths, "乙"), "zip");
    ScratchFolder::writeBytes(partPath(ctx.paths, "乙"), "part");
    ui.setSelectedRow(kList, 1);
    EXPECT_TRUE(choose(*this, MenuItem::DeleteTask));
    EXPECT_EQ(stops, std::vector<int>{2});
    EXPECT_EQ(names(), (std::vector<std::string>{"甲", "丙"}));
    EXPECT_EQ(state.rowCount, 2);
    EXPECT_TRUE(ScratchFolder::exists(zipPath(ctx.paths, "乙"))) << "the downloaded file stays";
    EXPECT_FALSE(ScratchFolder::exists(partPath(ctx.paths, "乙"))) << "a partial file goes with its row";
    EXPECT_TRUE(ui.messages().empty());

    addRow({"丁", "2KB", "", "未完成", "d"});
    EXPECT_EQ(names(), (std::vector<std::string>{"甲", "丙", "丁"}));
    EXPECT_EQ(ui.rows(kList)[2][Size], "2KB");
}

TEST_F(PageCommandsTest, deleteTaskAndFileDeletesAnExistingFileSilently) {
    ScratchFolder::writeBytes(zipPath(ctx.paths, "丙"), "zip");
    ScratchFolder::writeBytes(zipPath(ctx.paths, "甲"), "zip");
    ui.setSelectedRow(kList, 2);
    EXPECT_TRUE(choose(*this, MenuItem::DeleteTaskAndFile));
    EXPECT_EQ(stops, std::vector<int>{2});
    EXPECT_FALSE(ScratchFolder::exists(zipPath(ctx.paths, "丙")));
    EXPECT_TRUE(ScratchFolder::exists(zipPath(ctx.paths, "甲")));
    EXPECT_TRUE(ui.messages().empty());
    EXPECT_EQ(names(), (std::vector<std::string>{"甲", "乙"}));
    EXPECT_EQ(state.rowCount, 2);
}

TEST_F(PageCommandsTest, deleteTaskAndFileReportsAMissingFileAndStillDeletesTheRow) {
    ScratchFolder::writeBytes(partPath(ctx.paths, "甲"), "part");
    ui.setSelectedRow(kList, 0);
    EXPECT_TRUE(choose(*this, MenuItem::DeleteTaskAndFile));
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, "文件路径已被修改或已被删除");
    EXPECT_EQ(ui.messages()[0].caption, "文件");
    EXPECT_EQ(ui.messages()[0].buttons, ui::kOk | ui::kInformationIcon);
    EXPECT_FALSE(ScratchFolder::exists(partPath(ctx.paths, "甲")));
    EXPECT_EQ(names(), (std::vector<std::string>{"乙", "丙"}));
    EXPECT_EQ(state.rowCount, 2);
}

TEST_F(PageFixture, deleteWorksWithoutAnEngine) {
    addRow({"a"});
    ui.setSelectedRow(kList, 0);
    EXPECT_TRUE(choose(*this, MenuItem::DeleteTask));
    EXPECT_EQ(ui.rowCount(kList), 0);
    EXPECT_EQ(state.rowCount, 0);
}

class NoSelectionTest : public PageCommandsTest, public ::testing::WithParamInterface<MenuItem> {};

TEST_P(NoSelectionTest, aRowCommandWithoutASelectedRowDoesNothing) {
    ScratchFolder::writeBytes(ctx.paths.downloadFolder + "/_.zip", "the empty name's file");
    ui.setSelectedRow(kList, -1);
    EXPECT_TRUE(choose(*this, GetParam()));
    EXPECT_EQ(names(), (std::vector<std::string>{"甲", "乙", "丙"}));
    EXPECT_EQ(state.rowCount, 3);
    EXPECT_TRUE(stops.empty());
    EXPECT_TRUE(ui.messages().empty());
    EXPECT_TRUE(ui.shellOpened().empty());
    EXPECT_TRUE(ScratchFolder::exists(ctx.paths.downloadFolder + "/_.zip"));
}

INSTANTIATE_TEST_SUITE_P(Items, NoSelectionTest,
                         ::testing::Values(MenuItem::OpenFile, MenuItem::DeleteTask,
                                           MenuItem::DeleteTaskAndFile),
                         [](const auto& info) {
                             return "item" + std::to_string(static_cast<int>(info.param));
                         });

// --- open ----------------------------------------------------------------------------------------

TEST_F(PageCommandsTest, openFileAndOpenFolderHandTheirPathsToTheDesktop) {
    ui.setSelectedRow(kList, 1);
    EXPECT_TRUE(choose(*this, MenuItem::OpenFile));
    std::filesystem::remove_all(ScratchFolder::fsPath(ctx.paths.downloadFolder)); // before any download
    EXPECT_TRUE(choose(*this, MenuItem::OpenFolder));
    EXPECT_EQ(ui.shellOpened(),
              (std::vector<std::string>{ctx.paths.downloadFolder + "/乙.zip", ctx.paths.downloadFolder}));
    EXPECT_TRUE(ui.messages().empty());
    EXPECT_EQ(state.rowCount, 3);
}

// --- hostile names -------------------------------------------------------------------------------

struct NameCase {
    const char* name;
    const char* safe;
};

class HostileNameTest : public PageFixture, public ::testing::WithParamInterface<NameCase> {};

TEST_P(HostileNameTest, staysInsideTheDownloadFolder) {
    const NameCase& c = GetParam();
    const std::string safe = safeFileName(c.name);
    EXPECT_EQ(safe, c.safe);
    const std::string zip = zipPath(ctx.paths, c.name);
    EXPECT_EQ(zip, ctx.paths.downloadFolder + "/" + safe + ".zip");
    EXPECT_EQ(ScratchFolder::fsPath(zip).parent_path(), ScratchFolder::fsPath(ctx.paths.downloadFolder));
    EXPECT_EQ(partPath(ctx.paths, c.name), zip + ".part");

    // A file where the name taken as a path would lead must survive every command.
    const std::string naive = ctx.paths.downloadFolder + "/" + c.name + ".zip";
    const std::string decoy = folder.path("x.zip");
    ScratchFolder::writeBytes(decoy, "outside");
    makeDownloadFolder();
    ScratchFolder::writeBytes(zip, "inside");
    addRow({c.name, "1KB", "", "已下载完毕", "d"});
    ui.setSelectedRow(kList, 0);
    EXPECT_TRUE(choose(*this, MenuItem::OpenFile));
    EXPECT_EQ(ui.shellOpened(), std::vector<std::string>{zip});
    EXPECT_TRUE(choose(*this, MenuItem::DeleteTaskAndFile));
    EXPECT_TRUE(ui.messages().empty()) << "the safe name is the name it was downloaded under";
    EXPECT_FALSE(ScratchFolder::exists(zip));
    EXPECT_EQ(ScratchFolder::readBytes(decoy), "outside") << naive;
    EXPECT_EQ(ui.rowCount(kList), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HostileNameTest,
    ::testing::Values(NameCase{"../x", "___x"}, NameCase{"a/b", "a_b"}, NameCase{"a\\b", "a_b"},
                      NameCase{"..", "__"}, NameCase{".", "_"}, NameCase{"C:\\Windows\\x", "C__Windows_x"},
                      NameCase{"CON", "_CON"}, NameCase{"nul.txt", "_nul.txt"}, NameCase{"Com1", "_Com1"},
                      NameCase{"lpt9.tar.gz", "_lpt9.tar.gz"}, NameCase{"COM10", "COM10"},
                      NameCase{"console", "console"}, NameCase{"name.", "name"}, NameCase{"name ", "name"},
                      NameCase{"name. . ", "name"}, NameCase{"a\tb\nc\x7F", "a_b_c_"},
                      NameCase{"a\xC2\x85z", "a_z"}, NameCase{"", "_"}, NameCase{"   ", "_"},
                      NameCase{"a?b*c|d", "a_b_c_d"}, NameCase{"安卓 教程.v2", "安卓 教程.v2"}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

} // namespace
} // namespace plendrik::downloads
