// The main window's menu definition: four hidden top-level entries used only as popup menus.
#pragma once

#include "ui/controls.h"

#include <span>
#include <string_view>

namespace plendrik::ui {

struct MenuItemSpec {
    MenuItem item;
    std::string_view text;
};

std::string_view menuTitle(Menu menu);
std::span<const MenuItemSpec> menuItems(Menu menu); // in order
std::string_view menuItemText(MenuItem item);
Menu menuOf(MenuItem item);

} // namespace plendrik::ui
