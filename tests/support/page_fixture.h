// A fresh download page context per test: FakeUi, state, a scratch folder holding the INI file and
// the download folder, and an engine that records its stops.
#pragma once

#include "app/context.h"
#include "downloads/columns.h"
#include "support/fake_ui.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace plendrik::test {

class StopRecordingEngine final : public downloads::DownloadEngine {
public:
    explicit StopRecordingEngine(std::vector<int>* stops) : m_stops(stops) {}
    bool addTask(const downloads::TaskRecord&) override { return false; }
    bool resumeTask(const downloads::TaskRecord&, const downloads::TaskState&) override { return false; }
    bool stopTask(downloads::TaskState&, int mode) override {
        m_stops->push_back(mode);
        return false;
    }
    std::int64_t doneLength() override { return 0; }
    void destroy() override {}

private:
    std::vector<int>* m_stops;
};

struct PageFixture : ::testing::Test {
    ScratchFolder folder;
    app::AppState state;
    FakeUi ui;
    app::Config config{"http://s/files/", "http://s/forum/", "http://s/forum2/",
                       "http://s/tasks/", "http://s/c",      "1"};
    app::Context ctx{state, ui, config, {folder.path("config/情况.ini"), folder.path("Plendrik资源")}};
    std::vector<int> stops;

    static constexpr ui::Control kList = ui::main_window::DownloadList;

    void useRecordingEngine() { state.engine = std::make_unique<StopRecordingEngine>(&stops); }

    // Adds a row the way the add command does: at the end, cells at the counter, counter + 1.
    void addRow(const std::vector<std::string>& cells) {
        ui.appendRow(kList);
        for (std::size_t c = 0; c < cells.size(); ++c)
            ui.setCell(kList, state.rowCount, static_cast<int>(c), cells[c]);
        ++state.rowCount;
    }
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const auto& row : ui.rows(kList))
            out.push_back(row[downloads::Name]);
        return out;
    }
    void makeDownloadFolder() const {
        std::filesystem::create_directories(ScratchFolder::fsPath(ctx.paths.downloadFolder));
    }
    void writeIniText(std::string_view gbkBytes) const {
        std::filesystem::create_directories(ScratchFolder::fsPath(ctx.paths.iniFile).parent_path());
        ScratchFolder::writeBytes(ctx.paths.iniFile, gbkBytes);
    }
};

} // namespace plendrik::test
