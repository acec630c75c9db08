#include "support/fake_engine.h"

#include <thread>

namespace plendrik::test {

using downloads::EngineEvent;

void FakeEngine::setAddTaskResult(bool result) {
    std::lock_guard lock(m_mutex);
    m_addResult = result;
}
void FakeEngine::setDoneLength(std::int64_t bytes) {
    std::lock_guard lock(m_mutex);
    m_done = bytes;
}
void FakeEngine::setFinishOnStop(bool on) {
    std::lock_guard lock(m_mutex);
    m_finishOnStop = on;
}

void FakeEngine::raiseFrom(downloads::EngineEventHandler handler,
                           const std::vector<std::pair<EngineEvent, std::int64_t>>& events) {
    if (!handler)
        return;
    std::thread engineThread([&] {
        for (const auto& [event, value] : events)
            handler(static_cast<int>(event), 1, value, 0, 1);
    });
    engineThread.join();
}

void FakeEngine::raise(const std::vector<std::pair<EngineEvent, std::int64_t>>& events) {
    downloads::EngineEventHandler handler;
    {
        std::lock_guard lock(m_mutex);
        handler = m_handler;
    }
    raiseFrom(handler, events);
}

void FakeEngine::complete(std::int64_t value) {
    downloads::EngineEventHandler handler;
    {
        std::lock_guard lock(m_mutex);
        handler = m_handler;
        m_active = false;
    }
    raiseFrom(handler, {{EngineEvent::Finished, value}});
}

std::vector<std::string> FakeEngine::calls() const {
    std::lock_guard lock(m_mutex);
    return m_calls;
}
std::vector<std::string> FakeEngine::addedAddresses() const {
    std::lock_guard lock(m_mutex);
    std::vector<std::string> out;
    for (const std::string& call : m_calls)
        if (call.starts_with("addTask "))
            out.push_back(call.substr(8, call.find(' ', 8) - 8));
    return out;
}
bool FakeEngine::active() const {
    std::lock_guard lock(m_mutex);
    return m_active;
}

bool FakeEngine::addTask(const downloads::TaskRecord& task) {
    std::lock_guard lock(m_mutex);
    m_calls.push_back("addTask " + task.address + " " + task.savePath);
    if (m_active || !m_addResult)
        return false;
    m_handler = task.eventHandler;
    m_activeAddress = task.address;
    m_active = true;
    m_done = 0;
    return true;
}

bool FakeEngine::resumeTask(const downloads::TaskRecord& task, const downloads::TaskState& state) {
    std::lock_guard lock(m_mutex);
    m_calls.push_back("resumeTask " + state);
    if (m_active || state.empty())
        return false;
    m_handler = task.eventHandler;
    m_activeAddress = state.substr(state.find(':') + 1);
    m_active = true;
    return true;
}

bool FakeEngine::stopTask(downloads::TaskState& state, int mode) {
    downloads::EngineEventHandler handler;
    std::int64_t done = 0;
    {
        std::lock_guard lock(m_mutex);
        m_calls.push_back("stopTask " + std::to_string(mode));
        if (!m_active)
            return false;
        m_active = false;
        state = "resume:" + m_activeAddress;
        if (m_finishOnStop)
            handler = m_handler;
        done = m_done;
    }
    raiseFrom(handler, {{EngineEvent::Finished, done}});
    return true;
}

std::int64_t FakeEngine::doneLength() {
    std::lock_guard lock(m_mutex);
    return m_active ? m_done : 0;
}

void FakeEngine::destroy() {
    std::lock_guard lock(m_mutex);
    m_calls.push_back("destroy");
    m_active = false;
}

} // namespace plendrik::test
