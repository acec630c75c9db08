#include "downloads/runner.h"

#include "downloads/columns.h"
#include "downloads/menu_state.h"
#include "downloads/paths.h"
#include "downloads/runner_event_thread.h"

#include <algorithm>
#include <cmath>

namespace plendrik::downloads::DownloadRunner {

namespace {

using ui::Timer;
using ui::main_window::DownloadList;

constexpr int kStopMode = 2;

bool hasEngine(const app::Context& ctx) {
    return ctx.state.engine && ctx.state.task;
}

void stopTransfer(app::Context& ctx) {
    if (hasEngine(ctx))
        ctx.state.engine->stopTask(ctx.state.taskState, kStopMode);
}

std::string cell(app::Context& ctx, int row, DownloadColumn column) {
    return ctx.ui.cellText(DownloadList, row, column);
}

// The event thread's part of an event. A failure's message is shown there: a box asked for from a
// worker blocks only that worker, so the windows and timers go on while it is open, and the
// failure's other steps (and every later event) wait until it is closed.
RunnerEventThread::WorkerPart workerPart(const app::Context& ctx) {
    return [ctx](const RunnerEvent& event) -> std::function<void()> {
        switch (static_cast<EngineEvent>(event.code)) {
        case EngineEvent::Failed:
            ctx.ui.messageBox(kFailureMessage, ui::kOk, kFailureCaption);
            [[fallthrough]];
        case EngineEvent::SizeKnown:
        case EngineEvent::Finished:
            return [ctx = app::Context(ctx), event]() mutable { onEngineEvent(ctx, event); };
        default:
            return {};
        }
    };
}

RunnerEventThread& events(app::Context& ctx) {
    if (!ctx.state.runnerEvents)
        ctx.state.runnerEvents = std::make_shared<RunnerEventThread>(ctx.ui, workerPart(ctx));
    return *ctx.state.runnerEvents;
}

// Hands the engine a fresh transfer of the row's zip file.
void startTransfer(app::Context& ctx, int row) {
    if (!hasEngine(ctx))
        return;
    TaskRecord& task = *ctx.state.task;
    const std::string name = cell(ctx, row, DownloadColumn::Name);
    task.address =
        ctx.config.resourceServerBase + cell(ctx, row, DownloadColumn::Folder) + "/" + name + ".zip";
    task.eventHandler = events(ctx).beginTransfer(
        [engine = ctx.state.engine.get()](TaskState& state) { return engine->stopTask(state, kStopMode); });
    ctx.state.transferFailed = false;
    if (!ctx.ui.fileExists(ctx.paths.downloadFolder))
        ctx.ui.createFolder(ctx.paths.downloadFolder);
    task.savePath = zipPath(ctx.paths, name);
    // A fresh transfer only. Resuming the last stopped transfer when this one is refused would
    // fetch another resource, and its end would mark this row complete.
    ctx.state.engine->addTask(task);
}

void finished(app::Context& ctx, std::int64_t bytes) {
    app::AppState& state = ctx.state;
    // The row's own size: the last progress tick may have shown the batch's previous row, or a
    // small file may end before any tick ran.
    state.progressText = cell(ctx, state.currentRow, DownloadColumn::Size);
    ctx.ui.setCell(DownloadList, state.currentRow, DownloadColumn::Progress,
                   state.progressText + "/" + state.progressText);
    // A failed transfer is never complete: its finish may even carry the total when the failure
    // came after the last byte (a short file, a failed rename).
    if (state.transferFailed || !isComplete(bytes, state.totalBytes))
        return;
    ctx.ui.setCell(DownloadList, state.currentRow, DownloadColumn::State, RowState::Finished);
    ctx.ui.setTimerPeriod(Timer::时钟1, 0);
    state.currentRow = -1;
    state.busy = 0;
    applyMenuState(ctx.ui, MenuEvent::Completion);
    if (state.batchMode != 0)
        ctx.ui.setTimerPeriod(Timer::时钟2, kNextRowDelay);
}

// The row keeps "正在下载", so a later batch picks it up again.
void failed(app::Context& ctx, const RunnerEvent& event) {
    ctx.ui.setTimerPeriod(Timer::时钟1, 0);
    ctx.ui.setTimerPeriod(Timer::时钟2, 0);
    if (event.stopped)
        ctx.state.taskState = event.resumeState;
    else
        stopTransfer(ctx);
    ctx.state.transferFailed = true;
    applyMenuState(ctx.ui, MenuEvent::Failure);
    ctx.state.busy = 0;
}

} // namespace

std::string progressCell(std::string_view sizeText, std::int64_t doneBytes) {
    return std::string(sizeText) + "/" + std::to_string(doneBytes / 1024) + "KB";
}

int progressPosition(std::int64_t doneBytes, std::int64_t totalBytes) {
    if (totalBytes <= 0 || doneBytes <= 0)
        return 0;
    const double percent =
        std::trunc(static_cast<double>(doneBytes) / static_cast<double>(totalBytes) * 100.0);
    return static_cast<int>(std::min(percent, 100.0));
}

void startSelected(app::Context& ctx) {
    // Nothing selected, nothing to start: the running transfer and the menus stay as they are
    // (stopping first would leave the menus in the running state with nothing running).
    const int row = ctx.ui.selectedRow(DownloadList);
    if (row < 0)
        return;
    ctx.state.batchMode = 0;
    stopTransfer(ctx);
    applyMenuState(ctx.ui, MenuEvent::SingleStart);
    if (ctx.state.busy == 1) {
        ctx.ui.messageBox(kBusyMessage, ui::kOk | ui::kInformationIcon, kBusyCaption);
        return;
    }
    startTransfer(ctx, row);
    ctx.state.currentRow = row;
    ctx.ui.setCell(DownloadList, row, DownloadColumn::State, RowState::Downloading);
    ctx.state.busy = 1;
    ctx.ui.setTimerPeriod(Timer::时钟1, kSingleStartPoll);
}

void startBatch(app::Context& ctx) {
    ctx.state.batchMode = 1;
    const int rows = ctx.ui.rowCount(DownloadList);
    for (int row = 0; row < rows; ++row)
        if (cell(ctx, row, DownloadColumn::State) == RowState::Unfinished)
            ctx.ui.setCell(DownloadList, row, DownloadColumn::State, RowState::Downloading);
    ctx.state.lastFinishedRow = 0;
    ctx.ui.setTimerPeriod(Timer::时钟2, kScan);
}

void batchScan(app::Context& ctx) {
    app::AppState& state = ctx.state;
    stopTransfer(ctx);
    ctx.ui.setTimerPeriod(Timer::时钟1, kPoll);
    applyMenuState(ctx.ui, MenuEvent::ScanTick);
    const int rows = ctx.ui.rowCount(DownloadList);
    for (state.scanIndex = 1; state.scanIndex <= rows; ++state.scanIndex) {
        const int row = state.scanIndex - 1;
        const std::string rowState = cell(ctx, row, DownloadColumn::State);
        if (rowState == RowState::Downloading) {
            startTransfer(ctx, row);
            state.currentRow = row;
            state.busy = 1;
            ctx.ui.setTimerPeriod(Timer::时钟2, 0);
            break;
        }
        if (rowState == RowState::Finished)
            state.lastFinishedRow = state.scanIndex;
    }
    // Finished once the last row reads "已下载完毕". 时钟2 goes on, so every later tick says so again.
    if (ctx.ui.rowCount(DownloadList) == state.lastFinishedRow) {
        state.busy = 0;
        applyMenuState(ctx.ui, MenuEvent::BatchFinished);
    }
}

void progressTick(app::Context& ctx) {
    app::AppState& state = ctx.state;
    const std::int64_t done = hasEngine(ctx) ? state.engine->doneLength() : 0;
    ctx.ui.setProgressPosition(ui::main_window::进度条1, progressPosition(done, state.totalBytes));
    state.progressText = cell(ctx, state.currentRow, DownloadColumn::Size);
    ctx.ui.setCell(DownloadList, state.currentRow, DownloadColumn::Progress,
                   progressCell(state.progressText, done));
}

void onEngineEvent(app::Context& ctx, int code, std::int64_t value) {
    onEngineEvent(ctx, RunnerEvent(code, value));
}

void onEngineEvent(app::Context& ctx, const RunnerEvent& event) {
    switch (static_cast<EngineEvent>(event.code)) {
    case EngineEvent::SizeKnown:
        ctx.state.totalBytes = event.value;
        break;
    case EngineEvent::Finished:
        finished(ctx, event.value);
        break;
    case EngineEvent::Failed:
        failed(ctx, event);
        break;
    default:
        break;
    }
}

// Pause and continue act on the last transfer, whatever row is selected; the selected row only
// shows the state text.
void pause(app::Context& ctx) {
    stopTransfer(ctx);
    ctx.ui.setTimerPeriod(Timer::时钟1, 0);
    ctx.ui.setCell(DownloadList, ctx.ui.selectedRow(DownloadList), DownloadColumn::State, RowState::Paused);
}

void resume(app::Context& ctx) {
    if (hasEngine(ctx) && ctx.state.engine->resumeTask(*ctx.state.task, ctx.state.taskState))
        ctx.state.transferFailed = false;
    ctx.ui.setTimerPeriod(Timer::时钟1, kPoll);
    ctx.ui.setCell(DownloadList, ctx.ui.selectedRow(DownloadList), DownloadColumn::State, RowState::Resumed);
}

void forceStop(app::Context& ctx) {
    stopTransfer(ctx);
    // The stopped transfer's last events would otherwise land on whatever row moves up into
    // AppState.currentRow once the selected row is gone.
    if (ctx.state.runnerEvents)
        ctx.state.runnerEvents->endTransfer();
    ctx.ui.setTimerPeriod(Timer::时钟1, 0);
    ctx.ui.setTimerPeriod(Timer::时钟2, 0);
    ctx.ui.setTimerPeriod(Timer::时钟3, 0);
    // The counter follows the rows: it goes down only when a row was really deleted.
    const int row = ctx.ui.selectedRow(DownloadList);
    if (row >= 0) {
        ctx.ui.deleteRow(DownloadList, row);
        --ctx.state.rowCount;
    }
    applyMenuState(ctx.ui, MenuEvent::ForceStop);
    ctx.state.busy = 0;
}

void confirmExit(app::Context& ctx) {
    if (ctx.state.taskState.empty())
        return;
    if (ctx.ui.messageBox(kExitQuestion, ui::kYesNo, kExitCaption) == ui::kAnswerYes)
        stopTransfer(ctx);
}

} // namespace plendrik::downloads::DownloadRunner
