#include "app/module_events.h"
#include "downloads/download_page.h"
#include "downloads/page_commands.h"

namespace plendrik::downloads {

using ui::EventKind;
using ui::MenuItem;

namespace {

// The items of the row menu "菜单" and their commands.
constexpr std::pair<MenuItem, void (*)(app::Context&)> kRowMenu[] = {
    {MenuItem::OpenFile, DownloadCommands::openFile},
    {MenuItem::DeleteTask, DownloadCommands::deleteTask},
    {MenuItem::DeleteTaskAndFile, DownloadCommands::deleteTaskAndFile},
    {MenuItem::OpenFolder, DownloadCommands::openFolder},
    {MenuItem::ClearList, DownloadPage::clearAll},
};

} // namespace

bool handleDownloadPageEvent(Context& ctx, const ui::UiEvent& event) {
    switch (event.kind) {
    case EventKind::ButtonClicked:
        if (event.control != ui::main_window::图形按钮2)
            return false;
        DownloadPage::saveAndExit(ctx);
        return true;
    case EventKind::ListActivated:
        if (event.control != ui::main_window::DownloadList)
            return false;
        DownloadListMouse::activated(ctx, event.index);
        return true;
    case EventKind::ListRightClicked:
        if (event.control != ui::main_window::DownloadList)
            return false;
        DownloadListMouse::rightClicked(ctx);
        return true;
    case EventKind::MenuChosen:
        for (const auto& [item, command] : kRowMenu)
            if (item == event.item) {
                command(ctx);
                return true;
            }
        return false;
    default:
        return false;
    }
}

} // namespace plendrik::downloads
