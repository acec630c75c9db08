#include "app/module_events.h"

namespace plendrik::web {

// Placeholder until this part's handlers land: takes no event.
bool handleWebEvent(Context&, const ui::UiEvent&) { return false; }

} // namespace plendrik::web
