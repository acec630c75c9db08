#include "app/main_commands.h"

#include "web/addresses.h"

namespace plendrik::app::MainWindow {

using ui::MenuItem;
using ui::WindowId;
using web::Address;

void onTrayEvent(Context& ctx, int code) {
    if (code == ui::kTrayLeftDoubleClick) {
        ctx.ui.setWindowVisible(WindowId::Main, true);
        ctx.ui.focusWindow(WindowId::Main);
        ctx.ui.setWindowState(WindowId::Main, ui::kStateCentred);
    } else if (code == ui::kTrayRightUp) {
        ctx.ui.popupTrayMenu(WindowId::Main, ui::Menu::托盘);
    }
}

void onMoved(Context& ctx) {
    // Without a tray there would be no way back to a hidden window: it stays on the taskbar.
    if (ctx.ui.windowState(WindowId::Main) == ui::kStateMinimised && ctx.ui.isTrayAvailable())
        ctx.ui.setWindowVisible(WindowId::Main, false);
}

void onMinimiseClick(Context& ctx) {
    ctx.ui.setWindowState(WindowId::Main, ui::kStateMinimised);
}

void onTitleRightClick(Context& ctx) {
    if (!ctx.ui.isTrayAvailable())
        ctx.ui.popupTrayMenu(WindowId::Main, ui::Menu::托盘);
}

bool onTrayMenu(Context& ctx, MenuItem item) {
    switch (item) {
    case MenuItem::AboutAuthor:
        if (ctx.ui.isWindowCreated(WindowId::About))
            ctx.ui.activateWindow(WindowId::About);
        else
            ctx.ui.loadWindow(WindowId::About);
        return true;
    case MenuItem::Recruit:
        ctx.ui.openAddress(web::address(ctx.config, Address::RecruitThread));
        return true;
    case MenuItem::SponsorForum:
        ctx.ui.openAddress(web::address(ctx.config, Address::SponsorThread));
        return true;
    case MenuItem::FreeTask:
        ctx.ui.openAddress(web::address(ctx.config, Address::FreeTasks));
        return true;
    case MenuItem::Support:
        ctx.ui.openAddress(web::address(ctx.config, Address::SupportContact));
        return true;
    default:
        return false;
    }
}

} // namespace plendrik::app::MainWindow
