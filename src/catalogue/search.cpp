#include "catalogue/search.h"

#include <string>
#include <vector>

namespace plendrik::catalogue {

using namespace ui::main_window;

void SearchResources(app::Context& ctx) {
    ui::UiFacade& ui = ctx.ui;
    ui.setEditText(编辑框2, "");
    if (ui.rowCount(ResourceList) == 0) {
        ui.messageBox("您好，请您先选择培训版块", ui::kOk, "查询");
        return;
    }
    const std::string keyword = ui.editText(编辑框1);
    int row = ui.findRow(ResourceList, keyword, 0, false);
    if (row < 0) {
        ui.messageBox("您搜索的教程关键字未查询到，请您重新整理查询...", ui::kOk, "查询");
        return;
    }
    // The matched rows come back from their own cells rather than from the buffer's text: a row
    // whose last cell is empty would lose that cell in a re-split.
    std::vector<ui::Row> kept;
    std::string buffer;
    for (; row >= 0; row = ui.findRow(ResourceList, keyword, row + 1, false)) {
        ui::Row cells;
        for (int column = 0; column < 4; ++column) {
            cells.push_back(ui.cellText(ResourceList, row, column));
            buffer += cells.back();
            buffer += column < 3 ? "|" : "\r\n";
        }
        kept.push_back(std::move(cells));
    }
    ui.setEditText(编辑框2, buffer);
    ui.deleteAllRows(ResourceList);
    ui.appendRows(ResourceList, std::move(kept));
}

} // namespace plendrik::catalogue
