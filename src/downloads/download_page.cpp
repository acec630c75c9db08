#include "downloads/download_page.h"

#include "downloads/columns.h"
#include "downloads/paths.h"

#include <charconv>
#include <cmath>
#include <vector>

namespace plendrik::downloads {

using ui::main_window::DownloadList;

namespace {

// The key of each saved column, in the order a row's keys are written.
constexpr std::pair<DownloadColumn, std::string_view> kRowKeys[] = {
    {Name, page_ini::kName},   {Size, page_ini::kSize},     {Progress, page_ini::kProgress},
    {State, page_ini::kState}, {Folder, page_ini::kFolder},
};

std::string rowSection(int row) {
    return std::string(page_ini::kRowSectionPrefix) + std::to_string(row + 1);
}

void removeTrayIconAndEnd(app::Context& ctx) {
    ctx.ui.setTrayIcon(ui::WindowId::Main, "", "");
    ctx.ui.endProgram(0);
}

} // namespace

int restoreCount(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error == std::errc::result_out_of_range) {
        // Too large or too close to zero for a double: only a large positive number gives rows.
        const std::string_view number(text.data(), static_cast<std::size_t>(end - text.data()));
        const std::size_t exponent = number.find_first_of("eE");
        const bool tiny = exponent != std::string_view::npos && number.substr(exponent + 1).starts_with('-');
        return text.starts_with('-') || tiny ? 0 : kMaxRestoredRows;
    }
    if (error != std::errc() || std::isnan(value) || value < 1)
        return 0;
    return value >= kMaxRestoredRows ? kMaxRestoredRows : static_cast<int>(value);
}

namespace DownloadPage {

void restore(app::Context& ctx) {
    const int count =
        restoreCount(ctx.ui.readIni(ctx.paths.iniFile, page_ini::kCountSection, page_ini::kCount));
    std::vector<IniKey> keys;
    keys.reserve(static_cast<std::size_t>(count) * std::size(kRowKeys));
    for (int i = 0; i < count; ++i) {
        const std::string section = rowSection(i);
        for (const auto& [column, key] : kRowKeys)
            keys.push_back({section, std::string(key)});
    }
    // Every row from one version of the file, in one look at it.
    std::vector<std::string> values = ctx.ui.readIniEntries(ctx.paths.iniFile, keys);
    values.resize(keys.size());
    std::vector<ui::Row> rows(static_cast<std::size_t>(count));
    auto value = values.begin();
    for (ui::Row& row : rows) {
        row.resize(std::size(kRowKeys));
        for (const auto& [column, key] : kRowKeys)
            row[column] = std::move(*value++);
    }
    // One insert for the whole page: a saved page can hold thousands of rows.
    ctx.ui.appendRows(DownloadList, std::move(rows));
    ctx.state.rowCount = ctx.ui.rowCount(DownloadList);
}

void saveAndExit(app::Context& ctx) {
    const int count = ctx.ui.rowCount(DownloadList);
    if (count > 0 && ctx.ui.messageBox("是否保存下载页面的资源信息", ui::kYesNo, "保存") == ui::kAnswerYes) {
        std::vector<IniEntry> entries;
        entries.reserve(static_cast<std::size_t>(count) * std::size(kRowKeys) + 1);
        for (int i = 0; i < count; ++i) {
            const std::string section = rowSection(i);
            for (const auto& [column, key] : kRowKeys)
                entries.push_back({section, std::string(key), ctx.ui.cellText(DownloadList, i, column)});
        }
        entries.push_back(
            {std::string(page_ini::kCountSection), std::string(page_ini::kCount), std::to_string(count)});
        // A failed save leaves the last saved page whole; the program ends either way.
        ctx.ui.writeIniEntries(ctx.paths.iniFile, entries);
    }
    removeTrayIconAndEnd(ctx);
}

void clearAll(app::Context& ctx) {
    const bool withFiles = ctx.ui.messageBox("是否删除所有已下载文件", ui::kYesNo, "清空") == ui::kAnswerYes;
    const int count = ctx.ui.rowCount(DownloadList);
    for (int i = 0; i < count; ++i) {
        const std::string name = ctx.ui.cellText(DownloadList, i, Name);
        if (withFiles)
            ctx.ui.deleteFile(zipPath(ctx.paths, name));
        // A partial file is no download of its own: it goes with its row.
        ctx.ui.deleteFile(partPath(ctx.paths, name));
    }
    if (withFiles) {
        ctx.ui.deleteFile(ctx.paths.iniFile);
        ctx.ui.deleteAllRows(DownloadList);
    } else {
        ctx.ui.deleteAllRows(DownloadList);
        ctx.ui.deleteFile(ctx.paths.iniFile);
    }
    ctx.state.rowCount = 0;
}

} // namespace DownloadPage
} // namespace plendrik::downloads
