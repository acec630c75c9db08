// The download page's columns and the texts of its state column.
#pragma once

#include <string_view>

namespace plendrik::downloads {

enum DownloadColumn : int { Name = 0, Size = 1, Progress = 2, State = 3, Folder = 4 };

namespace RowState {
inline constexpr std::string_view Unfinished = "未完成";
inline constexpr std::string_view Downloading = "正在下载";
inline constexpr std::string_view Finished = "已下载完毕";
inline constexpr std::string_view Paused = "已暂停下载";
inline constexpr std::string_view Resumed = "已继续下载";
} // namespace RowState

} // namespace plendrik::downloads
