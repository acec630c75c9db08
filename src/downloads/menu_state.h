// Which task and row menu items are enabled, and whether the progress bar and its label show,
// after each download event. The table is data; one function applies a row of it.
#pragma once

#include "ui/controls.h"
#include "ui/ui_facade.h"

#include <array>
#include <cstdint>
#include <span>

namespace plendrik::downloads {

enum class MenuEvent : std::uint8_t {
    ProgramStart,
    SingleStart, // also when refused as busy
    BatchStart,
    ScanTick, // a batch scan tick, before it scans
    BatchFinished,
    Completion,
    Failure,
    ForceStop,
    PauseOrResume,
};

enum class Switch : std::uint8_t { Unchanged, On, Off };
enum class BarChange : std::uint8_t { Unchanged, Shown, Hidden, HiddenAtZero };

// The ten items in the order of the table's columns: the task menu "表", then the row menu "菜单".
inline constexpr std::array<ui::MenuItem, 10> kDownloadMenuItems = {
    ui::MenuItem::StartTask,   ui::MenuItem::ResumeTask,        ui::MenuItem::PauseTask,
    ui::MenuItem::DownloadAll, ui::MenuItem::ForceStop,         ui::MenuItem::OpenFile,
    ui::MenuItem::DeleteTask,  ui::MenuItem::DeleteTaskAndFile, ui::MenuItem::OpenFolder,
    ui::MenuItem::ClearList,
};

struct MenuStateRow {
    MenuEvent event;
    std::array<Switch, kDownloadMenuItems.size()> items;
    BarChange bar;
};

std::span<const MenuStateRow> menuStateTable();
const MenuStateRow& menuStateRow(MenuEvent event);

// Sets the items the row names (an enabled item gets disabled flag 0) and the bar and label.
void applyMenuState(ui::UiFacade& ui, MenuEvent event);

} // namespace plendrik::downloads
