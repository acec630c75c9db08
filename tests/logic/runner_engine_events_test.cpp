// The engine's events, raised on the engine's own thread, take effect on the user-interface thread
// in the order raised; a failure's message comes from the event thread and holds back the rest.
#include "support/runner_fixture.h"

#include <gmock/gmock.h>

#include <chrono>
#include <future>

namespace plendrik::downloads {
namespace {

using test::RunnerFixture;
using testing::ElementsAre;
using ui::MenuItem;
using ui::Timer;
using ui::main_window::DownloadList;

using Events = std::vector<std::pair<EngineEvent, std::int64_t>>;

// Holds every message box open on the thread that asked for it until released.
class HeldBoxes final {
public:
    explicit HeldBoxes(test::FakeUi& ui) : m_release(m_releasePromise.get_future().share()) {
        ui.setMessageBoxGate([this](const test::ShownMessage&) {
            m_shown.set_value();
            m_release.wait();
        });
    }
    ~HeldBoxes() { release(); }
    bool waitShown() { return m_shownFuture.wait_for(std::chrono::seconds(10)) == std::future_status::ready; }
    void release() {
        if (!m_released) {
            m_released = true;
            m_releasePromise.set_value();
        }
    }

private:
    std::promise<void> m_shown;
    std::future<void> m_shownFuture = m_shown.get_future();
    std::promise<void> m_releasePromise;
    std::shared_future<void> m_release;
    bool m_released = false;
};

std::vector<std::string> timerAndBoxCalls(const std::vector<std::string>& calls) {
    std::vector<std::string> out;
    for (const std::string& c : calls)
        if (c.starts_with("setTimerPeriod") || c.starts_with("messageBox"))
            out.push_back(c);
    return out;
}

struct OrderCase {
    const char* name;
    Events events;
    bool complete;
};

class EventOrderTest : public RunnerFixture, public testing::WithParamInterface<OrderCase> {};

TEST_P(EventOrderTest, stepsRunOnTheUiThreadInTheOrderRaised) {
    addRows({row("A", "未完成")});
    startRow(0);

    engine->raise(GetParam().events);
    state.runnerEvents->waitIdle();
    // Handed on, not yet applied: nothing but this thread touches the state and the page.
    EXPECT_EQ(state.totalBytes, 0);
    EXPECT_EQ(rowState(0), "正在下载");

    ui.runPosted();
    EXPECT_EQ(rowState(0), GetParam().complete ? "已下载完毕" : "正在下载");
    EXPECT_EQ(state.busy, GetParam().complete ? 0 : 1);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EventOrderTest,
    testing::Values(
        OrderCase{"sizeThenFinish", {{EngineEvent::SizeKnown, 4096}, {EngineEvent::Finished, 4096}}, true},
        // Finish against a size of 0 is not 4096; the size arrives too late.
        OrderCase{"finishThenSize", {{EngineEvent::Finished, 4096}, {EngineEvent::SizeKnown, 4096}}, false},
        OrderCase{"otherCodesIgnored",
                  {{EngineEvent::SizeKnown, 10}, {EngineEvent::FileExists, 4096}, {EngineEvent{7}, 0}},
                  false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RunnerFixture, failure_messageComesFromTheEventThreadAndTheRestWaitsForIt) {
    addRows({row("A", "未完成", "4KB"), row("B", "未完成")});
    choose(MenuItem::DownloadAll);
    tick(Timer::时钟2); // the batch starts row 0
    engine->raise(EngineEvent::SizeKnown, 4096);
    settle();
    HeldBoxes boxes(ui);
    ui.clearLog();

    // The transfer fails; its thread then ends with all bytes counted.
    engine->raise({{EngineEvent::Failed, 100}, {EngineEvent::Finished, 4096}});
    ASSERT_TRUE(boxes.waitShown());

    // While the box is open the windows go on: posted work and timer ticks run, and none of the
    // failure's steps has happened.
    engine->setDoneLength(0);
    ui.runPosted();
    tick(Timer::时钟1);
    EXPECT_EQ(cell(0, DownloadColumn::Progress), "4KB/0KB");
    EXPECT_EQ(state.busy, 1);
    EXPECT_EQ(ui.timerPeriod(Timer::时钟1), 100);
    EXPECT_TRUE(ui.menuItemDisabled(MenuItem::StartTask));
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, "加载无响应，请重新下载任务！");
    EXPECT_EQ(ui.messages()[0].caption, "响应提示");
    EXPECT_EQ(ui.messages()[0].buttons, ui::kOk);
    EXPECT_TRUE(ui.messages()[0].fromWorker);

    boxes.release();
    settle();

    // The failure's steps, then the finish's, each whole and in that order. The finish of a failed
    // transfer only rewrites the progress cell: all bytes counted or not, the file is not whole.
    EXPECT_THAT(timerAndBoxCalls(ui.calls()),
                ElementsAre("messageBox 加载无响应，请重新下载任务！ 0 响应提示", "setTimerPeriod 1 0",
                            "setTimerPeriod 2 0"));
    EXPECT_EQ(engine->calls().back(), "stopTask 2");
    EXPECT_EQ(cell(0, DownloadColumn::Progress), "4KB/4KB");
    EXPECT_EQ(rowState(0), "正在下载");
}

// A file the server does not have: no size ever comes, and the transfer ends with 0 bytes against a
// total still 0. That is a failure, never "已下载完毕"; and the stop made on the engine's thread keeps
// the transfer's resume state, so the exit asks about it.
TEST_F(RunnerFixture, failureWithNothingDownloaded_isNotACompletionAndKeepsTheResumeState) {
    addRows({row("A", "未完成")});
    startRow(0);
    ASSERT_EQ(state.totalBytes, 0);

    engine->raise({{EngineEvent::Failed, 0}, {EngineEvent::Finished, 0}});
    settle();

    EXPECT_EQ(rowState(0), "正在下载");
    EXPECT_EQ(state.busy, 0);
    EXPECT_FALSE(ui.menuItemDisabled(MenuItem::StartTask));
    EXPECT_TRUE(ui.menuItemDisabled(MenuItem::PauseTask));
    EXPECT_EQ(state.taskState, "resume:" + addressOf("lib", "A"));

    ui.answerNext(ui::kAnswerNo);
    DownloadRunner::confirmExit(ctx);
    EXPECT_EQ(ui.messages().back().text, "您还有任务正在下载，是否继续退出？");

    // A new start is a fresh transfer again: its own finish completes it.
    startRow(0);
    engine->raise({{EngineEvent::SizeKnown, 0}, {EngineEvent::Finished, 0}});
    settle();
    EXPECT_EQ(rowState(0), "已下载完毕");
}

TEST_F(RunnerFixture, failure_returnsThePageToIdleAndKeepsTheRowForTheNextBatch) {
    addRows({row("A", "未完成"), row("B", "未完成")});
    choose(MenuItem::DownloadAll);
    tick(Timer::时钟2);
    engine->raise(EngineEvent::SizeKnown, 4096);
    engine->setDoneLength(700);

    engine->raise(EngineEvent::Failed, 700);
    settle();

    EXPECT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(state.busy, 0);
    EXPECT_EQ(ui.timerPeriod(Timer::时钟1), 0);
    EXPECT_EQ(ui.timerPeriod(Timer::时钟2), 0);
    EXPECT_FALSE(engine->active());
    EXPECT_EQ(state.taskState, "resume:" + addressOf("lib", "A"));
    EXPECT_FALSE(ui.controlVisible(ui::main_window::进度条1));
    EXPECT_FALSE(ui.controlVisible(ui::main_window::标签4));
    EXPECT_THAT(rowStates(), ElementsAre("正在下载", "正在下载"));
    EXPECT_EQ(state.currentRow, 0);

    // The next batch takes the failed row first.
    choose(MenuItem::DownloadAll);
    tick(Timer::时钟2);
    EXPECT_THAT(engine->addedAddresses(), ElementsAre(addressOf("lib", "A"), addressOf("lib", "A")));
}

TEST_F(RunnerFixture, eventsOfAReplacedTransfer_areDropped) {
    addRows({row("A", "未完成"), row("B", "未完成", "8KB")});
    startRow(0);
    engine->raise(EngineEvent::Failed, 0);
    settle();
    const EngineEventHandler oldHandler = state.task->eventHandler;

    startRow(1);
    std::thread lateEngineThread([&] {
        oldHandler(static_cast<int>(EngineEvent::SizeKnown), 1, 99, 0, 1);
        oldHandler(static_cast<int>(EngineEvent::Finished), 1, 99, 0, 1);
    });
    lateEngineThread.join();
    settle();

    EXPECT_EQ(state.totalBytes, 0);
    EXPECT_EQ(cell(1, DownloadColumn::Progress), "");
    EXPECT_EQ(rowState(1), "正在下载");
    EXPECT_EQ(state.busy, 1);
}

TEST_F(RunnerFixture, exitCleanup_neverWaitsForAnOpenFailureBox) {
    addRows({row("A", "未完成")});
    startRow(0);
    const EngineEventHandler handler = state.task->eventHandler;
    // Shared with the event thread, which runs on by itself after the clean-up.
    struct Box {
        std::promise<void> shown, release, returned;
    };
    auto box = std::make_shared<Box>();
    std::shared_future<void> released = box->release.get_future().share();
    std::future<void> shown = box->shown.get_future();
    std::future<void> returned = box->returned.get_future();
    ui.setMessageBoxGate([box, released](const test::ShownMessage&) {
        box->shown.set_value();
        released.wait();
        box->returned.set_value();
    });
    engine->raise(EngineEvent::Failed, 0);
    ASSERT_EQ(shown.wait_for(std::chrono::seconds(10)), std::future_status::ready);

    app::exitCleanup(state); // returns although the event thread is inside the box

    EXPECT_FALSE(state.runnerEvents);
    box->release.set_value();
    returned.wait();
    // Events after the end, and the failure's steps, are dropped.
    std::thread lateEngineThread([&] { handler(static_cast<int>(EngineEvent::Finished), 1, 0, 0, 1); });
    lateEngineThread.join();
    ui.runPosted();
    EXPECT_EQ(state.busy, 1);
    EXPECT_EQ(rowState(0), "正在下载");
}

} // namespace
} // namespace plendrik::downloads
