// The forum window: one browser that fills the window, showing the question-and-answer board.
#pragma once

#include "app/context.h"

namespace plendrik::web::ForumWindow {

// Fits the browser to the window's outer size less its frame.
void fitBrowser(ui::UiFacade& ui);
void onCreated(app::Context& ctx);

} // namespace plendrik::web::ForumWindow
