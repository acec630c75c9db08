// The download runner: turns download page rows into engine transfers, one at a time, and keeps
// the page, the progress bar and the task menus in step with them. Every operation runs on the
// user-interface thread; the engine's events reach it through a RunnerEventThread.
#pragma once

#include "app/context.h"
#include "downloads/runner_event_thread.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace plendrik::downloads {

namespace DownloadRunner {

// Timer periods, in milliseconds.
inline constexpr int kSingleStartPoll = 1; // 时钟1 after a single start
inline constexpr int kPoll = 100;          // 时钟1 after a scan tick or a continue
inline constexpr int kScan = 100;          // 时钟2 after a batch start
inline constexpr int kNextRowDelay = 3000; // 时钟2 after a file of the batch is complete

inline constexpr std::string_view kBusyMessage = "不能同时下载多个文件，请单独下载";
inline constexpr std::string_view kBusyCaption = "提示";
inline constexpr std::string_view kFailureMessage = "加载无响应，请重新下载任务！";
inline constexpr std::string_view kFailureCaption = "响应提示";
inline constexpr std::string_view kExitQuestion = "您还有任务正在下载，是否继续退出？";
inline constexpr std::string_view kExitCaption = "任务询问";

void startSelected(app::Context& ctx); // "开始任务(稳定)"
void startBatch(app::Context& ctx);    // "一键下载全部任务(不稳定)"
void batchScan(app::Context& ctx);     // tick of 时钟2
void progressTick(app::Context& ctx);  // tick of 时钟1
void pause(app::Context& ctx);         // "暂停任务"
void resume(app::Context& ctx);        // "继续任务"
void forceStop(app::Context& ctx);     // "强行停止任务"
void confirmExit(app::Context& ctx);   // the main window is about to be destroyed

// The steps of one engine event on the user-interface thread: 3 keeps the size, 4 ends the
// transfer, 9 (after its message was closed) returns the page to idle; other codes do nothing.
void onEngineEvent(app::Context& ctx, int code, std::int64_t value);
void onEngineEvent(app::Context& ctx, const RunnerEvent& event);

// The progress cell while running: "2048KB" and 524288 bytes done give "2048KB/512KB".
std::string progressCell(std::string_view sizeText, std::int64_t doneBytes);
// The bar's position, 0..100, truncated; 0 while the total is unknown.
int progressPosition(std::int64_t doneBytes, std::int64_t totalBytes);
// A finish event marks the file complete when it carries exactly the total size.
constexpr bool isComplete(std::int64_t finishedBytes, std::int64_t totalBytes) {
    return finishedBytes == totalBytes;
}

} // namespace DownloadRunner

} // namespace plendrik::downloads
