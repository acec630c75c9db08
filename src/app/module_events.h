// Each part of the program handles the window events that belong to it. A handler returns true
// when the event was its own; the application hands an event to each in turn until one takes it.
#pragma once

#include "app/context.h"
#include "ui/ui_event.h"

namespace plendrik {
using app::Context;

namespace app {
bool handleShellEvent(Context& ctx, const ui::UiEvent& event);       // creation, exit command
bool handleMainCommandEvent(Context& ctx, const ui::UiEvent& event); // toolbar, tray, title buttons
} // namespace app
namespace catalogue {
bool handleCatalogueEvent(Context& ctx, const ui::UiEvent& event); // tree, search, adding
}
namespace downloads {
bool handleDownloadPageEvent(Context& ctx, const ui::UiEvent& event); // close button, row menu, list mouse
bool handleRunnerEvent(Context& ctx, const ui::UiEvent& event);       // task menu, timers, destroy
} // namespace downloads
namespace video {
bool handleVideoEvent(Context& ctx, const ui::UiEvent& event); // video course and player windows
}
namespace web {
bool handleWebEvent(Context& ctx, const ui::UiEvent& event); // forum window, about window, update
}

} // namespace plendrik
