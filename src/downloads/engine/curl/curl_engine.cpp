#include "downloads/engine/curl/curl_engine.h"

namespace plendrik::downloads {
namespace {

// Placeholder until the libcurl engine lands: never has an active transfer.
class IdleEngine final : public DownloadEngine {
public:
    bool addTask(const TaskRecord&) override { return false; }
    bool resumeTask(const TaskRecord&, const TaskState&) override { return false; }
    bool stopTask(TaskState&, int) override { return false; }
    std::int64_t doneLength() override { return 0; }
    void destroy() override {}
};

} // namespace

std::unique_ptr<DownloadEngine> createCurlEngine() { return std::make_unique<IdleEngine>(); }

} // namespace plendrik::downloads
