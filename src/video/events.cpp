#include "app/module_events.h"

namespace plendrik::video {

// Placeholder until this part's handlers land: takes no event.
bool handleVideoEvent(Context&, const ui::UiEvent&) { return false; }

} // namespace plendrik::video
