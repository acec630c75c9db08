#include "app/module_events.h"

namespace plendrik::downloads {

// Placeholder until this part's handlers land: takes no event.
bool handleRunnerEvent(Context&, const ui::UiEvent&) { return false; }

} // namespace plendrik::downloads
