// Names of the program's windows, controls, timers, menus and menu items, as the logic refers to
// them. The Qt binding builds each window from its layout table and finds controls by these names.
#pragma once

#include <cstdint>
#include <string_view>

namespace plendrik::ui {

enum class WindowId : std::uint8_t { Main, Video, Player, Forum, About };

// A control is named within its window, as in the window layouts (several windows have a `树型框1`).
struct Control {
    WindowId window = WindowId::Main;
    std::string_view name;
    friend constexpr bool operator==(const Control&, const Control&) = default;
};

namespace main_window {
inline constexpr Control 透明标签1{WindowId::Main, "透明标签1"};
inline constexpr Control 图形按钮2{WindowId::Main, "图形按钮2"}; // close: save question, end
inline constexpr Control 图形按钮3{WindowId::Main, "图形按钮3"}; // minimise
inline constexpr Control 图形按钮4{WindowId::Main, "图形按钮4"}; // disabled, no action
inline constexpr Control 工具条1{WindowId::Main, "工具条1"};
inline constexpr Control 选择夹1{WindowId::Main, "选择夹1"};
inline constexpr Control 标签1{WindowId::Main, "标签1"};
inline constexpr Control 标签2{WindowId::Main, "标签2"};
inline constexpr Control 标签4{WindowId::Main, "标签4"};
inline constexpr Control 进度条1{WindowId::Main, "进度条1"};
inline constexpr Control 编辑框1{WindowId::Main, "编辑框1"}; // search keyword
inline constexpr Control 编辑框2{WindowId::Main, "编辑框2"}; // hidden search buffer
inline constexpr Control 按钮1{WindowId::Main, "按钮1"};     // "查找"
inline constexpr Control 树型框1{WindowId::Main, "树型框1"};
inline constexpr Control 超级列表框1{WindowId::Main, "超级列表框1"}; // resource list
inline constexpr Control 超级列表框2{WindowId::Main, "超级列表框2"}; // download list
inline constexpr Control 超文本浏览框1{WindowId::Main, "超文本浏览框1"}; // course page, page 1
inline constexpr Control 气球提示框1{WindowId::Main, "气球提示框1"};
inline constexpr Control 气球提示框2{WindowId::Main, "气球提示框2"};

inline constexpr Control ResourceList = 超级列表框1;
inline constexpr Control DownloadList = 超级列表框2;
} // namespace main_window

namespace video_window {
inline constexpr Control 透明标签1{WindowId::Video, "透明标签1"};
inline constexpr Control 图形按钮2{WindowId::Video, "图形按钮2"}; // close
inline constexpr Control 图形按钮3{WindowId::Video, "图形按钮3"}; // minimise
inline constexpr Control 图形按钮4{WindowId::Video, "图形按钮4"};
inline constexpr Control 工具条1{WindowId::Video, "工具条1"};
inline constexpr Control 树型框1{WindowId::Video, "树型框1"};
inline constexpr Control 超级列表框2{WindowId::Video, "超级列表框2"}; // course list
inline constexpr Control 气球提示框1{WindowId::Video, "气球提示框1"};
inline constexpr Control 标签1{WindowId::Video, "标签1"};
inline constexpr Control 标签2{WindowId::Video, "标签2"};

inline constexpr Control CourseList = 超级列表框2;
} // namespace video_window

namespace player_window {
inline constexpr Control 超文本浏览框1{WindowId::Player, "超文本浏览框1"};
}

namespace forum_window {
inline constexpr Control 超文本浏览框1{WindowId::Forum, "超文本浏览框1"};
}

namespace about_window {
inline constexpr Control 分组框1{WindowId::About, "分组框1"};
inline constexpr Control 超级链接框1{WindowId::About, "超级链接框1"};
inline constexpr Control 超级链接框2{WindowId::About, "超级链接框2"};
inline constexpr Control 标签2{WindowId::About, "标签2"};
inline constexpr Control 标签3{WindowId::About, "标签3"};
} // namespace about_window

// The main window's three timers.
enum class Timer : std::uint8_t { 时钟1, 时钟2, 时钟3 };

// The four popup menus of the main window's menu definition (hidden top-level entries).
enum class Menu : std::uint8_t { 表, 菜单, 托盘, 添加 };

// Every menu item, grouped by popup in the definition's order.
enum class MenuItem : std::uint8_t {
    // "表"
    StartTask,   // "开始任务(稳定)"
    ResumeTask,  // "继续任务"
    PauseTask,   // "暂停任务"
    DownloadAll, // "一键下载全部任务(不稳定)"
    ForceStop,   // "强行停止任务"
    // "菜单"
    OpenFile,          // "打开文件"
    DeleteTask,        // "删除任务"
    DeleteTaskAndFile, // "删除任务及文件"
    OpenFolder,        // "打开下载目录"
    ClearList,         // "清空下载列表"
    // "托盘"
    AboutAuthor, // "关于作者"
    Recruit,     // "人才应聘"
    SponsorForum, // "赞助论坛"
    FreeTask,    // "免费任务"
    CheckUpdate, // "检测更新"
    Support,     // "联系客服"
    ExitProgram, // "退出程序"
    // "添加"
    AddToPage,      // "添加到下载页面"
    AddAndShowPage, // "添加并转到下载页面"
    AddAll,         // "一键添加所有资源"
};

} // namespace plendrik::ui
