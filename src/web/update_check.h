// The start-up version check and the "检测更新" command.
#pragma once

#include "app/context.h"

#include <string>
#include <string_view>

namespace plendrik::web {

// What the version file's body says against the program's own label. A body of fewer than three
// pieces (a failed fetch included) carries no answer, so the check ends without a word.
enum class VersionVerdict { NoAnswer, Current, NewVersion };
VersionVerdict judgeVersionFile(std::string_view body);

// The screen point of the new-version balloon: the screen width less half the main window's.
int balloonLeft(int screenWidth, int mainOuterWidth);

// What the worker needs, copied so that it depends on nothing the user-interface thread owns.
struct UpdateCheckInput {
    std::string versionFileAddress;
    std::string downloadThreadAddress;
};
UpdateCheckInput updateCheckInput(const app::Config& config);

// The check itself, on the calling thread; only facade calls allowed from workers.
void runUpdateCheck(ui::UiFacade& ui, const UpdateCheckInput& input);
// Starts runUpdateCheck on a new thread and returns at once.
void startUpdateCheck(app::Context& ctx);

// The tray's "检测更新": starts the updater beside the program, or says it is missing.
void UpdateCommand(app::Context& ctx);

// The updater's path: the program folder and "update.exe".
std::string updaterPath(ui::UiFacade& ui);

} // namespace plendrik::web
