#include "catalogue/loader.h"

#include "app/view.h"
#include "catalogue/split_text.h"
#include "common/gbk.h"
#include "common/memory.h"

#include <atomic>
#include <memory>
#include <string>

namespace plendrik::catalogue {
namespace {

using ui::main_window::ResourceList;

constexpr std::string_view kNoResponse = "系统无响应，请重新加载";

using Ticket = std::shared_ptr<std::atomic<int>>;

// Worker thread. Rows travel to the user-interface thread in batches; each batch checks there,
// where tickets change, that its load is still the newest, so a superseded load never writes.
void LoadCatalogue(ui::UiFacade& ui, Ticket newest, int mine, std::string address) {
    const auto current = [&] { return newest->load() == mine; };
    const std::string body = ui.httpGet(address);
    if (!current())
        return;
    const std::string_view text = gbk::untilZero(body);
    if (text.empty()) {
        ui.messageBox(kNoResponse, ui::kOk);
        return;
    }
    parseCatalogue(text, kCatalogueBatchRows, [&](std::vector<ui::Row>&& rows) {
        ui.post([&ui, newest, mine, rows = std::move(rows)]() mutable {
            if (newest->load() == mine)
                ui.appendRows(ResourceList, std::move(rows));
        });
        return current();
    });
}

} // namespace

void parseCatalogue(std::string_view bytes, std::size_t batchRows,
                    const std::function<bool(std::vector<ui::Row>&&)>& batch) {
    const std::vector<std::string_view> lines = SplitText(gbk::untilZero(bytes), "\r\n");
    std::vector<ui::Row> rows;
    rows.reserve(std::min(batchRows, lines.size()));
    for (std::string_view line : lines) {
        const std::vector<std::string_view> fields = SplitText(line, "|");
        // A short line (a blank one included) cannot fill a row; the others still load.
        if (fields.size() < 4)
            continue;
        rows.push_back({gbk::toUtf8(fields[0]), gbk::toUtf8(fields[1]) + "KB", gbk::toUtf8(fields[2]),
                        gbk::toUtf8(fields[3])});
        if (rows.size() == batchRows) {
            if (!batch(std::move(rows)))
                return;
            rows = {};
            rows.reserve(batchRows);
        }
    }
    if (!rows.empty())
        batch(std::move(rows));
}

std::vector<ui::Row> parseCatalogue(std::string_view bytes) {
    std::vector<ui::Row> all;
    parseCatalogue(bytes, static_cast<std::size_t>(-1), [&](std::vector<ui::Row>&& rows) {
        all = std::move(rows);
        return true;
    });
    return all;
}

void StartCatalogueLoad(app::Context& ctx, const Category& category) {
    app::HideDownloadPage(ctx.ui);
    // The list is emptied here, on this thread, so no batch of an older load can land after it.
    const int mine = ++*ctx.state.catalogueTicket;
    ctx.ui.deleteAllRows(ResourceList);
    ctx.ui.startThread([&ui = ctx.ui, newest = ctx.state.catalogueTicket, mine,
                        address = category.catalogueAddress(ctx.config.resourceServerBase)]() mutable {
        LoadCatalogue(ui, std::move(newest), mine, std::move(address));
        // Once the last batch is in the list, the body, the parse's scratch and the list's
        // outgrown arrays are all freed; without this the heaps keep about half as much again
        // as the rows themselves take.
        ui.post([] { releaseFreedMemory(); });
    });
}

} // namespace plendrik::catalogue
