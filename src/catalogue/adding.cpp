#include "catalogue/adding.h"

#include "app/view.h"
#include "catalogue/category.h"
#include "downloads/columns.h"

#include <string>
#include <vector>

namespace plendrik::catalogue {
namespace {

using namespace ui::main_window;
using downloads::DownloadColumn;

// A download page row for resource row r; the folder is that of the tree item selected now, or
// empty when that item is not a category.
ui::Row downloadRow(ui::UiFacade& ui, int r, std::string_view folder) {
    ui::Row row(5);
    row[DownloadColumn::Name] = ui.cellText(ResourceList, r, 0);
    row[DownloadColumn::Size] = ui.cellText(ResourceList, r, 1);
    row[DownloadColumn::State] = downloads::RowState::Unfinished;
    row[DownloadColumn::Folder] = folder;
    return row;
}

std::string_view selectedFolder(ui::UiFacade& ui) {
    const Category* category = categoryForTreeIndex(ui.selectedTreeItem(树型框1));
    return category ? category->folder : std::string_view();
}

// The rows go in as whole rows, so their cells can only land in the rows just appended.
void appendToPage(app::Context& ctx, std::vector<ui::Row> rows) {
    const int added = static_cast<int>(rows.size());
    ctx.ui.appendRows(DownloadList, std::move(rows));
    ctx.state.rowCount += added;
}

} // namespace

void AddSelectedResource(app::Context& ctx) {
    ui::UiFacade& ui = ctx.ui;
    const int selected = ui.selectedRow(ResourceList);
    if (ui.rowCount(ResourceList) == 0 || selected < 0)
        return;
    const std::string name = ui.cellText(ResourceList, selected, 0);
    if (ui.rowCount(DownloadList) > 0 && ui.findRow(DownloadList, name, 0, true) >= 0) {
        ui.messageBox("资源添加失败，下载页面以有此资源，请勿重复添加", ui::kOk | ui::kInformationIcon,
                      "添加资源失败");
        return;
    }
    std::vector<ui::Row> rows;
    rows.push_back(downloadRow(ui, selected, selectedFolder(ui)));
    appendToPage(ctx, std::move(rows));
    ui.messageBox("欲下载资源添加成功，请进入下载页面下载", ui::kOk | ui::kInformationIcon, "添加资源");
}

void AddAllResources(app::Context& ctx) {
    ui::UiFacade& ui = ctx.ui;
    const std::string_view folder = selectedFolder(ui);
    const int count = ui.rowCount(ResourceList);
    std::vector<ui::Row> rows;
    rows.reserve(static_cast<std::size_t>(count));
    for (int r = 0; r < count; ++r)
        rows.push_back(downloadRow(ui, r, folder));
    appendToPage(ctx, std::move(rows));
    if (ui.messageBox("数据一键添加成功，请问是否跳到下载页面？", ui::kYesNo, "软件询问") == ui::kAnswerYes) {
        app::SelectViewButton(ui, 0);
        app::ShowDownloadPage(ui);
    }
}

} // namespace plendrik::catalogue
