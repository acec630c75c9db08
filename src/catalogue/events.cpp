#include "app/module_events.h"
#include "app/view.h"
#include "catalogue/adding.h"
#include "catalogue/category.h"
#include "catalogue/loader.h"
#include "catalogue/search.h"

namespace plendrik::catalogue {
namespace {

using namespace ui::main_window;
using ui::EventKind;
using ui::MenuItem;

constexpr int kEnterKey = 13;

// Item 0 shows the download page, item 1 the forum window, a category loads its catalogue; the
// parent items and no selection do nothing.
void onTreeDoubleClicked(Context& ctx) {
    const int item = ctx.ui.selectedTreeItem(树型框1);
    if (item == 0) {
        app::SelectViewButton(ctx.ui, 0);
        app::ShowDownloadPage(ctx.ui);
    } else if (item == 1) {
        // one forum window: an open one comes to the front
        if (ctx.ui.isWindowCreated(ui::WindowId::Forum))
            ctx.ui.activateWindow(ui::WindowId::Forum);
        else
            ctx.ui.loadWindow(ui::WindowId::Forum);
    } else if (const Category* category = categoryForTreeIndex(item)) {
        app::SelectViewButton(ctx.ui, 2);
        StartCatalogueLoad(ctx, *category);
    }
}

bool onMenuChosen(Context& ctx, MenuItem item) {
    switch (item) {
    case MenuItem::AddToPage:
        AddSelectedResource(ctx);
        return true;
    case MenuItem::AddAndShowPage:
        // the page is shown also when nothing was added
        AddSelectedResource(ctx);
        app::SelectViewButton(ctx.ui, 0);
        app::ShowDownloadPage(ctx.ui);
        return true;
    case MenuItem::AddAll:
        AddAllResources(ctx);
        return true;
    default:
        return false;
    }
}

} // namespace

bool handleCatalogueEvent(Context& ctx, const ui::UiEvent& event) {
    switch (event.kind) {
    case EventKind::TreeDoubleClicked:
        if (event.control != 树型框1)
            return false;
        onTreeDoubleClicked(ctx);
        return true;
    case EventKind::ButtonClicked:
        if (event.control != 按钮1)
            return false;
        SearchResources(ctx);
        return true;
    case EventKind::KeyPressed:
        if (event.control != 编辑框1 || event.index != kEnterKey)
            return false;
        SearchResources(ctx);
        return true;
    case EventKind::ListActivated:
        if (event.control != ResourceList)
            return false;
        AddSelectedResource(ctx);
        return true;
    case EventKind::ListRightClicked:
        if (event.control != ResourceList)
            return false;
        ctx.ui.popupMenu(ui::WindowId::Main, ui::Menu::添加);
        return true;
    case EventKind::MenuChosen:
        return onMenuChosen(ctx, event.item);
    default:
        return false;
    }
}

} // namespace plendrik::catalogue
