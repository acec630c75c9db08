#include "app/module_events.h"

namespace plendrik::app {

// Placeholder until this part's handlers land: takes no event.
bool handleMainCommandEvent(Context&, const ui::UiEvent&) { return false; }

} // namespace plendrik::app
