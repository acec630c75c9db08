#include "app/startup.h"

#include "app/module_events.h"
#include "downloads/download_page.h"
#include "downloads/runner_event_thread.h"
#include "web/addresses.h"
#include "web/update_check.h"

namespace plendrik::app {

using ui::MenuItem;

void startEngine(AppState& state, std::unique_ptr<downloads::DownloadEngine> engine) {
    state.engine = std::move(engine);
    state.task = std::make_unique<downloads::TaskRecord>();
}

void exitCleanup(AppState& state) {
    // First, so that the events the engine raises while it is destroyed are dropped.
    if (state.runnerEvents) {
        state.runnerEvents->stop();
        state.runnerEvents.reset();
    }
    if (state.engine) {
        state.engine->destroy();
        state.engine.reset();
    }
    state.taskState.clear();
    state.taskState.shrink_to_fit();
    state.task.reset();
    state.progressText.clear();
    state.progressText.shrink_to_fit();
}

void MainWindow::onCreated(Context& ctx) {
    web::startUpdateCheck(ctx);
    ctx.ui.setMenuItemDisabled(MenuItem::ResumeTask, true);
    ctx.ui.setMenuItemDisabled(MenuItem::PauseTask, true);
    ctx.ui.setMenuItemDisabled(MenuItem::ForceStop, true);
    ctx.ui.setBrowserAddress(ui::main_window::超文本浏览框1,
                             web::address(ctx.config, web::Address::CoursePage));
    ctx.ui.attachHoverTip(ui::main_window::气球提示框1, ui::main_window::ResourceList,
                          "双击添加资源，资源添加成功后进入下载页面");
    downloads::DownloadPage::restore(ctx);
    ctx.ui.setTrayIcon(ui::WindowId::Main, kProgramIcon, kTrayTip);
}

void ExitCommand(Context& ctx) {
    if (ctx.state.busy == 1 &&
        ctx.ui.messageBox("目前有任务正在下载中，是否强行关闭", ui::kYesNo, "关闭") != ui::kAnswerYes)
        return;
    ctx.ui.endProgram(0);
}

bool handleShellEvent(Context& ctx, const ui::UiEvent& event) {
    if (event.kind == ui::EventKind::WindowCreated && event.window == ui::WindowId::Main) {
        MainWindow::onCreated(ctx);
        return true;
    }
    if (event.kind == ui::EventKind::MenuChosen && event.item == MenuItem::ExitProgram) {
        ExitCommand(ctx);
        return true;
    }
    return false;
}

} // namespace plendrik::app
