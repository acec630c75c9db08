#include "app/module_events.h"
#include "downloads/download_page.h"
#include "downloads/page_commands.h"

namespace plendrik::downloads {

using ui::EventKind;
using ui::MenuItem;

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
        switch (event.item) {
        case MenuItem::OpenFile:
            DownloadCommands::openFile(ctx);
            return true;
        case MenuItem::DeleteTask:
            DownloadCommands::deleteTask(ctx);
            return true;
        case MenuItem::DeleteTaskAndFile:
            DownloadCommands::deleteTaskAndFile(ctx);
            return true;
        case MenuItem::OpenFolder:
            DownloadCommands::openFolder(ctx);
            return true;
        case MenuItem::ClearList:
            DownloadPage::clearAll(ctx);
            return true;
        default:
            return false;
        }
    default:
        return false;
    }
}

} // namespace plendrik::downloads
