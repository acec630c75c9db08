#include "web/update_check.h"

#include "app/startup.h"
#include "catalogue/split_text.h"
#include "common/gbk.h"
#include "common/paths.h"
#include "web/addresses.h"

namespace plendrik::web {

VersionVerdict judgeVersionFile(std::string_view body) {
    const auto pieces = catalogue::SplitText(gbk::untilZero(body), "|");
    if (pieces.size() < 3)
        return VersionVerdict::NoAnswer;
    // Byte for byte: case, spaces and line breaks all count as a difference.
    return pieces[1] == app::kVersionLabel ? VersionVerdict::Current : VersionVerdict::NewVersion;
}

int balloonLeft(int screenWidth, int mainOuterWidth) {
    return static_cast<int>(screenWidth - mainOuterWidth / 2.0);
}

UpdateCheckInput updateCheckInput(const app::Config& config) {
    return {address(config, Address::VersionFile), address(config, Address::DownloadThread)};
}

std::string updaterPath(ui::UiFacade& ui) {
    return joinPath(ui.programFolder(), "update.exe");
}

void runUpdateCheck(ui::UiFacade& ui, const UpdateCheckInput& input) {
    if (judgeVersionFile(ui.httpGet(input.versionFileAddress)) != VersionVerdict::NewVersion)
        return;
    ui.showBalloonAt(ui::main_window::气球提示框2,
                     balloonLeft(ui.screenWidth(), ui.outerWidth(ui::WindowId::Main)), 120,
                     "Plendrik版本更新了，请到官方论坛下载最新版本吧！");
    ui.openAddress(input.downloadThreadAddress);
    const std::string updater = updaterPath(ui);
    if (ui.fileExists(updater)) {
        ui.runProgram(updater);
        return;
    }
    ui.messageBox("自动更新程序已损坏，请手动官方下载", ui::kOk);
    ui.openAddress(input.downloadThreadAddress);
}

void startUpdateCheck(app::Context& ctx) {
    // The facade outlives every thread of the program; the addresses travel as copies.
    ui::UiFacade* ui = &ctx.ui;
    ctx.ui.startThread([ui, input = updateCheckInput(ctx.config)] { runUpdateCheck(*ui, input); });
}

void UpdateCommand(app::Context& ctx) {
    const std::string updater = updaterPath(ctx.ui);
    if (ctx.ui.fileExists(updater)) {
        ctx.ui.runProgram(updater);
        return;
    }
    ctx.ui.messageBox("update.exe更新文件已被损坏，请去官方论坛重新下载更新文件", ui::kOk, "更新");
    ctx.ui.openAddress(address(ctx.config, Address::DownloadThread));
}

} // namespace plendrik::web
