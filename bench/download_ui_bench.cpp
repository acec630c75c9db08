// The user-interface thread's share of one core while a single download runs: the main window
// with its download page shown, the libcurl engine, the runner started on a selected row (its
// progress tick then runs every millisecond), a file the loopback server trickles out. Reference:
// the same application idle for as long, and with a bare 1 ms timer (the floor of that period).
#include "app/application.h"
#include "app/startup.h"
#include "app/view.h"
#include "downloads/columns.h"
#include "downloads/engine/curl/curl_engine.h"
#include "downloads/runner.h"
#include "sample_server.h"
#include "ui/qt/list_model.h"
#include "ui/qt/qt_ui.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QEventLoop>
#include <QItemSelectionModel>
#include <QTemporaryDir>
#include <QTimer>

#include "qt_bench_main.h"

#include <benchmark/benchmark.h>
#include <curl/curl.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace plendrik;
using Clock = std::chrono::steady_clock;
using downloads::DownloadColumn;
using ui::main_window::DownloadList;

std::int64_t g_rate = 2 << 20; // bytes per second
double g_seconds = 5;          // the download's length at that rate

double threadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

struct Sample {
    double wallSeconds = 0;
    double cpuSeconds = 0;
    double percent() const { return wallSeconds > 0 ? cpuSeconds / wallSeconds * 100.0 : 0; }
};

struct World {
    sample::SampleServer server;
    app::Config config = app::Config::compiledIn();
    QTemporaryDir folder;
    app::AppState state;
    std::unique_ptr<ui::qt::QtUi> ui;
    std::unique_ptr<app::Context> ctx;
    std::unique_ptr<app::Application> events;

    World() {
        if (!server.start(0))
            std::abort();
        config.resourceServerBase = server.resourceServerBase();
        app::startEngine(state, downloads::createCurlEngine());
        ui = std::make_unique<ui::qt::QtUi>(config, ui::qt::QtUiOptions{false});
        ui->setExitCleanup([this] { app::exitCleanup(state); });
        ctx = std::make_unique<app::Context>(app::Context{
            state,
            *ui,
            config,
            {(folder.path() + "/情况.ini").toStdString(), (folder.path() + "/Plendrik资源").toStdString()}});
        events = std::make_unique<app::Application>(*ctx);
        ui->setSink(events.get());
        ui->loadWindow(ui::WindowId::Main);
        app::ShowDownloadPage(*ui);
        run(300, [] { return false; });
    }

    // Runs the event loop until `done` or the time runs out; false on time-out.
    template <class Done> static bool run(int milliseconds, Done done) {
        QEventLoop loop;
        bool finished = false;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (done()) {
                finished = true;
                loop.quit();
            }
        });
        poll.start(20);
        QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
        loop.exec();
        return finished;
    }

    static Sample measure(const std::function<bool()>& runIt) {
        const auto wall = Clock::now();
        const double cpu = threadCpuSeconds();
        if (!runIt())
            return {};
        return {std::chrono::duration<double>(Clock::now() - wall).count(), threadCpuSeconds() - cpu};
    }

    // One row on the page, selected, started as the menu's single start does.
    Sample download(const std::string& name, std::int64_t bytes) {
        server.addFile("/files/jar/" + name + ".zip", std::string(static_cast<std::size_t>(bytes), 'z'));
        sample::Faults faults;
        faults.trickleBytesPerSecond = g_rate;
        server.setFaults(faults);
        const std::string size = std::to_string(bytes / 1024) + "KB";
        ui->appendRows(DownloadList, {{name, size, "", std::string(downloads::RowState::Unfinished), "jar"}});
        state.rowCount = ui->rowCount(DownloadList);
        const int row = state.rowCount - 1;
        auto* view = qobject_cast<QAbstractItemView*>(ui->widget(DownloadList));
        view->selectionModel()->select(ui->listModel(DownloadList)->index(row, 0),
                                       QItemSelectionModel::ClearAndSelect);
        return measure([&] {
            downloads::DownloadRunner::startSelected(*ctx);
            return run(static_cast<int>(g_seconds * 1000) * 4 + 10000, [&] {
                return ui->cellText(DownloadList, row, DownloadColumn::State) ==
                       downloads::RowState::Finished;
            });
        });
    }
};

void BM_UiCpuDuringDownload(benchmark::State& state) {
    World& w = *new World; // lives to the end of the process, as the program's window does
    Sample busy, idle, timerOnly;
    for (auto _ : state) {
        busy = w.download("bench", static_cast<std::int64_t>(static_cast<double>(g_rate) * g_seconds));
        if (busy.wallSeconds == 0) {
            state.SkipWithError("the download did not finish");
            return;
        }
        idle = World::measure([&] {
            World::run(static_cast<int>(busy.wallSeconds * 1000), [] { return false; });
            return true;
        });
        // The floor of a 1 ms period: a precise timer that does nothing, as long again.
        QTimer bare;
        bare.setTimerType(Qt::PreciseTimer);
        QObject::connect(&bare, &QTimer::timeout, [] {});
        bare.start(1);
        timerOnly = World::measure([&] {
            World::run(static_cast<int>(busy.wallSeconds * 1000), [] { return false; });
            return true;
        });
        bare.stop();
        state.SetIterationTime(busy.wallSeconds);
    }
    state.counters["download_s"] = busy.wallSeconds;
    state.counters["ui_cpu_pct"] = busy.percent();
    state.counters["idle_cpu_pct"] = idle.percent();
    state.counters["bare_1ms_timer_cpu_pct"] = timerOnly.percent();
    state.counters["rate_MBps"] = static_cast<double>(g_rate) / (1 << 20);
}
BENCHMARK(BM_UiCpuDuringDownload)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

// Extra flags, before Google Benchmark's own: --seconds=S (5), --rate=BYTES_PER_SECOND (2 MiB).
int main(int argc, char** argv) {
    std::signal(SIGPIPE, SIG_IGN);
    curl_global_init(CURL_GLOBAL_DEFAULT);
    plendrik::bench::runQtBenchmarks(argc, argv,
                                     {{"--seconds=", [](const char* v) { g_seconds = std::atof(v); }},
                                      {"--rate=", [](const char* v) { g_rate = std::atoll(v); }}});
}
