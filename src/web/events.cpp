#include "app/module_events.h"
#include "web/forum_window.h"
#include "web/update_check.h"

namespace plendrik::web {

using ui::EventKind;

bool handleWebEvent(Context& ctx, const ui::UiEvent& event) {
    if (event.window == ui::WindowId::Forum) {
        if (event.kind == EventKind::WindowCreated) {
            ForumWindow::onCreated(ctx);
            return true;
        }
        if (event.kind == EventKind::WindowResized) {
            ForumWindow::fitBrowser(ctx.ui);
            return true;
        }
    }
    if (event.kind == EventKind::MenuChosen && event.item == ui::MenuItem::CheckUpdate) {
        UpdateCommand(ctx);
        return true;
    }
    return false;
}

} // namespace plendrik::web
