// Where a row's file lives: the download folder, the zip path, the partial file, and the safe file
// name made from a resource name (the same safe name serves download, open and delete).
#pragma once

#include "app/context.h"

#include <string>
#include <string_view>

namespace plendrik::downloads {

inline constexpr std::string_view kDownloadFolderName = "Plendrik资源";

// A resource name made safe as a file name: no separators, "..", control characters, drive prefix,
// reserved device name, trailing dot or space. Never empty.
std::string safeFileName(std::string_view name);
// download folder + safe name + ".zip"
std::string zipPath(const app::Paths& paths, std::string_view name);
// zipPath + ".part": where the engine writes until the file is whole
std::string partPath(const app::Paths& paths, std::string_view name);

} // namespace plendrik::downloads
