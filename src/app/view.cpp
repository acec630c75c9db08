#include "app/view.h"

namespace plendrik::app {

using namespace ui::main_window;

void ShowDownloadPage(ui::UiFacade& ui) {
    const ui::Rect r = ui.controlRect(ResourceList);
    ui.setControlLeft(DownloadList, r.left);
    ui.setControlWidth(DownloadList, r.width);
    ui.setControlHeight(DownloadList, r.height);
    ui.setControlTop(DownloadList, r.top);
}

void HideDownloadPage(ui::UiFacade& ui) { ui.setControlTop(DownloadList, kHiddenDownloadListTop); }

void SelectViewButton(ui::UiFacade& ui, int n) { ui.checkToolbarButton(工具条1, n); }

} // namespace plendrik::app
