#include "downloads/engine/curl/curl_engine.h"

#include "downloads/engine/curl/curl_options.h"
#include "downloads/engine/curl/resume_state.h"
#include "downloads/engine/curl/transfer.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace plendrik::downloads {
namespace {

using curl::Transfer;

// At most one active transfer. Stopped transfers may still be closing their files or raising their
// last events; they are kept until their task threads end. The mutex guards only the pointers and
// is never held while waiting or while a handler runs.
class CurlEngine final : public DownloadEngine {
public:
    ~CurlEngine() override { destroy(); }

    bool addTask(const TaskRecord& task) override {
        if (!curl::usableAddress(task.address) || task.savePath.empty())
            return false;
        curl::ResumeState start;
        start.address = task.address;
        start.savePath = task.savePath;
        return launch(task, std::move(start), true);
    }

    bool resumeTask(const TaskRecord& task, const TaskState& state) override {
        if (state.empty())
            return false;
        auto saved = curl::decodeState(state);
        if (!saved || !curl::usableAddress(saved->address))
            return false;
        return launch(task, std::move(*saved), false);
    }

    bool stopTask(TaskState& state, int /*mode: every stop keeps the resume state*/) override {
        std::shared_ptr<Transfer> transfer;
        {
            std::lock_guard lock(m_mutex);
            transfer = m_active;
        }
        if (!transfer || !transfer->claimStop())
            return false;
        transfer->interrupt();
        // from the transfer's own handler the thread is here, not in the transfer: nothing to wait for
        if (!transfer->onTaskThread())
            transfer->waitSettled(transfer->stopWait());
        state = curl::encodeState(transfer->resumeState());
        return true;
    }

    std::int64_t doneLength() override {
        std::lock_guard lock(m_mutex);
        return m_active && m_active->active() ? m_active->done() : 0;
    }

    void destroy() override {
        std::vector<std::shared_ptr<Transfer>> all;
        {
            std::lock_guard lock(m_mutex);
            all.swap(m_earlier);
            if (m_active)
                all.push_back(std::move(m_active));
            m_active.reset();
        }
        for (const auto& transfer : all) {
            transfer->silence();
            transfer->claimStop();
            transfer->interrupt();
        }
        for (const auto& transfer : all) {
            if (!transfer->onTaskThread())
                transfer->waitEnded(transfer->stopWait());
            transfer->release();
        }
    }

private:
    bool launch(const TaskRecord& task, curl::ResumeState start, bool fresh) {
        std::lock_guard lock(m_mutex);
        if (m_active && m_active->active())
            return false;
        if (m_active)
            m_earlier.push_back(std::move(m_active));
        // threads that have ended are joined here, so the list stays short
        std::erase_if(m_earlier, [](const std::shared_ptr<Transfer>& earlier) {
            if (!earlier->waitEnded(std::chrono::milliseconds(0)))
                return false;
            earlier->release();
            return true;
        });
        m_active = std::make_shared<Transfer>(task, std::move(start), fresh, ++m_serial, m_earlier);
        m_active->start();
        return true;
    }

    std::mutex m_mutex;
    std::shared_ptr<Transfer> m_active;
    std::vector<std::shared_ptr<Transfer>> m_earlier;
    int m_serial = 0;
};

} // namespace

std::unique_ptr<DownloadEngine> createCurlEngine() {
    return std::make_unique<CurlEngine>();
}

} // namespace plendrik::downloads
