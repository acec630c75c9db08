#include "video/video_window.h"

#include "catalogue/split_text.h"
#include "common/gbk.h"
#include "web/addresses.h"

#include <array>
#include <string>
#include <vector>

namespace plendrik::video {
namespace {

using ui::WindowId;
using web::Address;

constexpr std::array kTopics{
    Topic{0, "Vantoro编程视频", ""},
    Topic{1, "Vantoro基础培训", "zaixianshiping/zq9jichupeixun.txt"},
    Topic{2, "Vantoro强化培训", "zaixianshiping/zq9qianghuapeixun.txt"},
    Topic{3, "JAVA编程视频", ""},
    Topic{4, "JAVA基础培训", "zaixianshiping/jjichu.txt"},
    Topic{5, "JAVA进阶培训", "zaixianshiping/jjinjie.txt"},
    Topic{6, "JAVA强化培训", "zaixianshiping/jqianghua.txt"},
};

// The course list's hidden column holds the play address.
constexpr int kPlayAddressColumn = 2;

// Brings the main window back: visible, and out of the minimised state it may have been put in
// when this window opened (or it would stay a taskbar button / tray icon only).
void showMainWindow(ui::UiFacade& ui) {
    ui.setWindowVisible(WindowId::Main, true);
    if (ui.windowState(WindowId::Main) == ui::kStateMinimised)
        ui.setWindowState(WindowId::Main, ui::kStateCentred);
}

} // namespace

std::span<const Topic> topics() {
    return kTopics;
}

std::optional<std::string_view> courseListFileFor(int treeIndex) {
    for (const Topic& t : kTopics)
        if (t.treeIndex == treeIndex && !t.courseListFile.empty())
            return t.courseListFile;
    return std::nullopt;
}

namespace VideoWindow {

void onCreated(app::Context& ctx) {
    ctx.ui.attachHoverTip(ui::video_window::气球提示框1, ui::video_window::CourseList,
                          "双击教程，进入视频教学播放器");
}

void onTopicDoubleClick(app::Context& ctx) {
    if (const auto file = courseListFileFor(ctx.ui.selectedTreeItem(ui::video_window::树型框1)))
        loadCourseList(ctx, *file);
}

void loadCourseList(app::Context& ctx, std::string_view filePath) {
    ctx.ui.deleteAllRows(ui::video_window::CourseList);
    const std::string body = ctx.ui.httpGet(ctx.config.resourceServerBase + std::string(filePath));
    std::vector<ui::Row> rows;
    for (std::string_view line : catalogue::SplitText(gbk::untilZero(body), "\r\n")) {
        const auto fields = catalogue::SplitText(line, "|");
        // A line without name, description and play address would leave a row with empty
        // cells that plays nothing: it is left out.
        if (fields.size() < 3)
            continue;
        rows.push_back({gbk::toUtf8(fields[0]), gbk::toUtf8(fields[1]), gbk::toUtf8(fields[2])});
    }
    if (!rows.empty())
        ctx.ui.appendRows(ui::video_window::CourseList, std::move(rows));
}

void onCourseActivated(app::Context& ctx) {
    const int row = ctx.ui.selectedRow(ui::video_window::CourseList);
    if (row < 0)
        return;
    const std::string playAddress = ctx.ui.cellText(ui::video_window::CourseList, row, kPlayAddressColumn);
    // An open player first leaves its page, so the same course starts again from the beginning.
    if (ctx.ui.isWindowCreated(WindowId::Player))
        ctx.ui.setBrowserAddress(ui::player_window::超文本浏览框1, "");
    else
        ctx.ui.loadWindow(WindowId::Player);
    ctx.ui.setBrowserAddress(ui::player_window::超文本浏览框1, playAddress);
}

void onToolbarClick(app::Context& ctx, int button) {
    switch (button) {
    case 0:
        showMainWindow(ctx.ui);
        ctx.ui.activateWindow(WindowId::Main);
        ctx.ui.setWindowState(WindowId::Video, ui::kStateCentred);
        return;
    case 1:
        ctx.ui.openAddress(web::address(ctx.config, Address::RecruitThread));
        return;
    case 2:
        ctx.ui.openAddress(web::address(ctx.config, Address::DailySignIn));
        return;
    case 3:
        ctx.ui.openAddress(web::address(ctx.config, Address::GenuineSponsor));
        return;
    case 4:
        ctx.ui.openAddress(web::address(ctx.config, Address::ForumHome));
        return;
    default:
        return;
    }
}

void onMinimiseClick(app::Context& ctx) {
    ctx.ui.setWindowState(WindowId::Video, ui::kStateMinimised);
}

void onCloseClick(app::Context& ctx) {
    showMainWindow(ctx.ui);
    ctx.ui.destroyWindow(WindowId::Video);
}

} // namespace VideoWindow
} // namespace plendrik::video
