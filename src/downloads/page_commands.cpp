#include "downloads/page_commands.h"

#include "downloads/columns.h"
#include "downloads/paths.h"

namespace plendrik::downloads {

using ui::main_window::DownloadList;

namespace {

void stopTransfer(app::Context& ctx) {
    if (ctx.state.engine)
        ctx.state.engine->stopTask(ctx.state.taskState, 2);
}

// Deletes the row and its partial file and keeps the counter equal to the number of rows.
void deleteRow(app::Context& ctx, int row, const std::string& name) {
    ctx.ui.deleteFile(partPath(ctx.paths, name));
    ctx.ui.deleteRow(DownloadList, row);
    --ctx.state.rowCount;
}

} // namespace

namespace DownloadCommands {

// With no row selected the commands that name a row do nothing: a deletion would change the
// counter without a row going, and an empty name names no file.

void openFile(app::Context& ctx) {
    const int row = ctx.ui.selectedRow(DownloadList);
    if (row < 0)
        return;
    ctx.ui.shellOpen(zipPath(ctx.paths, ctx.ui.cellText(DownloadList, row, Name)));
}

void deleteTask(app::Context& ctx) {
    const int row = ctx.ui.selectedRow(DownloadList);
    if (row < 0)
        return;
    stopTransfer(ctx);
    deleteRow(ctx, row, ctx.ui.cellText(DownloadList, row, Name));
}

void deleteTaskAndFile(app::Context& ctx) {
    const int row = ctx.ui.selectedRow(DownloadList);
    if (row < 0)
        return;
    stopTransfer(ctx);
    const std::string name = ctx.ui.cellText(DownloadList, row, Name);
    const std::string zip = zipPath(ctx.paths, name);
    if (ctx.ui.fileExists(zip))
        ctx.ui.deleteFile(zip);
    else
        ctx.ui.messageBox("文件路径已被修改或已被删除", ui::kOk | ui::kInformationIcon, "文件");
    deleteRow(ctx, row, name);
}

void openFolder(app::Context& ctx) {
    ctx.ui.shellOpen(ctx.paths.downloadFolder);
}

} // namespace DownloadCommands

namespace DownloadListMouse {

void activated(app::Context& ctx, int row) {
    if (row >= 0 && row < ctx.ui.rowCount(DownloadList))
        ctx.ui.popupMenu(ui::WindowId::Main, ui::Menu::表);
}

void rightClicked(app::Context& ctx) {
    if (ctx.ui.rowCount(DownloadList) > 0)
        ctx.ui.popupMenu(ui::WindowId::Main, ui::Menu::菜单);
}

} // namespace DownloadListMouse

} // namespace plendrik::downloads
