#include "web/forum_window.h"

#include "web/addresses.h"

namespace plendrik::web::ForumWindow {

using ui::WindowId;

void fitBrowser(ui::UiFacade& ui) {
    const int w = ui.outerWidth(WindowId::Forum);
    const int h = ui.outerHeight(WindowId::Forum);
    ui.moveControl(ui::forum_window::超文本浏览框1, {0, 0, w - 10, h - 25});
}

void onCreated(app::Context& ctx) {
    fitBrowser(ctx.ui);
    ctx.ui.setBrowserAddress(ui::forum_window::超文本浏览框1, address(ctx.config, Address::QuestionBoard));
}

} // namespace plendrik::web::ForumWindow
