#include "video/player_window.h"

namespace plendrik::video::PlayerWindow {
namespace {

void sizeBrowser(ui::UiFacade& ui, int lessWidth, int lessHeight) {
    const int w = ui.outerWidth(ui::WindowId::Player);
    const int h = ui.outerHeight(ui::WindowId::Player);
    ui.moveControl(ui::player_window::超文本浏览框1, {0, 0, w - lessWidth, h - lessHeight});
}

} // namespace

void onCreated(ui::UiFacade& ui) {
    sizeBrowser(ui, 0, 0);
}

void onResized(ui::UiFacade& ui) {
    sizeBrowser(ui, 15, 35);
}

} // namespace plendrik::video::PlayerWindow
