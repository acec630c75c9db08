// Loading a category's catalogue into the resource list.
#pragma once

#include "app/context.h"
#include "catalogue/category.h"

namespace plendrik::catalogue {

// User-interface thread: hides the download page and starts LoadCatalogue on a new thread.
void StartCatalogueLoad(app::Context& ctx, const Category& category);

} // namespace plendrik::catalogue
