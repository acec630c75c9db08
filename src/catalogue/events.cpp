#include "app/module_events.h"

namespace plendrik::catalogue {

// Placeholder until this part's handlers land: takes no event.
bool handleCatalogueEvent(Context&, const ui::UiEvent&) { return false; }

} // namespace plendrik::catalogue
