// Start-up order, the exit command, and the switch between the download page and the resource list.
#include "app/startup.h"
#include "app/view.h"
#include "support/fake_ui.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace plendrik::app {
namespace {

using namespace ui::main_window;
using ui::MenuItem;

class NullEngine : public downloads::DownloadEngine {
public:
    explicit NullEngine(int* destroyed) : m_destroyed(destroyed) {}
    bool addTask(const downloads::TaskRecord&) override { return false; }
    bool resumeTask(const downloads::TaskRecord&, const downloads::TaskState&) override { return false; }
    bool stopTask(downloads::TaskState&, int) override { return false; }
    std::int64_t doneLength() override { return 0; }
    void destroy() override { ++*m_destroyed; }

private:
    int* m_destroyed;
};

struct ShellFixture : ::testing::Test {
    AppState state;
    test::FakeUi ui;
    Config config{"http://s/files/", "http://s/forum/", "http://s/forum2/", "http://s/tasks/", "http://s/course", "1"};
    Context ctx{state, ui, config, {}};
    int destroyed = 0;
};

TEST_F(ShellFixture, onCreated_runsItsStepsInOrder) {
    MainWindow::onCreated(ctx);
    // The version check fetches on its own thread, so its request may land anywhere among the
    // window's own steps; it is checked apart from their order.
    const std::string fetch = "httpGet http://s/files/update.txt";
    std::vector<std::string> calls = ui.calls();
    std::erase(calls, fetch);
    ui.joinThreads();
    EXPECT_EQ(std::ranges::count(ui.calls(), fetch), 1);
    std::erase_if(calls, [](const std::string& c) { return c.rfind("readIni", 0) == 0 || c == "startThread"; });
    const std::vector<std::string> expected = {
        "setMenuItemDisabled 继续任务 1",
        "setMenuItemDisabled 暂停任务 1",
        "setMenuItemDisabled 强行停止任务 1",
        "setBrowserAddress 超文本浏览框1 http://s/course",
        "attachHoverTip 气球提示框1 超级列表框1 双击添加资源，资源添加成功后进入下载页面",
        "setTrayIcon program Plendrik V2.5",
    };
    ASSERT_GE(calls.size(), expected.size());
    EXPECT_EQ(std::vector(calls.begin(), calls.begin() + 5), std::vector(expected.begin(), expected.begin() + 5));
    EXPECT_EQ(calls.back(), expected.back());
    EXPECT_FALSE(ui.menuItemDisabled(MenuItem::StartTask));
    EXPECT_FALSE(ui.menuItemDisabled(MenuItem::DownloadAll));
    EXPECT_TRUE(ui.menuItemDisabled(MenuItem::ResumeTask));
    EXPECT_EQ(state.currentRow, 0);
    EXPECT_EQ(state.busy, 0);
}

struct ExitCase {
    int busy;
    int answer;
    bool ends;
    bool asks;
};

class ExitCommandTest : public ShellFixture, public ::testing::WithParamInterface<ExitCase> {};

TEST_P(ExitCommandTest, asksOnlyWhileBusyAndEndsOnYes) {
    const ExitCase c = GetParam();
    startEngine(state, std::make_unique<NullEngine>(&destroyed));
    ui.setExitCleanup([this] { exitCleanup(state); });
    state.busy = c.busy;
    ui.answerNext(c.answer);
    ExitCommand(ctx);
    EXPECT_EQ(ui.messages().size(), c.asks ? 1u : 0u);
    if (c.asks) {
        EXPECT_EQ(ui.messages()[0].text, "目前有任务正在下载中，是否强行关闭");
        EXPECT_EQ(ui.messages()[0].caption, "关闭");
        EXPECT_EQ(ui.messages()[0].buttons, ui::kYesNo);
    }
    EXPECT_EQ(ui.exitCode(), c.ends ? 0 : -1);
    EXPECT_EQ(destroyed, c.ends ? 1 : 0);
    EXPECT_EQ(state.engine == nullptr, c.ends);
}

INSTANTIATE_TEST_SUITE_P(Cases, ExitCommandTest,
                         ::testing::Values(ExitCase{0, ui::kAnswerNo, true, false},
                                           ExitCase{1, ui::kAnswerNo, false, true},
                                           ExitCase{1, ui::kAnswerYes, true, true}));

TEST_F(ShellFixture, exitCleanup_runsOnceWhateverWaysEnd) {
    startEngine(state, std::make_unique<NullEngine>(&destroyed));
    state.taskState = "resume";
    state.progressText = "2048KB";
    ui.setExitCleanup([this] { exitCleanup(state); });
    ui.endProgram(0);
    ui.endProgram(0);
    exitCleanup(state); // the event loop's own end after endProgram
    EXPECT_EQ(ui.exitCleanups(), 1);
    EXPECT_EQ(destroyed, 1);
    EXPECT_TRUE(state.taskState.empty());
    EXPECT_EQ(state.task, nullptr);
}

TEST_F(ShellFixture, startEngine_recordHoldsItsDefaultsInFieldOrder) {
    startEngine(state, std::make_unique<NullEngine>(&destroyed));
    const downloads::TaskRecord& t = *state.task;
    EXPECT_EQ(t.options, 1);
    EXPECT_EQ(t.address, "");
    EXPECT_EQ(t.savePath, "");
    EXPECT_EQ(t.ftpUser, "anonymous");
    EXPECT_EQ(t.ftpPassword.size(), 17u);
    EXPECT_NE(t.ftpPassword.find('@'), std::string::npos);
    EXPECT_EQ((std::vector{t.connections, t.rateLimit, t.connectTimeout, t.sendTimeout, t.receiveTimeout,
                           t.stopWait, t.readBlock, t.uploadBlock}),
              (std::vector{1, 0, 20000, 20000, 20000, 1000, 20480, 1024}));
    EXPECT_FALSE(t.dataHandler);
    EXPECT_FALSE(t.eventHandler);
    EXPECT_EQ(t.ftpExtra, "");
    EXPECT_EQ(t.ftpTransferType, 1);
    EXPECT_EQ(t.binaryExtensions, ".exe|.rar|.zip|.gif|.jpg|.mp3|.rm");
    EXPECT_FALSE(t.proxy.has_value());
    EXPECT_FALSE(t.referer.has_value());
}

TEST_F(ShellFixture, hideTwiceThenShow_putsTheDownloadListBackOnTheResourceList) {
    const ui::Rect resource = ui.controlRect(ResourceList);
    ShowDownloadPage(ui); // right after start nothing moves
    EXPECT_EQ(ui.controlRect(DownloadList), resource);
    HideDownloadPage(ui);
    HideDownloadPage(ui);
    EXPECT_EQ(ui.controlRect(DownloadList), (ui::Rect{resource.left, 536, resource.width, resource.height}));
    ui.clearLog();
    ShowDownloadPage(ui);
    EXPECT_EQ(ui.controlRect(DownloadList), resource);
    EXPECT_EQ(ui.calls(), (std::vector<std::string>{"setControlLeft 超级列表框2 176", "setControlWidth 超级列表框2 666",
                                                    "setControlHeight 超级列表框2 373", "setControlTop 超级列表框2 4"}));
}

TEST_F(ShellFixture, selectViewButton_checksOnlyTheToolbar) {
    SelectViewButton(ui, 2);
    EXPECT_EQ(ui.checkedToolbarButton(工具条1), 2);
    EXPECT_EQ(ui.calls(), (std::vector<std::string>{"checkToolbarButton 工具条1 2"}));
}

} // namespace
} // namespace plendrik::app
