#include "catalogue/loader.h"

#include "app/view.h"

namespace plendrik::catalogue {

// Placeholder until the catalogue loader lands: only hides the download page.
void StartCatalogueLoad(app::Context& ctx, const Category&) { app::HideDownloadPage(ctx.ui); }

} // namespace plendrik::catalogue
