// The player window: one browser showing the course being played.
#pragma once

#include "ui/ui_facade.h"

namespace plendrik::video::PlayerWindow {

// At creation the browser takes the whole outer size.
void onCreated(ui::UiFacade& ui);
// After every size change it takes the outer size less the frame.
void onResized(ui::UiFacade& ui);

} // namespace plendrik::video::PlayerWindow
