// The one program-wide record. Owned by the user-interface thread; nothing else touches it.
#pragma once

#include "downloads/engine/download_engine.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

namespace plendrik::downloads {
class RunnerEventThread;
}

namespace plendrik::app {

struct AppState {
    int busy = 0;
    int batchMode = 0;
    int currentRow = 0; // 0 until the runner first sets it, -1 after a completion
    int rowCount = 0;   // always equals the number of download page rows
    std::int64_t totalBytes = 0;
    int scanIndex = 0;
    int lastFinishedRow = 0;
    std::string progressText;
    std::unique_ptr<downloads::DownloadEngine> engine;
    std::unique_ptr<downloads::TaskRecord> task;
    downloads::TaskState taskState;
    // Set by a failed transfer, cleared by every start and continue: the finish event that ends a
    // failed transfer is no completion, whatever byte count it carries.
    bool transferFailed = false;
    // The newest catalogue load. Only the user-interface thread changes it; a load's worker reads
    // it to stop early, and its rows land only while it still names that load.
    std::shared_ptr<std::atomic<int>> catalogueTicket = std::make_shared<std::atomic<int>>(0);
    // Carries the engine's events to this thread; made by the runner at its first transfer,
    // stopped by the exit clean-up.
    std::shared_ptr<downloads::RunnerEventThread> runnerEvents;
};

} // namespace plendrik::app
