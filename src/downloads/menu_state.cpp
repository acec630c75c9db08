#include "downloads/menu_state.h"

namespace plendrik::downloads {

namespace {

constexpr Switch on = Switch::On;
constexpr Switch off = Switch::Off;
constexpr Switch keep = Switch::Unchanged;

// clang-format off
// Columns: 开始任务, 继续任务, 暂停任务, 一键下载全部任务, 强行停止任务,
//          打开文件, 删除任务, 删除任务及文件, 打开下载目录, 清空下载列表
constexpr MenuStateRow kTable[] = {
    {MenuEvent::ProgramStart,   {on  , off , off , on  , off , on  , on  , on  , on  , on  }, BarChange::Hidden},
    {MenuEvent::SingleStart,    {off , on  , on  , off , on  , keep, off , off , keep, off }, BarChange::Shown},
    {MenuEvent::BatchStart,     {keep, keep, keep, keep, keep, keep, keep, keep, keep, keep}, BarChange::Unchanged},
    {MenuEvent::ScanTick,       {off , on  , on  , keep, on  , keep, off , off , keep, off }, BarChange::Shown},
    {MenuEvent::BatchFinished,  {on  , off , off , keep, off , keep, on  , on  , keep, on  }, BarChange::HiddenAtZero},
    {MenuEvent::Completion,     {on  , off , off , on  , off , keep, on  , on  , keep, on  }, BarChange::HiddenAtZero},
    {MenuEvent::Failure,        {on  , off , off , on  , keep, on  , on  , on  , on  , on  }, BarChange::Hidden},
    {MenuEvent::ForceStop,      {on  , off , off , on  , keep, on  , on  , on  , on  , on  }, BarChange::Hidden},
    {MenuEvent::PauseOrResume,  {keep, keep, keep, keep, keep, keep, keep, keep, keep, keep}, BarChange::Unchanged},
};
// clang-format on

constexpr bool inEventOrder() {
    for (std::size_t i = 0; i < std::size(kTable); ++i)
        if (static_cast<std::size_t>(kTable[i].event) != i)
            return false;
    return true;
}
static_assert(inEventOrder(), "one row per event, in the order of MenuEvent");

} // namespace

std::span<const MenuStateRow> menuStateTable() {
    return kTable;
}

const MenuStateRow& menuStateRow(MenuEvent event) {
    return kTable[static_cast<std::size_t>(event)];
}

void applyMenuState(ui::UiFacade& ui, MenuEvent event) {
    const MenuStateRow& row = menuStateRow(event);
    for (std::size_t i = 0; i < kDownloadMenuItems.size(); ++i)
        if (row.items[i] != Switch::Unchanged)
            ui.setMenuItemDisabled(kDownloadMenuItems[i], row.items[i] == Switch::Off);
    if (row.bar == BarChange::Unchanged)
        return;
    if (row.bar == BarChange::HiddenAtZero)
        ui.setProgressPosition(ui::main_window::进度条1, 0);
    const bool shown = row.bar == BarChange::Shown;
    ui.setControlVisible(ui::main_window::标签4, shown);
    ui.setControlVisible(ui::main_window::进度条1, shown);
}

} // namespace plendrik::downloads
