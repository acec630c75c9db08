// A fresh runner world per test: FakeUi, FakeEngine, a context whose download folder lies in a
// temporary folder of its own, and helpers that drive the runner through its window events.
#pragma once

#include "app/context.h"
#include "app/module_events.h"
#include "app/startup.h"
#include "downloads/columns.h"
#include "downloads/runner.h"
#include "downloads/runner_event_thread.h"
#include "support/fake_engine.h"
#include "support/fake_ui.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <vector>

namespace plendrik::test {

class TempFolder final {
public:
    TempFolder() {
        static std::atomic<int> counter{0};
        m_path = std::filesystem::temp_directory_path() /
                 ("plendrik-runner-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        std::filesystem::create_directories(m_path);
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    std::string path() const { return m_path.string(); }

private:
    std::filesystem::path m_path;
};

struct RunnerFixture : ::testing::Test {
    // The facade is declared first so that it outlives the state's event thread.
    FakeUi ui;
    app::AppState state;
    app::Config config{"http://files.test/res/", "", "", "", "", ""};
    TempFolder temp;
    app::Context ctx{state, ui, config, {temp.path() + "/情况.ini", temp.path() + "/Plendrik资源"}};
    FakeEngine* engine = nullptr;

    RunnerFixture() {
        auto fake = std::make_unique<FakeEngine>();
        engine = fake.get();
        app::startEngine(state, std::move(fake));
    }

    static ui::Row row(std::string name, std::string state, std::string size = "4KB",
                       std::string folder = "lib") {
        return {std::move(name), std::move(size), "", std::move(state), std::move(folder)};
    }
    void addRows(std::vector<ui::Row> rows) {
        ui.appendRows(ui::main_window::DownloadList, std::move(rows));
        state.rowCount = ui.rowCount(ui::main_window::DownloadList);
    }
    void select(int row) { ui.setSelectedRow(ui::main_window::DownloadList, row); }
    std::string cell(int row, downloads::DownloadColumn column) {
        return ui.cellText(ui::main_window::DownloadList, row, column);
    }
    std::string rowState(int row) { return cell(row, downloads::DownloadColumn::State); }
    std::vector<std::string> rowStates() {
        std::vector<std::string> out;
        for (int r = 0; r < ui.rowCount(ui::main_window::DownloadList); ++r)
            out.push_back(rowState(r));
        return out;
    }
    std::string addressOf(const std::string& folder, const std::string& name) const {
        return config.resourceServerBase + folder + "/" + name + ".zip";
    }

    bool choose(ui::MenuItem item) {
        ui::UiEvent event;
        event.kind = ui::EventKind::MenuChosen;
        event.item = item;
        return downloads::handleRunnerEvent(ctx, event);
    }
    bool tick(ui::Timer timer) {
        ui::UiEvent event;
        event.kind = ui::EventKind::TimerTick;
        event.timer = timer;
        return downloads::handleRunnerEvent(ctx, event);
    }
    bool destroying(ui::WindowId window) {
        ui::UiEvent event;
        event.kind = ui::EventKind::WindowDestroying;
        event.window = window;
        return downloads::handleRunnerEvent(ctx, event);
    }
    // Lets the event thread hand on every event raised so far, then runs its steps on this thread,
    // which plays the user-interface thread.
    void settle() {
        if (state.runnerEvents)
            state.runnerEvents->waitIdle();
        ui.runPosted();
    }
    // The engine learns the size and runs to its end with `bytes`.
    void finishWith(std::int64_t total, std::int64_t bytes) {
        engine->raise({{downloads::EngineEvent::SizeKnown, total}});
        engine->complete(bytes);
        settle();
    }
    void startRow(int row) {
        select(row);
        choose(ui::MenuItem::StartTask);
    }
};

} // namespace plendrik::test
