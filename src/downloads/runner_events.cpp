#include "app/module_events.h"
#include "downloads/runner.h"

namespace plendrik::downloads {

namespace {

bool handleTaskMenu(Context& ctx, ui::MenuItem item) {
    switch (item) {
    case ui::MenuItem::StartTask:
        DownloadRunner::startSelected(ctx);
        return true;
    case ui::MenuItem::ResumeTask:
        DownloadRunner::resume(ctx);
        return true;
    case ui::MenuItem::PauseTask:
        DownloadRunner::pause(ctx);
        return true;
    case ui::MenuItem::DownloadAll:
        DownloadRunner::startBatch(ctx);
        return true;
    case ui::MenuItem::ForceStop:
        DownloadRunner::forceStop(ctx);
        return true;
    default:
        return false;
    }
}

} // namespace

bool handleRunnerEvent(Context& ctx, const ui::UiEvent& event) {
    switch (event.kind) {
    case ui::EventKind::MenuChosen:
        return handleTaskMenu(ctx, event.item);
    case ui::EventKind::TimerTick:
        if (event.timer == ui::Timer::时钟1) {
            DownloadRunner::progressTick(ctx);
            return true;
        }
        if (event.timer == ui::Timer::时钟2) {
            DownloadRunner::batchScan(ctx);
            return true;
        }
        return false;
    case ui::EventKind::WindowDestroying:
        if (event.window != ui::WindowId::Main)
            return false;
        DownloadRunner::confirmExit(ctx);
        return true;
    default:
        return false;
    }
}

} // namespace plendrik::downloads
