// Helpers shared by the engine tests: libcurl set up once, an event recorder the transfer's task
// thread writes into and the test thread waits on, and byte comparisons that print little.
#pragma once

#include "downloads/engine/download_engine.h"
#include "support/scratch_folder.h"

#include <curl/curl.h>
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace plendrik::test {

// What the program's start-up does once, before any thread.
class CurlEnvironment final : public ::testing::Environment {
public:
    void SetUp() override { curl_global_init(CURL_GLOBAL_ALL); }
    void TearDown() override { curl_global_cleanup(); }
};

struct RecordedEvent {
    int code = 0;
    std::int64_t value = 0;
    std::thread::id thread;
};

// Generous: the waits end as soon as the event comes; the limit only keeps a broken engine from
// hanging the run.
inline constexpr std::chrono::seconds kPatience{60};

class EventRecorder final {
public:
    // Runs on the task thread after the event is recorded (for a stop from inside the handler).
    void onEvent(std::function<void(const RecordedEvent&)> hook) {
        std::lock_guard lock(m_mutex);
        m_hook = std::move(hook);
    }

    downloads::EngineEventHandler handler() {
        return [this](int code, int, std::int64_t value, std::int64_t, int) {
            const RecordedEvent event{code, value, std::this_thread::get_id()};
            std::function<void(const RecordedEvent&)> hook;
            {
                std::lock_guard lock(m_mutex);
                m_events.push_back(event);
                hook = m_hook;
            }
            if (hook)
                hook(event);
            {
                std::lock_guard lock(m_mutex);
                m_handled = m_events.size();
            }
            m_changed.notify_all();
            return 0;
        };
    }

    // Waits until `count` Finished events have been handled; false when none came in time.
    bool waitFinished(int count = 1) {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, kPatience, [&] { return finishedLocked() >= count; });
    }

    std::vector<RecordedEvent> events() const {
        std::lock_guard lock(m_mutex);
        return m_events;
    }
    std::vector<int> codes() const {
        std::vector<int> out;
        for (const auto& event : events())
            out.push_back(event.code);
        return out;
    }
    std::optional<std::int64_t> lastValue(downloads::EngineEvent code) const {
        std::optional<std::int64_t> out;
        for (const auto& event : events())
            if (event.code == static_cast<int>(code))
                out = event.value;
        return out;
    }
    void clear() {
        std::lock_guard lock(m_mutex);
        m_events.clear();
        m_handled = 0;
    }

private:
    int finishedLocked() const {
        int count = 0;
        for (std::size_t i = 0; i < m_handled; ++i)
            count += m_events[i].code == static_cast<int>(downloads::EngineEvent::Finished);
        return count;
    }

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<RecordedEvent> m_events;
    std::size_t m_handled = 0;
    std::function<void(const RecordedEvent&)> m_hook;
};

// Polls until `ready` holds; false when it never does within the patience.
inline bool eventually(const std::function<bool()>& ready) {
    const auto until = std::chrono::steady_clock::now() + kPatience;
    while (!ready()) {
        if (std::chrono::steady_clock::now() > until)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

inline std::optional<std::string> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// Byte-equal, and on a difference a short account of it instead of both strings.
inline ::testing::AssertionResult sameBytes(const std::optional<std::string>& actual,
                                            const std::string& expected) {
    if (!actual)
        return ::testing::AssertionFailure() << "no such file";
    if (*actual == expected)
        return ::testing::AssertionSuccess();
    std::size_t at = 0;
    while (at < actual->size() && at < expected.size() && (*actual)[at] == expected[at])
        ++at;
    return ::testing::AssertionFailure()
           << actual->size() << " bytes instead of " << expected.size() << ", first difference at " << at;
}

// Bytes that differ at every position, so a piece put in the wrong place shows.
inline std::string patternBytes(std::size_t size, unsigned seed = 1) {
    std::string out(size, '\0');
    std::uint32_t x = seed * 2654435761u + 1;
    for (auto& c : out) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        c = static_cast<char>(x & 0xFF);
    }
    return out;
}

} // namespace plendrik::test
