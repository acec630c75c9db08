// The commands of the download list's row menu "菜单" and its mouse behaviour.
#pragma once

#include "app/context.h"

namespace plendrik::downloads {

namespace DownloadCommands {
// "打开文件": opens the selected row's zip file with the desktop.
void openFile(app::Context& ctx);
// "删除任务": stops the transfer, deletes the selected row (and its partial file).
void deleteTask(app::Context& ctx);
// "删除任务及文件": as deleteTask, and deletes the row's zip file or says that it is missing.
void deleteTaskAndFile(app::Context& ctx);
// "打开下载目录"
void openFolder(app::Context& ctx);
} // namespace DownloadCommands

namespace DownloadListMouse {
// A double-click: the task menu "表" on a row (row -1: the empty area, no menu).
void activated(app::Context& ctx, int row);
// A right click: the row menu "菜单" when the list has rows.
void rightClicked(app::Context& ctx);
} // namespace DownloadListMouse

} // namespace plendrik::downloads
