// The download runner's commands and timers, driven through its window events with a fake engine.
#include "downloads/paths.h"
#include "support/runner_fixture.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <filesystem>

namespace plendrik::downloads {
namespace {

using test::RunnerFixture;
using testing::ElementsAre;
using ui::MenuItem;
using ui::Timer;
using ui::main_window::DownloadList;

std::vector<std::string> callsStartingWith(const std::vector<std::string>& calls, std::string_view prefix) {
    std::vector<std::string> out;
    std::copy_if(calls.begin(), calls.end(), std::back_inserter(out),
                 [&](const std::string& c) { return c.starts_with(prefix); });
    return out;
}

using RunnerTest = RunnerFixture;

// --- single start ---------------------------------------------------------------------------------

TEST_F(RunnerTest, startSelected_fetchesTheSelectedRowIntoANewDownloadFolder) {
    addRows({row("第一个", "未完成", "4KB", "guanfanglicheng"), row("例程 二", "未完成", "8KB", "mokuai")});
    ASSERT_FALSE(std::filesystem::exists(std::filesystem::u8path(ctx.paths.downloadFolder)));

    startRow(1);

    EXPECT_TRUE(std::filesystem::exists(std::filesystem::u8path(ctx.paths.downloadFolder)));
    EXPECT_THAT(engine->calls(), ElementsAre("stopTask 2", "addTask " + addressOf("mokuai", "例程 二") + " " +
                                                               zipPath(ctx.paths, "例程 二")));
    EXPECT_EQ(state.task->savePath, ctx.paths.downloadFolder + "/例程 二.zip");
    EXPECT_TRUE(state.task->eventHandler);
    EXPECT_THAT(rowStates(), ElementsAre("未完成", "正在下载"));
    EXPECT_EQ(state.currentRow, 1);
    EXPECT_EQ(state.busy, 1);
    EXPECT_EQ(state.batchMode, 0);
    EXPECT_EQ(ui.timerPeriod(Timer::时钟1), 1);

    // A second start finds the folder there and does not make it again.
    finishWith(4096, 4096);
    startRow(0);
    EXPECT_EQ(callsStartingWith(ui.calls(), "createFolder").size(), 1u);
    EXPECT_EQ(engine->addedAddresses().back(), addressOf("guanfanglicheng", "第一个"));
}

TEST_F(RunnerTest, startSelected_whenTheEngineRefusesTheFile_resumesNoOtherTransfer) {
    addRows({row("A", "未完成"), row("B", "未完成")});
    startRow(0);
    select(0);
    choose(MenuItem::ForceStop); // keeps A's resume state, page idle
    ASSERT_EQ(state.taskState, "resume:" + addressOf("lib", "A"));
    engine->setAddTaskResult(false);

    startRow(0); // B moved up into row 0

    EXPECT_EQ(engine->calls().back(), "addTask " + addressOf("lib", "B") + " " + zipPath(ctx.paths, "B"));
    EXPECT_FALSE(engine->active()) << "A's transfer must not run under B's row";
}

TEST_F(RunnerTest, startSelected_whileBusy_saysSoAndStartsNothing) {
    addRows({row("A", "正在下载"), row("B", "未完成")});
    startRow(0);
    engine->setDoneLength(1000);
    ui.clearLog();

    startRow(1);

    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, "不能同时下载多个文件，请单独下载");
    EXPECT_EQ(ui.messages()[0].caption, "提示");
    EXPECT_EQ(ui.messages()[0].buttons, ui::kOk | ui::kInformationIcon);
    EXPECT_FALSE(ui.messages()[0].fromWorker);
    // The running transfer was stopped before the question, and nothing new was added.
    EXPECT_EQ(engine->calls().back(), "stopTask 2");
    EXPECT_EQ(engine->addedAddresses().size(), 1u);
    EXPECT_EQ(state.taskState, "resume:" + addressOf("lib", "A"));
    EXPECT_THAT(rowStates(), ElementsAre("正在下载", "未完成"));
    EXPECT_EQ(state.currentRow, 0);
    // The menus are in the single-start state all the same.
    EXPECT_TRUE(ui.menuItemDisabled(MenuItem::StartTask));
    EXPECT_FALSE(ui.menuItemDisabled(MenuItem::ForceStop));
    EXPECT_TRUE(ui.controlVisible(ui::main_window::进度条1));
}

TEST_F(RunnerTest, startSelected_withNoSelectedRow_changesNothing) {
    for (int busy : {0, 1}) {
        SCOPED_TRACE(busy);
        addRows({row("A", "未完成")});
        state.busy = busy;
        const auto before = ui.rows(DownloadList);
        ui.clearLog();

        select(-1);
        choose(MenuItem::StartTask);

        EXPECT_TRUE(engine->calls().empty()) << "no server request for the bare base address";
        EXPECT_TRUE(ui.calls().empty());
        EXPECT_TRUE(ui.messages().empty());
        EXPECT_EQ(ui.rows(DownloadList), before);
        EXPECT_EQ(state.busy, busy);
    }
}

// --- progress tick ---------------------------------------------------------------------------------

struct TickCase {
    const char* size;
    std::int64_t total;
    std::int64_t done;
    const char* cell;
    int bar;
};

class ProgressTickTest : public RunnerFixture, public testing::WithParamInterface<TickCase> {};

TEST_P(ProgressTickTest, showsSizeAndKilobytesDoneAndThePercentage) {
    const TickCase c = GetParam();
    addRows({row("other", "未完成", "1KB"), row("zip", "未完成", c.size)});
    startRow(1);
    state.totalBytes = c.total;
    engine->setDoneLength(c.done);
    select(0); // the tick follows the transfer's row, not the selection

    tick(Timer::时钟1);

    EXPECT_EQ(cell(1, DownloadColumn::Progress), c.cell);
    EXPECT_EQ(cell(0, DownloadColumn::Progress), "");
    EXPECT_EQ(ui.progressPosition(), c.bar);
    EXPECT_EQ(state.progressText, c.size);
}

INSTANTIATE_TEST_SUITE_P(Cases, ProgressTickTest,
                         testing::Values(TickCase{"2048KB", 2097152, 524288, "2048KB/512KB", 25},
                                         TickCase{"2048KB", 2097152, 2097152, "2048KB/2048KB", 100},
                                         TickCase{"3KB", 3, 2, "3KB/0KB", 66}, // truncated, not rounded
                                         TickCase{"1KB", 1024, 1023, "1KB/0KB", 99},
                                         TickCase{"10KB", 0, 5000, "10KB/4KB", 0}, // size not known yet
                                         TickCase{"", 100, 0, "/0KB", 0},
                                         TickCase{"5GB", 5368709120, 2684354560, "5GB/2621440KB", 50}));

TEST_F(RunnerTest, progressTick_withNoActiveTransfer_showsNothingDone) {
    addRows({row("A", "未完成", "2048KB")});
    state.currentRow = 0;
    state.totalBytes = 2097152;
    tick(Timer::时钟1);
    EXPECT_EQ(cell(0, DownloadColumn::Progress), "2048KB/0KB");
    EXPECT_EQ(ui.progressPosition(), 0);
}

// --- completion ------------------------------------------------------------------------------------

struct FinishCase {
    const char* name;
    bool batch;
    std::optional<std::int64_t> size; // the size event, when one came
    std::int64_t finished;
    bool complete;
};

class CompletionTest : public RunnerFixture, public testing::WithParamInterface<FinishCase> {
protected:
    struct Snapshot {
        std::vector<std::vector<std::string>> rows;
        int busy, batchMode, currentRow, timer1, timer2, bar;
        std::vector<bool> menu;
        bool barShown;
        bool operator==(const Snapshot&) const = default;
    };
    Snapshot snapshot() {
        Snapshot s{ui.rows(DownloadList),
                   state.busy,
                   state.batchMode,
                   state.currentRow,
                   ui.timerPeriod(Timer::时钟1),
                   ui.timerPeriod(Timer::时钟2),
                   ui.progressPosition(),
                   {},
                   ui.controlVisible(ui::main_window::进度条1)};
        for (MenuItem item : kDownloadMenuItemsForTest)
            s.menu.push_back(ui.menuItemDisabled(item));
        return s;
    }
    static constexpr MenuItem kDownloadMenuItemsForTest[] = {
        MenuItem::StartTask,  MenuItem::ResumeTask, MenuItem::PauseTask,  MenuItem::DownloadAll,
        MenuItem::ForceStop,  MenuItem::OpenFile,   MenuItem::DeleteTask, MenuItem::DeleteTaskAndFile,
        MenuItem::OpenFolder, MenuItem::ClearList};
};

TEST_P(CompletionTest, aFinishCarryingTheTotalCompletesTheRowAndNothingElseDoes) {
    const FinishCase c = GetParam();
    addRows({row("done", "已下载完毕", "2KB"), row("zip", "未完成", "4KB"), row("next", "未完成", "8KB")});
    if (c.batch) {
        choose(MenuItem::DownloadAll);
        tick(Timer::时钟2); // starts row 1
    } else {
        startRow(1);
    }
    ASSERT_EQ(state.currentRow, 1);
    select(2);
    tick(Timer::时钟1);
    engine->setDoneLength(1000);
    if (c.size)
        engine->raise(EngineEvent::SizeKnown, *c.size);
    settle();
    ui.setProgressPosition(ui::main_window::进度条1, 37);
    Snapshot before = snapshot();

    engine->complete(c.finished);
    settle();

    // Every finish shows the size over itself in the transfer's row.
    EXPECT_EQ(cell(1, DownloadColumn::Progress), "4KB/4KB");
    Snapshot after = snapshot();
    if (!c.complete) {
        before.rows[1][DownloadColumn::Progress] = "4KB/4KB";
        EXPECT_EQ(after, before) << "only the progress cell changes";
        return;
    }
    EXPECT_THAT(rowStates(), ElementsAre("已下载完毕", "已下载完毕", c.batch ? "正在下载" : "未完成"));
    EXPECT_EQ(state.currentRow, -1);
    EXPECT_EQ(state.busy, 0);
    EXPECT_EQ(ui.timerPeriod(Timer::时钟1), 0);
    EXPECT_EQ(ui.timerPeriod(Timer::时钟2), c.batch ? 3000 : 0);
    EXPECT_EQ(ui.progressPosition(), 0);
    EXPECT_FALSE(ui.controlVisible(ui::main_window::进度条1));
    EXPECT_FALSE(ui.controlVisible(ui::main_window::标签4));
    EXPECT_FALSE(ui.menuItemDisabled(MenuItem::StartTask));
    EXPECT_TRUE(ui.menuItemDisabled(MenuItem::PauseTask));
}

INSTANTIATE_TEST_SUITE_P(Cases, CompletionTest,
                         testing::Values(FinishCase{"whole", false, 4096, 4096, true},
                                         FinishCase{"wholeInBatch", true, 4096, 4096, true},
                                         FinishCase{"zeroOfUnknownSize", false, std::nullopt, 0, true},
                                         FinishCase{"stoppedEarly", false, 4096, 1000, false},
                                         FinishCase{"stoppedEarlyInBatch", true, 4096, 1000, false},
                                         FinishCase{"moreThanTheSize", false, 4096, 5000, false},
                                         FinishCase{"unknownSizeSomeBytes", false, std::nullopt, 1000,
                                                    false}),
                         [](const auto& info) { return std::string(info.param.name); });

// --- batch -----------------------------------------------------------------------------------------

TEST_F(RunnerTest, batch_downloadsTheUnfinishedRowsInTurnAndSkipsThePausedOne) {
    addRows({row("A", "已下载完毕"), row("B", "未完成"), row("C", "已暂停下载"), row("D", "未完成")});
    ui.clearLog();

    choose(MenuItem::DownloadAll);

    EXPECT_THAT(rowStates(), ElementsAre("已下载完毕", "正在下载", "已暂停下载", "正在下载"));
    EXPECT_EQ(state.batchMode, 1);
    EXPECT_EQ(ui.timerPeriod(Timer::时钟2), 100);
    EXPECT_TRUE(engine->calls().empty()) << "the batch start itself starts nothing";
    EXPECT_TRUE(callsStartingWith(ui.calls(), "setMenuItemDisabled").empty());
    EXPECT_EQ(state.busy, 0);

    tick(Timer::时钟2);
    EXPECT_THAT(engine->addedAddresses(), ElementsAre(addressOf("lib", "B")));
    EXPECT_EQ(state.currentRow, 1);
    EXPECT_EQ(state.busy, 1);
    EXPECT_EQ(ui.timerPeriod(Timer::时钟1), 100);
    EXPECT_EQ(ui.timerPeriod(Timer::时钟2), 0);
    EXPECT_EQ(state.lastFinishedRow, 1);

    finishWith(4096, 4096);
    EXPECT_EQ(ui.timerPeriod(Timer::时钟2), 3000);
    tick(Timer::时钟2);
    EXPECT_THAT(engine->addedAddresses(), ElementsAre(addressOf("lib", "B"), addressOf("lib", "D")));
    EXPECT_EQ(state.currentRow, 3);
    EXPECT_EQ(state.busy, 1);

    finishWith(4096, 4096);
    for (int i = 0; i < 2; ++i) {
        tick(Timer::时钟2);
        EXPECT_EQ(state.busy, 0);
        EXPECT_EQ(state.lastFinishedRow, 4);
        EXPECT_FALSE(ui.menuItemDisabled(MenuItem::StartTask));
        EXPECT_TRUE(ui.menuItemDisabled(MenuItem::ResumeTask));
        EXPECT_FALSE(ui.controlVisible(ui::main_window::进度条1));
        EXPECT_EQ(ui.timerPeriod(Timer::时钟2), 3000) << "the scan keeps ticking";
    }
    EXPECT_EQ(engine->addedAddresses().size(), 2u);
    EXPECT_THAT(rowStates(), ElementsAre("已下载完毕", "已下载完毕", "已暂停下载", "已下载完毕"));
}

TEST_F(RunnerTest, batch_aFileDoneBeforeAnyTick_showsItsOwnSize) {
    addRows({row("A", "未完成", "2KB"), row("B", "未完成", "8KB")});
    choose(MenuItem::DownloadAll);
    tick(Timer::时钟2);
    tick(Timer::时钟1);
    finishWith(2048, 2048);
    tick(Timer::时钟2); // starts B; its file is done before 时钟1 ticks again

    finishWith(8192, 8192);

    EXPECT_EQ(cell(0, DownloadColumn::Progress), "2KB/2KB");
    EXPECT_EQ(cell(1, DownloadColumn::Progress), "8KB/8KB");
    EXPECT_EQ(rowState(1), "已下载完毕");
}

TEST_F(RunnerTest, batch_whoseLastRowIsPaused_neverReportsItselfFinished) {
    addRows({row("A", "未完成"), row("B", "已暂停下载")});
    choose(MenuItem::DownloadAll);
    tick(Timer::时钟2);
    finishWith(4096, 4096);

    for (int i = 0; i < 3; ++i) {
        tick(Timer::时钟2);
        EXPECT_TRUE(ui.menuItemDisabled(MenuItem::StartTask));
        EXPECT_FALSE(ui.menuItemDisabled(MenuItem::ResumeTask));
        EXPECT_FALSE(ui.menuItemDisabled(MenuItem::ForceStop));
        EXPECT_TRUE(ui.controlVisible(ui::main_window::进度条1));
        EXPECT_EQ(state.lastFinishedRow, 1);
    }
    EXPECT_EQ(engine->addedAddresses().size(), 1u);
    EXPECT_EQ(rowState(1), "已暂停下载");

    // Only a force stop ends it.
    select(-1);
    choose(MenuItem::ForceStop);
    EXPECT_EQ(ui.timerPeriod(Timer::时钟2), 0);
    EXPECT_FALSE(ui.menuItemDisabled(MenuItem::StartTask));
}

TEST_F(RunnerTest, batch_overAnEmptyPage_isFinishedAtOnce) {
    choose(MenuItem::DownloadAll);
    tick(Timer::时钟2);
    EXPECT_TRUE(engine->addedAddresses().empty());
    EXPECT_FALSE(ui.menuItemDisabled(MenuItem::StartTask));
    EXPECT_FALSE(ui.controlVisible(ui::main_window::进度条1));
}

// --- pause, continue, force stop ---------------------------------------------------------------------

TEST_F(RunnerTest, pauseAndContinue_markTheSelectedRowButActOnTheLastTransfer) {
    addRows({row("A", "未完成"), row("B", "未完成")});
    startRow(0);
    engine->setDoneLength(2048);
    select(1);
    ui.clearLog();

    choose(MenuItem::PauseTask);
    EXPECT_THAT(rowStates(), ElementsAre("正在下载", "已暂停下载"));
    EXPECT_EQ(state.taskState, "resume:" + addressOf("lib", "A"));
    EXPECT_FALSE(engine->active());
    EXPECT_EQ(ui.timerPeriod(Timer::时钟1), 0);
    EXPECT_EQ(state.busy, 1) << "a pause keeps the runner busy";

    choose(MenuItem::ResumeTask);
    EXPECT_THAT(rowStates(), ElementsAre("正在下载", "已继续下载"));
    EXPECT_EQ(engine->calls().back(), "resumeTask resume:" + addressOf("lib", "A"));
    EXPECT_TRUE(engine->active());
    EXPECT_EQ(ui.timerPeriod(Timer::时钟1), 100);
    EXPECT_EQ(state.currentRow, 0);
    EXPECT_TRUE(callsStartingWith(ui.calls(), "setMenuItemDisabled").empty());
    EXPECT_TRUE(callsStartingWith(ui.calls(), "setControlVisible").empty());
}

TEST_F(RunnerTest, continue_beforeAnyStop_resumesNothing) {
    addRows({row("A", "已暂停下载")});
    select(0);
    choose(MenuItem::ResumeTask);
    EXPECT_THAT(engine->calls(), ElementsAre("resumeTask "));
    EXPECT_FALSE(engine->active());
}

TEST_F(RunnerTest, forceStop_deletesTheSelectedRowNotTheRunningOne) {
    addRows({row("A", "未完成"), row("B", "未完成"), row("C", "未完成")});
    startRow(0);
    ui.setTimerPeriod(Timer::时钟2, 3000);
    select(1);
    ui.clearLog();

    choose(MenuItem::ForceStop);

    EXPECT_THAT(ui.rows(DownloadList), ElementsAre(ElementsAre("A", "4KB", "", "正在下载", "lib"),
                                                   ElementsAre("C", "4KB", "", "未完成", "lib")));
    EXPECT_EQ(state.rowCount, 2);
    EXPECT_FALSE(engine->active());
    EXPECT_EQ(state.taskState, "resume:" + addressOf("lib", "A"));
    EXPECT_THAT(callsStartingWith(ui.calls(), "setTimerPeriod"),
                ElementsAre("setTimerPeriod 1 0", "setTimerPeriod 2 0", "setTimerPeriod 3 0"));
    EXPECT_EQ(state.busy, 0);
    EXPECT_EQ(state.currentRow, 0);
    EXPECT_FALSE(ui.controlVisible(ui::main_window::进度条1));
}

TEST_F(RunnerTest, forceStop_ofTheRunningRow_keepsItsLastEventsOffTheRowThatMovesUp) {
    addRows({row("A", "未完成"), row("B", "未完成", "8KB")});
    startRow(0);
    engine->raise(EngineEvent::SizeKnown, 4096);
    settle();
    engine->setDoneLength(4096); // the stop's finish event will carry the whole size
    engine->setFinishOnStop(true);
    select(0);

    choose(MenuItem::ForceStop);
    settle();

    EXPECT_THAT(ui.rows(DownloadList), ElementsAre(ElementsAre("B", "8KB", "", "未完成", "lib")));
    EXPECT_EQ(state.rowCount, 1);
    EXPECT_EQ(state.busy, 0);
}

TEST_F(RunnerTest, forceStop_withNoSelectedRow_keepsTheRowCounter) {
    addRows({row("A", "未完成"), row("B", "未完成")});
    startRow(0);
    select(-1);
    choose(MenuItem::ForceStop);
    EXPECT_EQ(ui.rowCount(DownloadList), 2);
    EXPECT_EQ(state.rowCount, 2) << "the next added row must land in a row of its own";
    EXPECT_FALSE(engine->active());
}

// --- exit question ---------------------------------------------------------------------------------

struct ExitCase {
    const char* taskState;
    int answer;
    bool asks;
    bool stops;
};

class ConfirmExitTest : public RunnerFixture, public testing::WithParamInterface<ExitCase> {};

TEST_P(ConfirmExitTest, asksOnlyWhileAStoppedTransfersStateIsHeld) {
    const ExitCase c = GetParam();
    addRows({row("A", "未完成")});
    startRow(0);
    state.taskState = c.taskState;
    ui.answerNext(c.answer);

    EXPECT_TRUE(destroying(ui::WindowId::Main));

    ASSERT_EQ(ui.messages().size(), c.asks ? 1u : 0u);
    if (c.asks) {
        EXPECT_EQ(ui.messages()[0].text, "您还有任务正在下载，是否继续退出？");
        EXPECT_EQ(ui.messages()[0].caption, "任务询问");
        EXPECT_EQ(ui.messages()[0].buttons, ui::kYesNo);
    }
    EXPECT_EQ(engine->active(), !c.stops);
    EXPECT_EQ(engine->calls().back(),
              c.stops ? "stopTask 2" : "addTask " + addressOf("lib", "A") + " " + zipPath(ctx.paths, "A"));
}

INSTANTIATE_TEST_SUITE_P(Cases, ConfirmExitTest,
                         testing::Values(ExitCase{"", ui::kAnswerYes, false, false},
                                         ExitCase{"resume:x", ui::kAnswerYes, true, true},
                                         ExitCase{"resume:x", ui::kAnswerNo, true, false}));

// --- event routing and a missing engine ---------------------------------------------------------------

TEST_F(RunnerTest, handleRunnerEvent_takesOnlyItsOwnEvents) {
    for (MenuItem item : {MenuItem::OpenFile, MenuItem::DeleteTask, MenuItem::ClearList,
                          MenuItem::ExitProgram, MenuItem::AddToPage})
        EXPECT_FALSE(choose(item)) << static_cast<int>(item);
    EXPECT_FALSE(tick(Timer::时钟3));
    EXPECT_FALSE(destroying(ui::WindowId::Video));
    ui::UiEvent created;
    created.kind = ui::EventKind::WindowCreated;
    EXPECT_FALSE(handleRunnerEvent(ctx, created));
    EXPECT_TRUE(engine->calls().empty());

    select(-1);
    for (MenuItem item : {MenuItem::StartTask, MenuItem::ResumeTask, MenuItem::PauseTask,
                          MenuItem::DownloadAll, MenuItem::ForceStop})
        EXPECT_TRUE(choose(item)) << static_cast<int>(item);
    EXPECT_TRUE(tick(Timer::时钟1));
    EXPECT_TRUE(tick(Timer::时钟2));
    EXPECT_TRUE(destroying(ui::WindowId::Main));
}

TEST_F(RunnerTest, everyCommand_withoutAnEngine_leavesThePageWhole) {
    app::exitCleanup(state); // as after the end of the program, or in another part's test
    addRows({row("A", "未完成"), row("B", "已下载完毕")});
    state.taskState = "resume:x";
    select(0);
    for (MenuItem item :
         {MenuItem::StartTask, MenuItem::PauseTask, MenuItem::ResumeTask, MenuItem::DownloadAll})
        choose(item);
    tick(Timer::时钟2);
    tick(Timer::时钟1);
    destroying(ui::WindowId::Main);
    choose(MenuItem::ForceStop);
    settle();
    EXPECT_EQ(ui.rowCount(DownloadList), 1);
    EXPECT_EQ(state.rowCount, 1);
}

} // namespace
} // namespace plendrik::downloads
