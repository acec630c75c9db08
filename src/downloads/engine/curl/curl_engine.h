// The download engine on libcurl.
#pragma once

#include "downloads/engine/download_engine.h"

#include <memory>

namespace plendrik::downloads {

std::unique_ptr<DownloadEngine> createCurlEngine();

} // namespace plendrik::downloads
