// The enabled task and row menu items and the progress bar after each download event, compared
// with the table as it is written down: "on" enabled, "off" disabled, "—" left as it was.
#include "downloads/menu_state.h"
#include "support/runner_fixture.h"

#include <functional>

namespace plendrik::downloads {
namespace {

using test::RunnerFixture;
using ui::MenuItem;
using ui::Timer;

// The columns of the table.
constexpr MenuItem kColumns[] = {MenuItem::StartTask,   MenuItem::ResumeTask,        MenuItem::PauseTask,
                                 MenuItem::DownloadAll, MenuItem::ForceStop,         MenuItem::OpenFile,
                                 MenuItem::DeleteTask,  MenuItem::DeleteTaskAndFile, MenuItem::OpenFolder,
                                 MenuItem::ClearList};

struct MenuCase {
    const char* name;
    std::array<const char*, 10> items;
    const char* bar; // "shown", "hidden", "hidden, position 0", "—"
    std::vector<ui::Row> rows;
    std::function<void(RunnerFixture&)> setUp; // brings the runner to where the event happens
    std::function<void(RunnerFixture&)> event;
};

void start(RunnerFixture& f) {
    f.startRow(0);
}
void batchStarted(RunnerFixture& f) {
    f.choose(MenuItem::DownloadAll);
}
void batchRunning(RunnerFixture& f) {
    f.choose(MenuItem::DownloadAll);
    f.tick(Timer::时钟2);
}
void nothing(RunnerFixture&) {}
void complete(RunnerFixture& f) {
    f.finishWith(4096, 4096);
}
void fail(RunnerFixture& f) {
    f.engine->raise(EngineEvent::Failed, 0);
    f.settle();
}
std::function<void(RunnerFixture&)> chosen(MenuItem item) {
    return [item](RunnerFixture& f) { f.choose(item); };
}
void scanTick(RunnerFixture& f) {
    f.tick(Timer::时钟2);
}

ui::Row r(const char* state) {
    return RunnerFixture::row("x", state);
}

// clang-format off
const MenuCase kCases[] = {
    //             开始   继续   暂停   全部   强停   打开文件 删除  删除及文件 打开目录 清空
    {"singleStart", {"off", "on", "on", "off", "on", "—", "off", "off", "—", "off"}, "shown",
     {r("未完成")}, nothing, chosen(MenuItem::StartTask)},
    {"singleStartRefusedAsBusy", {"off", "on", "on", "off", "on", "—", "off", "off", "—", "off"}, "shown",
     {r("未完成")}, [](RunnerFixture& f) { f.state.busy = 1; }, chosen(MenuItem::StartTask)},
    {"batchStart", {"—", "—", "—", "—", "—", "—", "—", "—", "—", "—"}, "—",
     {r("未完成")}, nothing, chosen(MenuItem::DownloadAll)},
    {"scanTickStartingARow", {"off", "on", "on", "—", "on", "—", "off", "off", "—", "off"}, "shown",
     {r("未完成"), r("未完成")}, batchStarted, scanTick},
    {"scanTickWithNothingToStart", {"off", "on", "on", "—", "on", "—", "off", "off", "—", "off"}, "shown",
     {r("已下载完毕"), r("已暂停下载")}, batchStarted, scanTick},
    {"scanFindsTheBatchFinished", {"on", "off", "off", "—", "off", "—", "on", "on", "—", "on"}, "hidden, position 0",
     {r("已暂停下载"), r("已下载完毕")}, batchStarted, scanTick},
    {"completionSingle", {"on", "off", "off", "on", "off", "—", "on", "on", "—", "on"}, "hidden, position 0",
     {r("未完成")}, start, complete},
    {"completionBatch", {"on", "off", "off", "on", "off", "—", "on", "on", "—", "on"}, "hidden, position 0",
     {r("未完成"), r("未完成")}, batchRunning, complete},
    {"failureSingle", {"on", "off", "off", "on", "—", "on", "on", "on", "on", "on"}, "hidden",
     {r("未完成")}, start, fail},
    {"failureBatch", {"on", "off", "off", "on", "—", "on", "on", "on", "on", "on"}, "hidden",
     {r("未完成")}, batchRunning, fail},
    {"forceStop", {"on", "off", "off", "on", "—", "on", "on", "on", "on", "on"}, "hidden",
     {r("未完成"), r("未完成")}, start, chosen(MenuItem::ForceStop)},
    {"pause", {"—", "—", "—", "—", "—", "—", "—", "—", "—", "—"}, "—",
     {r("未完成")}, start, chosen(MenuItem::PauseTask)},
    {"continue", {"—", "—", "—", "—", "—", "—", "—", "—", "—", "—"}, "—",
     {r("未完成")}, [](RunnerFixture& f) { start(f); f.choose(MenuItem::PauseTask); }, chosen(MenuItem::ResumeTask)},
};
// clang-format on

// Each row is driven twice, from all items enabled with the bar hidden and from all items
// disabled with the bar shown, so that "—" is told apart from a flag that happens to match.
class MenuStateTest : public RunnerFixture, public testing::WithParamInterface<std::tuple<int, bool>> {};

TEST_P(MenuStateTest, eventLeavesTheMenusAndTheBarAsTheTableSays) {
    const MenuCase& c = kCases[std::get<0>(GetParam())];
    const bool disabledBefore = std::get<1>(GetParam());
    addRows(c.rows);
    select(0);
    c.setUp(*this);
    for (MenuItem item : kColumns)
        ui.setMenuItemDisabled(item, disabledBefore);
    ui.setControlVisible(ui::main_window::进度条1, disabledBefore);
    ui.setControlVisible(ui::main_window::标签4, disabledBefore);
    ui.setProgressPosition(ui::main_window::进度条1, 57);

    c.event(*this);

    for (std::size_t i = 0; i < std::size(kColumns); ++i) {
        const std::string expected = c.items[i];
        const bool disabled = expected == "—" ? disabledBefore : expected == "off";
        EXPECT_EQ(ui.menuItemDisabled(kColumns[i]), disabled) << "column " << i << " should be " << expected;
    }
    const std::string bar = c.bar;
    const bool shown = bar == "—" ? disabledBefore : bar == "shown";
    EXPECT_EQ(ui.controlVisible(ui::main_window::进度条1), shown) << bar;
    EXPECT_EQ(ui.controlVisible(ui::main_window::标签4), shown) << bar;
    EXPECT_EQ(ui.progressPosition(), bar == "hidden, position 0" ? 0 : 57) << bar;
}

INSTANTIATE_TEST_SUITE_P(Table, MenuStateTest,
                         testing::Combine(testing::Range(0, static_cast<int>(std::size(kCases))),
                                          testing::Bool()),
                         [](const auto& info) {
                             return std::string(kCases[std::get<0>(info.param)].name) +
                                    (std::get<1>(info.param) ? "_fromDisabled" : "_fromEnabled");
                         });

// At start the menu definition enables every item and the bar is hidden; the creation handler
// disables the three that need a transfer, which gives the table's first row.
TEST_F(RunnerFixture, programStart_leavesTheMenusAsTheTableSays) {
    ui.setHttpGet([](std::string_view) { return std::string(); });
    app::MainWindow::onCreated(ctx);
    ui.joinThreads();
    const char* expected[] = {"on", "off", "off", "on", "off", "on", "on", "on", "on", "on"};
    for (std::size_t i = 0; i < std::size(kColumns); ++i)
        EXPECT_EQ(ui.menuItemDisabled(kColumns[i]), std::string(expected[i]) == "off") << "column " << i;
    EXPECT_FALSE(ui.controlVisible(ui::main_window::进度条1));
    EXPECT_FALSE(ui.controlVisible(ui::main_window::标签4));
}

} // namespace
} // namespace plendrik::downloads
