// Carries the engine's events to the user-interface thread. The engine raises them on its own
// threads; the handler it is given only queues them. One event thread takes them in the order
// raised, runs each one's worker part (a message box blocks only this thread) and posts the rest to
// the user-interface thread, so the steps of one event are queued before the next event's begin.
#pragma once

#include "downloads/engine/download_engine.h"
#include "ui/ui_facade.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

namespace plendrik::downloads {

struct RunnerEvent {
    RunnerEvent() = default;
    RunnerEvent(int c, std::int64_t v) : code(c), value(v) {}

    int code = 0;
    std::int64_t value = 0;
    // A failure stops its transfer on the engine's thread at once, while it is still active; the
    // resume state that stop gave back travels with the event.
    bool stopped = false;
    TaskState resumeState;
};

class RunnerEventThread final {
public:
    // Runs on the event thread for each event of the current transfer. Returns the steps to run on
    // the user-interface thread, or nothing.
    using WorkerPart = std::function<std::function<void()>(const RunnerEvent&)>;

    RunnerEventThread(ui::UiFacade& ui, WorkerPart workerPart);
    ~RunnerEventThread(); // stop()
    RunnerEventThread(const RunnerEventThread&) = delete;
    RunnerEventThread& operator=(const RunnerEventThread&) = delete;

    // Stops the transfer from the engine's own thread, giving back its resume state.
    using StopOnFailure = std::function<bool(TaskState& state)>;

    // The handler for the next transfer (user-interface thread). Begins a new transfer: events of
    // the transfers handed out before, still queued, posted or raised later, are dropped.
    EngineEventHandler beginTransfer(StopOnFailure stopOnFailure = {});
    // Drops the events of the current transfer from now on (user-interface thread).
    void endTransfer();
    // Waits until every event queued so far has been handed on to the user-interface thread.
    void waitIdle();
    // Stops taking events and drops the ones not yet applied. Joins the event thread when it is
    // idle; one still inside a message box is left to end by itself, so the program's end never
    // waits for a box.
    void stop();

private:
    struct Core;
    static void run(const std::shared_ptr<Core>& core);

    std::shared_ptr<Core> m_core;
    std::thread m_thread;
};

} // namespace plendrik::downloads
