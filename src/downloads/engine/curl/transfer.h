// One transfer: its own task thread driving one easy handle inside its own multi handle, so that a
// stop from another thread wakes the poll at once. Shared between the engine and the task thread.
#pragma once

#include "downloads/engine/curl/curl_options.h"
#include "downloads/engine/curl/response_rules.h"
#include "downloads/engine/curl/resume_state.h"
#include "downloads/engine/download_engine.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace plendrik::downloads::curl {

class PartFile;
struct Attempt;

class Transfer final : public std::enable_shared_from_this<Transfer> {
public:
    // `fresh` starts from 0; otherwise the partial file is continued. `earlier` are transfers that
    // may still hold files: this one touches nothing before they have let go.
    Transfer(const TaskRecord& record, ResumeState start, bool fresh, int id,
             std::vector<std::shared_ptr<Transfer>> earlier);
    ~Transfer();
    Transfer(const Transfer&) = delete;
    Transfer& operator=(const Transfer&) = delete;

    void start();
    // Running -> stopped. False when the transfer has already ended or been stopped.
    bool claimStop();
    // Makes the task thread leave at once (the flag, then a wake-up of its poll).
    void interrupt();
    // No more events reach the handler.
    void silence() { m_silenced = true; }

    bool active() const { return m_phase.load() == Phase::Running; }
    bool onTaskThread() const;
    std::int64_t done() const { return m_done.load(); }
    ResumeState resumeState() const;
    std::chrono::milliseconds stopWait() const { return std::chrono::milliseconds(m_options.stopWaitMs); }

    // True once the transfer has let go of its files (before its last events are raised).
    bool waitSettled(std::chrono::milliseconds limit);
    // True once the task thread has raised its last event.
    bool waitEnded(std::chrono::milliseconds limit);
    // Joins an ended task thread, or lets a still busy one finish on its own.
    void release();

private:
    enum class Phase { Running, Stopped, Over };
    enum class Outcome { Complete, Failed, Stopped };
    friend struct Attempt;

    void run();
    Outcome transfer();
    Outcome fetchInto(PartFile& file);
    Outcome complete(PartFile& file);
    bool restart(PartFile& file);
    void runAttempt(Attempt& attempt);
    void driveUntilDone(Attempt& attempt, CURL* easy);
    bool sendStalled(CURL* easy, std::chrono::steady_clock::time_point started) const;
    bool pause(std::chrono::milliseconds delay);
    void waitForEarlier();
    Expectation expectationFor(std::int64_t offset) const;
    void accepted(const ResponseHead& head, std::int64_t offset);
    void learnTotal(std::int64_t total);
    void raiseSizeIfNew();
    std::int64_t knownTotal() const;
    bool stopRequested() const { return m_stop.load(); }
    int raise(EngineEvent code, std::int64_t value);
    void markSettled();
    void markEnded();

    const TaskRecord m_record; // copied: the program may change its own record while this runs
    const CurlOptions m_options;
    const bool m_fresh;
    const int m_id;
    std::vector<std::shared_ptr<Transfer>> m_earlier;
    CURLM* m_multi = nullptr;

    std::atomic<Phase> m_phase{Phase::Running};
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_silenced{false};
    std::atomic<std::int64_t> m_done{0};

    mutable std::mutex m_stateMutex;
    ResumeState m_state;

    std::int64_t m_sizeRaised = -1; // task thread only

    mutable std::mutex m_lifeMutex;
    std::condition_variable m_lifeChanged;
    bool m_settled = false;
    bool m_ended = false;
    std::thread m_thread;
};

} // namespace plendrik::downloads::curl
