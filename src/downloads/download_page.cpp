#include "downloads/download_page.h"

namespace plendrik::downloads::DownloadPage {

// Placeholder until the download page lands: restores nothing.
void restore(app::Context&) {}

} // namespace plendrik::downloads::DownloadPage
