// The download engine on libcurl.
#pragma once

#include "downloads/engine/download_engine.h"

#include <memory>

namespace plendrik::downloads {

// The process must have called curl_global_init before the first transfer starts.
std::unique_ptr<DownloadEngine> createCurlEngine();

} // namespace plendrik::downloads
