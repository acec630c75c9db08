// The download page's restore and save for a page of 10,000 rows, through the test facade and the
// real INI file. Goal: 200 ms each.
#include "downloads/download_page.h"
#include "support/fake_ui.h"
#include "support/scratch_folder.h"

#include <benchmark/benchmark.h>

namespace plendrik {
namespace {

constexpr int kRows = 10000;
constexpr ui::Control kList = ui::main_window::DownloadList;

struct Page {
    test::ScratchFolder folder;
    app::Config config;
    app::AppState state;
    test::FakeUi ui;
    app::Context ctx{state, ui, config, {folder.path("情况.ini"), folder.path("Plendrik资源")}};

    void fill() {
        std::vector<ui::Row> rows;
        for (int i = 0; i < kRows; ++i)
            rows.push_back({"安卓开发资源第" + std::to_string(i) + "号", std::to_string(100 + i) + "KB",
                            std::to_string(100 + i) + "KB/" + std::to_string(i % 100) + "KB", "已下载完毕",
                            "guanfanglicheng"});
        ui.appendRows(kList, std::move(rows));
        state.rowCount = kRows;
    }
    void save() {
        ui.answerNext(ui::kAnswerYes);
        downloads::DownloadPage::saveAndExit(ctx);
    }
};

// A facade without its own many-key read: the restore asks key by key, one look at the file each.
class KeyByKeyUi final : public test::FakeUi {
public:
    std::vector<std::string> readIniEntries(std::string_view file, const std::vector<IniKey>& keys) override {
        return ui::UiFacade::readIniEntries(file, keys);
    }
};

template <class Ui> void BM_RestorePage(benchmark::State& st) {
    Page saved;
    saved.fill();
    saved.save();
    for (auto _ : st) {
        app::AppState state;
        Ui ui;
        app::Context ctx{state, ui, saved.config, saved.ctx.paths};
        downloads::DownloadPage::restore(ctx);
        if (state.rowCount != kRows)
            st.SkipWithError("restore lost rows");
    }
}
BENCHMARK(BM_RestorePage<test::FakeUi>)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RestorePage<KeyByKeyUi>)->Unit(benchmark::kMillisecond);

void BM_SavePage(benchmark::State& st) {
    Page page;
    page.fill();
    for (auto _ : st) {
        page.save(); // the file exists from the second round on: the save reads and replaces it
    }
}
BENCHMARK(BM_SavePage)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace plendrik

BENCHMARK_MAIN();
