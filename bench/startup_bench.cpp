// Start-up: from the process's entry to the main window's first paint, with the logic's creation
// handler running as in the program, and the resident memory at that moment. Runs offscreen unless
// a display is given (for instance under Xvfb).
#include "app/application.h"
#include "app/startup.h"
#include "ui/qt/qt_ui.h"
#include "ui/qt/widgets.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

using namespace plendrik;
using Clock = std::chrono::steady_clock;

Clock::time_point g_processEntry;
QApplication* g_application = nullptr;

double residentMegabytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtod(line.c_str() + 6, nullptr) / 1024.0; // kB
    return 0;
}

QApplication& application() {
    static int argc = 1;
    static char name[] = "bench_startup";
    static char* argv[] = {name, nullptr};
    if (!g_application)
        g_application = new QApplication(argc, argv);
    return *g_application;
}

// One start as the program makes it: binding, logic sink, main window; returns once it painted.
void startOnce(const QString& folder) {
    app::AppState state;
    const app::Config config = app::Config::compiledIn();
    // Browsers start after the first paint in the program too, so they are not part of this figure.
    ui::qt::QtUi ui(config, ui::qt::QtUiOptions{false});
    app::Context ctx{
        state, ui, config, {(folder + "/情况.ini").toStdString(), (folder + "/Plendrik资源").toStdString()}};
    app::Application events(ctx);
    ui.setSink(&events);
    ui.setExitCleanup([&state] { app::exitCleanup(state); });
    ui.loadWindow(ui::WindowId::Main);
    auto* window = qobject_cast<ui::qt::ShellWindow*>(ui.window(ui::WindowId::Main));
    bool painted = false;
    QObject::connect(window, &ui::qt::ShellWindow::firstPainted, [&painted] { painted = true; });
    while (!painted)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
}

// The first start of the process: toolkit, fonts and pictures are loaded for the first time.
void BM_ColdStartToFirstPaint(benchmark::State& state) {
    QTemporaryDir folder;
    for (auto _ : state) {
        application();
        startOnce(folder.path());
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - g_processEntry).count();
        state.SetIterationTime(ms / 1000.0);
        state.counters["first_paint_ms"] = ms;
        state.counters["rss_mb"] = residentMegabytes();
        std::printf("cold start: first paint after %.1f ms, VmRSS %.1f MB\n", ms, residentMegabytes());
    }
}
BENCHMARK(BM_ColdStartToFirstPaint)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// Later starts in the same process: the main window and its logic alone.
void BM_WarmStartToFirstPaint(benchmark::State& state) {
    application();
    QTemporaryDir folder;
    for (auto _ : state) {
        const auto begin = Clock::now();
        startOnce(folder.path());
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - begin).count());
    }
    state.counters["rss_mb"] = residentMegabytes();
}
BENCHMARK(BM_WarmStartToFirstPaint)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(1.0);

} // namespace

int main(int argc, char** argv) {
    g_processEntry = Clock::now();
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
