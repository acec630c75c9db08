// The download page: its columns, state texts, paths, and its INI persistence.
#pragma once

#include "app/context.h"

#include <string>
#include <string_view>

namespace plendrik::downloads {

namespace DownloadPage {
// Fills the page from the INI file at start-up and sets AppState.rowCount.
void restore(app::Context& ctx);
} // namespace DownloadPage

} // namespace plendrik::downloads
