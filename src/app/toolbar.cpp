#include "app/main_commands.h"

#include "app/view.h"
#include "catalogue/loader.h"
#include "web/addresses.h"

namespace plendrik::app::MainWindow {
namespace {

using ui::WindowId;
using web::Address;

// Toolbar button 2 loads this category without touching the tree's selection.
constexpr std::string_view kToolbarCategoryFolder = "vantorojichushenru";

void openVideoWindow(Context& ctx) {
    if (ctx.ui.isWindowCreated(WindowId::Video)) {
        ctx.ui.activateWindow(WindowId::Video);
        return;
    }
    if (ctx.ui.messageBox("您已打开视频教学系统，是否最小化主窗口", ui::kYesNo, "是否最小化") ==
        ui::kAnswerYes)
        ctx.ui.setWindowState(WindowId::Main, ui::kStateMinimised);
    ctx.ui.loadWindow(WindowId::Video);
}

} // namespace

void onToolbarClick(Context& ctx, int button) {
    ui::UiFacade& ui = ctx.ui;
    switch (button) {
    case 0:
        ui.setCurrentPage(ui::main_window::选择夹1, 0);
        ShowDownloadPage(ui);
        return;
    case 1:
        ui.setCurrentPage(ui::main_window::选择夹1, 1);
        ui.openAddress(web::address(ctx.config, Address::CoursePage));
        return;
    case 2:
        ui.setCurrentPage(ui::main_window::选择夹1, 0);
        catalogue::StartCatalogueLoad(ctx, *catalogue::categoryByFolder(kToolbarCategoryFolder));
        return;
    case 3:
        ui.openAddress(web::address(ctx.config, Address::ResourceShare));
        return;
    case 4:
        ui.openAddress(web::address(ctx.config, Address::Suggestions));
        return;
    case 5: {
        const std::string text = web::shareText(ctx.config);
        ui.setClipboardText(text);
        ui.messageBox("已成功复制：" + text, ui::kOk);
        return;
    }
    case 6:
        ui.openAddress(web::address(ctx.config, Address::SponsorThread));
        return;
    case 7:
        openVideoWindow(ctx);
        return;
    default:
        return;
    }
}

} // namespace plendrik::app::MainWindow
