#include "downloads/paths.h"

#include "common/paths.h"

namespace plendrik::downloads {

// Placeholder until the download page lands: no cleaning yet.
std::string safeFileName(std::string_view name) { return std::string(name); }

std::string zipPath(const app::Paths& paths, std::string_view name) {
    return joinPath(paths.downloadFolder, safeFileName(name) + ".zip");
}

std::string partPath(const app::Paths& paths, std::string_view name) { return zipPath(paths, name) + ".part"; }

} // namespace plendrik::downloads
