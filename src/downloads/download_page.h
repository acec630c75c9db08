// The download page: its columns, state texts, paths, and its INI persistence.
#pragma once

#include "app/context.h"

#include <string>
#include <string_view>

namespace plendrik::downloads {

// The INI layout of a saved page: one section per row, numbered from 1, and the row count.
namespace page_ini {
inline constexpr std::string_view kRowSectionPrefix = "资源表";
inline constexpr std::string_view kName = "内容";
inline constexpr std::string_view kSize = "大小";
inline constexpr std::string_view kProgress = "进度";
inline constexpr std::string_view kState = "下载状态";
inline constexpr std::string_view kFolder = "目录"; // column 4, after the other four keys
inline constexpr std::string_view kCountSection = "记录1";
inline constexpr std::string_view kCount = "记录";
} // namespace page_ini

// A damaged or hand-edited count restores at most this many rows.
inline constexpr int kMaxRestoredRows = 100000;

// The number of rows a saved count asks for: the number the text begins with, truncated toward
// zero; 0 for an empty, non-numeric or negative text; at most kMaxRestoredRows.
int restoreCount(std::string_view text);

namespace DownloadPage {
// Fills the page from the INI file at start-up and sets AppState.rowCount.
void restore(app::Context& ctx);
// The close button: asks whether to save a page with rows, saves on Yes, ends the program.
void saveAndExit(app::Context& ctx);
// "清空下载列表": empties the page and removes the saved page; on Yes the row files go too.
void clearAll(app::Context& ctx);
} // namespace DownloadPage

} // namespace plendrik::downloads
