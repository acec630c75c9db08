// Loading a category's catalogue into the resource list.
#pragma once

#include "app/context.h"
#include "catalogue/category.h"
#include "ui/ui_facade.h"

#include <cstddef>
#include <functional>
#include <string_view>
#include <vector>

namespace plendrik::catalogue {

// Rows handed to the user-interface thread at a time: one list insert each, small enough that
// the insert stays far below a visible stall, large enough that posting costs nothing.
inline constexpr std::size_t kCatalogueBatchRows = 5000;

// Catalogue bytes (GBK, up to the first zero byte) into resource list rows: name, size + "KB",
// update time, note, decoded to UTF-8. A line with fewer than four fields is skipped; fields
// after the fourth are ignored. `batch` receives the rows in order, at most batchRows at a
// time; when it returns false the parse stops.
void parseCatalogue(std::string_view bytes, std::size_t batchRows,
                    const std::function<bool(std::vector<ui::Row>&&)>& batch);
std::vector<ui::Row> parseCatalogue(std::string_view bytes);

// User-interface thread: hides the download page, empties the resource list and loads the
// category's catalogue on a new thread. A newer load supersedes it: from then on none of its rows
// reach the list and it shows no message.
void StartCatalogueLoad(app::Context& ctx, const Category& category);

} // namespace plendrik::catalogue
