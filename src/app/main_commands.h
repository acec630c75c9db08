// The main window's commands outside the lists: the toolbar, the tray icon and its menu, and the
// title bar's minimise button.
#pragma once

#include "app/context.h"

namespace plendrik::app::MainWindow {

void onToolbarClick(Context& ctx, int button);
// 1 left button released, 2 left double-click, 3 right button released.
void onTrayEvent(Context& ctx, int code);
// Every change of the window's position; minimising is one.
void onMoved(Context& ctx);
void onMinimiseClick(Context& ctx);
// A right click on the title label: the tray menu's only way in where the desktop has no tray.
void onTitleRightClick(Context& ctx);
// The tray menu's items other than "退出程序" and "检测更新"; false for any other item.
bool onTrayMenu(Context& ctx, ui::MenuItem item);

} // namespace plendrik::app::MainWindow
