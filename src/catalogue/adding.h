// Putting resources from the resource list onto the download page.
#pragma once

#include "app/context.h"

namespace plendrik::catalogue {

// User-interface thread. Adds the selected resource unless the page already holds its name
// (Latin letters without regard to case). Without a selected resource it adds nothing and says
// nothing.
void AddSelectedResource(app::Context& ctx);

// User-interface thread. Adds every resource of the list, duplicates included, then asks whether
// to show the download page (also when there was nothing to add).
void AddAllResources(app::Context& ctx);

} // namespace plendrik::catalogue
