// A DownloadEngine for the tests: records every call, keeps one active transfer the way the
// engine contract describes, and raises events on a thread of its own, as the engine does.
#pragma once

#include "downloads/engine/download_engine.h"

#include <cstdint>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace plendrik::test {

class FakeEngine final : public downloads::DownloadEngine {
public:
    // --- scripting ---
    void setAddTaskResult(bool result);
    void setDoneLength(std::int64_t bytes);
    // When set, a stop that hits an active transfer raises Finished with the bytes done from the
    // transfer's own thread, as the engine's task thread does when it ends.
    void setFinishOnStop(bool on);
    // Raises the events, in order, on one new thread through the handler of the last transfer
    // started; returns once that thread has delivered them all.
    void raise(const std::vector<std::pair<downloads::EngineEvent, std::int64_t>>& events);
    void raise(downloads::EngineEvent event, std::int64_t value) { raise({{event, value}}); }
    // The transfer ran to its end by itself: Finished with value, then no active transfer.
    void complete(std::int64_t value);

    // --- what happened ---
    std::vector<std::string>
    calls() const; // "addTask <address> <savePath>", "resumeTask <state>", "stopTask", "destroy"
    std::vector<std::string> addedAddresses() const;
    bool active() const;

    // --- DownloadEngine ---
    bool addTask(const downloads::TaskRecord& task) override;
    bool resumeTask(const downloads::TaskRecord& task, const downloads::TaskState& state) override;
    bool stopTask(downloads::TaskState& state, int mode) override;
    std::int64_t doneLength() override;
    void destroy() override;

private:
    void raiseFrom(downloads::EngineEventHandler handler,
                   const std::vector<std::pair<downloads::EngineEvent, std::int64_t>>& events);

    mutable std::mutex m_mutex;
    std::vector<std::string> m_calls;
    downloads::EngineEventHandler m_handler;
    std::string m_activeAddress;
    bool m_active = false;
    bool m_addResult = true;
    bool m_finishOnStop = false;
    std::int64_t m_done = 0;
};

} // namespace plendrik::test
