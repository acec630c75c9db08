#include "app/main_commands.h"

#include "app/module_events.h"

namespace plendrik::app {

using ui::EventKind;
using ui::WindowId;
namespace mw = ui::main_window;

// The title label reports a right click as a click with index 3.
constexpr int kRightButton = 3;

bool handleMainCommandEvent(Context& ctx, const ui::UiEvent& event) {
    switch (event.kind) {
    case EventKind::ToolbarClicked:
        if (event.control != mw::工具条1)
            return false;
        MainWindow::onToolbarClick(ctx, event.index);
        return true;
    case EventKind::TrayEvent:
        MainWindow::onTrayEvent(ctx, event.index);
        return true;
    case EventKind::WindowMoved:
        if (event.window != WindowId::Main)
            return false;
        MainWindow::onMoved(ctx);
        return true;
    case EventKind::ButtonClicked:
        if (event.control == mw::图形按钮3) {
            MainWindow::onMinimiseClick(ctx);
            return true;
        }
        if (event.control == mw::透明标签1 && event.index == kRightButton) {
            MainWindow::onTitleRightClick(ctx);
            return true;
        }
        return false;
    case EventKind::MenuChosen:
        return MainWindow::onTrayMenu(ctx, event.item);
    default:
        return false;
    }
}

} // namespace plendrik::app
