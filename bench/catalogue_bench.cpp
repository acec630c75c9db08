// The catalogue's hot paths on a 100,000-line catalogue: the split rule beside a plain memchr
// split, bytes to decoded rows, a whole load through the fake facade, the search, and the memory
// of the rows in a list store.
#include "app/context.h"
#include "catalogue/category.h"
#include "catalogue/loader.h"
#include "catalogue/search.h"
#include "catalogue/split_text.h"
#include "common/gbk.h"
#include "support/fake_ui.h"
#include "ui/list_store.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <unistd.h>

namespace {

using namespace plendrik;
using ui::main_window::ResourceList;

constexpr int kLines = 100000;

// GBK lines much like a real catalogue: a Chinese name, a size, a date, a Chinese note.
const std::string& catalogueBytes() {
    static const std::string bytes = [] {
        std::string utf8;
        char line[256];
        for (int i = 0; i < kLines; ++i) {
            std::snprintf(line, sizeof line, "Vantoro例程%06d.zip|%d|2014-05-%02d|官方例程，适合初学者%d\r\n",
                          i, 100 + i % 9000, 1 + i % 28, i % 97);
            utf8 += line;
        }
        return gbk::fromUtf8(utf8);
    }();
    return bytes;
}

const std::vector<ui::Row>& catalogueRows() {
    static const std::vector<ui::Row> rows = catalogue::parseCatalogue(catalogueBytes());
    return rows;
}

// Lines at CR LF, fields at "|", as the loader splits them.
std::size_t splitByRule(std::string_view text) {
    std::size_t fields = 0;
    for (std::string_view line : catalogue::SplitText(text, "\r\n"))
        fields += catalogue::SplitText(line, "|").size();
    return fields;
}

// The same two-level split with memchr and no regard for double-byte characters: the floor.
std::size_t splitByMemchr(std::string_view text) {
    const auto pieces = [](std::string_view t, char first, std::size_t length) {
        std::vector<std::string_view> out;
        std::size_t start = 0, at = 0;
        while (t.size() - at >= length) {
            const void* hit = std::memchr(t.data() + at, first, t.size() - at - length + 1);
            if (!hit)
                break;
            const std::size_t p = static_cast<std::size_t>(static_cast<const char*>(hit) - t.data());
            if (length == 1 || t[p + 1] == '\n') {
                out.push_back(t.substr(start, p - start));
                start = at = p + length;
            } else {
                at = p + 1;
            }
        }
        if (start < t.size())
            out.push_back(t.substr(start));
        return out;
    };
    std::size_t fields = 0;
    for (std::string_view line : pieces(text, '\r', 2))
        fields += pieces(line, '|', 1).size();
    return fields;
}

long residentBytes() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

// 100,000 rows in a list store: growth of the resident set, and the bytes the rows own. Runs
// first, before other benchmarks leave freed memory behind for it to reuse.
void BM_ListStoreMemory(benchmark::State& state) {
    const std::string& bytes = catalogueBytes();
    for (auto _ : state) {
        const long before = residentBytes();
        ui::ListStore store(4);
        store.appendRows(catalogue::parseCatalogue(bytes));
        const long after = residentBytes();
        std::size_t owned = 0;
        for (int r = 0; r < store.rowCount(); ++r) {
            owned += sizeof(std::vector<std::string>) + 4 * sizeof(std::string);
            for (int c = 0; c < 4; ++c) {
                const std::string& cell = store.cell(r, c);
                if (cell.capacity() > 15) // beyond the string's own small buffer
                    owned += cell.capacity() + 1;
            }
        }
        state.counters["rssGrowthMB"] = static_cast<double>(after - before) / (1 << 20);
        state.counters["ownedMB"] = static_cast<double>(owned) / (1 << 20);
    }
}
BENCHMARK(BM_ListStoreMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_SplitText(benchmark::State& state) {
    const std::string& bytes = catalogueBytes();
    for (auto _ : state)
        benchmark::DoNotOptimize(splitByRule(bytes));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_SplitText)->Unit(benchmark::kMillisecond);

void BM_MemchrSplit(benchmark::State& state) {
    const std::string& bytes = catalogueBytes();
    for (auto _ : state)
        benchmark::DoNotOptimize(splitByMemchr(bytes));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_MemchrSplit)->Unit(benchmark::kMillisecond);

// Both splits in turn in one loop, so the ratio comes from the same moments of a busy machine.
// SplitTextShareOfMemchr = memchr time / SplitText time (1.0: as fast as the floor).
void BM_SplitTextVsMemchr(benchmark::State& state) {
    const std::string& bytes = catalogueBytes();
    using Clock = std::chrono::steady_clock;
    double rule = 0, floor = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        benchmark::DoNotOptimize(splitByRule(bytes));
        const auto t1 = Clock::now();
        benchmark::DoNotOptimize(splitByMemchr(bytes));
        const auto t2 = Clock::now();
        rule += std::chrono::duration<double>(t1 - t0).count();
        floor += std::chrono::duration<double>(t2 - t1).count();
        state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
    }
    state.counters["SplitTextShareOfMemchr"] = floor / rule;
}
BENCHMARK(BM_SplitTextVsMemchr)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_ParseCatalogue(benchmark::State& state) {
    const std::string& bytes = catalogueBytes();
    for (auto _ : state)
        benchmark::DoNotOptimize(catalogue::parseCatalogue(bytes));
    state.counters["rows"] = static_cast<double>(catalogueRows().size());
}
BENCHMARK(BM_ParseCatalogue)->Unit(benchmark::kMillisecond);

// Body received to the last row in the list: fetch answered at once, parse on the worker, batches
// applied on this thread, through the fake facade (its list is a plain store, no view).
void BM_LoadCatalogue(benchmark::State& state) {
    struct Load {
        app::AppState appState;
        test::FakeUi ui;
        app::Config config{"http://127.0.0.1:1/files/", "", "", "", "", ""};
        app::Context ctx{appState, ui, config, {}};
    };
    for (auto _ : state) {
        state.PauseTiming();
        auto load = std::make_unique<Load>();
        load->ui.setHttpGet([](std::string_view) { return catalogueBytes(); });
        state.ResumeTiming();
        catalogue::StartCatalogueLoad(load->ctx, *catalogue::categoryForTreeIndex(5));
        load->ui.joinThreads();
        state.PauseTiming(); // the fake's teardown is no part of the load
        if (load->ui.rowCount(ResourceList) != kLines)
            state.SkipWithError("rows missing");
        load.reset();
        state.ResumeTiming();
    }
    state.counters["batchRows"] = static_cast<double>(catalogue::kCatalogueBatchRows);
}
BENCHMARK(BM_LoadCatalogue)->Unit(benchmark::kMillisecond)->Iterations(5);

// Arg 0: an empty keyword keeps all 100,000 rows; arg 1: "Vantoro例程01" keeps a tenth.
void BM_Search(benchmark::State& state) {
    const char* keyword = state.range(0) == 0 ? "" : "Vantoro例程01";
    app::AppState appState;
    test::FakeUi ui;
    app::Config config;
    app::Context ctx{appState, ui, config, {}};
    ui.setEditText(ui::main_window::编辑框1, keyword);
    for (auto _ : state) {
        state.PauseTiming();
        ui.deleteAllRows(ResourceList);
        ui.appendRows(ResourceList, catalogueRows());
        ui.clearLog();
        state.ResumeTiming();
        catalogue::SearchResources(ctx);
    }
    state.counters["kept"] = ui.rowCount(ResourceList);
}
BENCHMARK(BM_Search)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
