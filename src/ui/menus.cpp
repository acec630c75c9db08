#include "ui/menus.h"

#include <array>

namespace plendrik::ui {
namespace {

constexpr std::array kTaskMenu{
    MenuItemSpec{MenuItem::StartTask, "开始任务(稳定)"},
    MenuItemSpec{MenuItem::ResumeTask, "继续任务"},
    MenuItemSpec{MenuItem::PauseTask, "暂停任务"},
    MenuItemSpec{MenuItem::DownloadAll, "一键下载全部任务(不稳定)"},
    MenuItemSpec{MenuItem::ForceStop, "强行停止任务"},
};
constexpr std::array kRowMenu{
    MenuItemSpec{MenuItem::OpenFile, "打开文件"},
    MenuItemSpec{MenuItem::DeleteTask, "删除任务"},
    MenuItemSpec{MenuItem::DeleteTaskAndFile, "删除任务及文件"},
    MenuItemSpec{MenuItem::OpenFolder, "打开下载目录"},
    MenuItemSpec{MenuItem::ClearList, "清空下载列表"},
};
constexpr std::array kTrayMenu{
    MenuItemSpec{MenuItem::AboutAuthor, "关于作者"}, MenuItemSpec{MenuItem::Recruit, "人才应聘"},
    MenuItemSpec{MenuItem::SponsorForum, "赞助论坛"}, MenuItemSpec{MenuItem::FreeTask, "免费任务"},
    MenuItemSpec{MenuItem::CheckUpdate, "检测更新"},  MenuItemSpec{MenuItem::Support, "联系客服"},
    MenuItemSpec{MenuItem::ExitProgram, "退出程序"},
};
constexpr std::array kAddMenu{
    MenuItemSpec{MenuItem::AddToPage, "添加到下载页面"},
    MenuItemSpec{MenuItem::AddAndShowPage, "添加并转到下载页面"},
    MenuItemSpec{MenuItem::AddAll, "一键添加所有资源"},
};

} // namespace

std::string_view menuTitle(Menu menu) {
    switch (menu) {
    case Menu::表: return "表";
    case Menu::菜单: return "菜单";
    case Menu::托盘: return "托盘";
    case Menu::添加: return "添加";
    }
    return {};
}

std::span<const MenuItemSpec> menuItems(Menu menu) {
    switch (menu) {
    case Menu::表: return kTaskMenu;
    case Menu::菜单: return kRowMenu;
    case Menu::托盘: return kTrayMenu;
    case Menu::添加: return kAddMenu;
    }
    return {};
}

Menu menuOf(MenuItem item) {
    for (Menu menu : {Menu::表, Menu::菜单, Menu::托盘, Menu::添加})
        for (const auto& spec : menuItems(menu))
            if (spec.item == item)
                return menu;
    return Menu::表;
}

std::string_view menuItemText(MenuItem item) {
    for (const auto& spec : menuItems(menuOf(item)))
        if (spec.item == item)
            return spec.text;
    return {};
}

} // namespace plendrik::ui
