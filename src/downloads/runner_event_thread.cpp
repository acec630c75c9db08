#include "downloads/runner_event_thread.h"

#include <condition_variable>
#include <deque>
#include <mutex>

namespace plendrik::downloads {

namespace {
struct Queued {
    RunnerEvent event;
    std::uint64_t transfer = 0;
};
} // namespace

struct RunnerEventThread::Core {
    Core(ui::UiFacade& facade, WorkerPart part) : ui(facade), workerPart(std::move(part)) {}

    // Called with the mutex held.
    bool isCurrent(std::uint64_t t) const { return !stopping && t == transfer; }

    ui::UiFacade& ui;
    const WorkerPart workerPart;
    std::mutex mutex;
    std::condition_variable wake;
    std::condition_variable idle;
    std::deque<Queued> queue;
    std::uint64_t transfer = 0;
    bool handling = false;
    bool stopping = false;
};

RunnerEventThread::RunnerEventThread(ui::UiFacade& ui, WorkerPart workerPart)
    : m_core(std::make_shared<Core>(ui, std::move(workerPart))) {
    // The thread keeps the core alive by itself, so it may outlive this object after stop().
    m_thread = std::thread([core = m_core] { run(core); });
}

RunnerEventThread::~RunnerEventThread() {
    stop();
}

EngineEventHandler RunnerEventThread::beginTransfer(StopOnFailure stopOnFailure) {
    std::uint64_t transfer = 0;
    {
        std::lock_guard lock(m_core->mutex);
        transfer = ++m_core->transfer;
    }
    // Runs on the engine's threads: it only queues, so the engine never waits on the program.
    return [core = m_core, transfer, stopOnFailure](int code, int, std::int64_t value, std::int64_t, int) {
        RunnerEvent event(code, value);
        {
            std::lock_guard lock(core->mutex);
            if (!core->isCurrent(transfer))
                return 0;
        }
        // The stop that follows a failure happens here, on the transfer's own thread, while the
        // transfer is still active, so its resume state is kept for a later continue or exit.
        if (code == static_cast<int>(EngineEvent::Failed) && stopOnFailure)
            event.stopped = stopOnFailure(event.resumeState);
        {
            std::lock_guard lock(core->mutex);
            if (!core->isCurrent(transfer))
                return 0;
            core->queue.push_back({std::move(event), transfer});
        }
        core->wake.notify_one();
        return 0;
    };
}

void RunnerEventThread::endTransfer() {
    std::lock_guard lock(m_core->mutex);
    ++m_core->transfer;
}

void RunnerEventThread::waitIdle() {
    std::unique_lock lock(m_core->mutex);
    m_core->idle.wait(lock, [&] { return m_core->stopping || (m_core->queue.empty() && !m_core->handling); });
}

void RunnerEventThread::stop() {
    bool handling = false;
    {
        std::lock_guard lock(m_core->mutex);
        m_core->stopping = true;
        m_core->queue.clear();
        handling = m_core->handling;
    }
    m_core->wake.notify_all();
    m_core->idle.notify_all();
    if (!m_thread.joinable())
        return;
    if (handling)
        m_thread.detach();
    else
        m_thread.join();
}

void RunnerEventThread::run(const std::shared_ptr<Core>& core) {
    for (;;) {
        Queued next;
        {
            std::unique_lock lock(core->mutex);
            core->wake.wait(lock, [&] { return core->stopping || !core->queue.empty(); });
            if (core->stopping)
                return;
            next = core->queue.front();
            core->queue.pop_front();
            if (!core->isCurrent(next.transfer)) {
                if (core->queue.empty())
                    core->idle.notify_all();
                continue;
            }
            core->handling = true;
        }
        std::function<void()> steps = core->workerPart(next.event);
        std::lock_guard lock(core->mutex);
        core->handling = false;
        if (core->stopping)
            return;
        if (steps && core->isCurrent(next.transfer)) {
            // Posted while holding the mutex, so nothing is posted once stop() has returned. The
            // steps check again when they run: the transfer may have ended in between.
            core->ui.post([core, transfer = next.transfer, steps = std::move(steps)] {
                {
                    std::lock_guard stepsLock(core->mutex);
                    if (!core->isCurrent(transfer))
                        return;
                }
                steps();
            });
        }
        if (core->queue.empty())
            core->idle.notify_all();
    }
}

} // namespace plendrik::downloads
