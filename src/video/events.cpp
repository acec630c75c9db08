#include "app/module_events.h"
#include "video/player_window.h"
#include "video/video_window.h"

namespace plendrik::video {

using ui::EventKind;
using ui::WindowId;
namespace vw = ui::video_window;

namespace {

void handleVideoWindow(Context& ctx, const ui::UiEvent& event) {
    switch (event.kind) {
    case EventKind::WindowCreated:
        VideoWindow::onCreated(ctx);
        break;
    case EventKind::TreeDoubleClicked:
        if (event.control == vw::树型框1)
            VideoWindow::onTopicDoubleClick(ctx);
        break;
    case EventKind::ListActivated:
        if (event.control == vw::CourseList)
            VideoWindow::onCourseActivated(ctx);
        break;
    case EventKind::ToolbarClicked:
        if (event.control == vw::工具条1)
            VideoWindow::onToolbarClick(ctx, event.index);
        break;
    case EventKind::ButtonClicked:
        if (event.control == vw::图形按钮3)
            VideoWindow::onMinimiseClick(ctx);
        else if (event.control == vw::图形按钮2)
            VideoWindow::onCloseClick(ctx);
        break;
    default:
        break;
    }
}

void handlePlayerWindow(Context& ctx, const ui::UiEvent& event) {
    if (event.kind == EventKind::WindowCreated)
        PlayerWindow::onCreated(ctx.ui);
    else if (event.kind == EventKind::WindowResized)
        PlayerWindow::onResized(ctx.ui);
}

} // namespace

// Every event of the video course and player windows belongs here, handled or not.
bool handleVideoEvent(Context& ctx, const ui::UiEvent& event) {
    if (event.window == WindowId::Video)
        handleVideoWindow(ctx, event);
    else if (event.window == WindowId::Player)
        handlePlayerWindow(ctx, event);
    else
        return false;
    return true;
}

} // namespace plendrik::video
