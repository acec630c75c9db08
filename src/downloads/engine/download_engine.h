// The download engine's contract: what the program hands it, which operations it calls, and the
// events it gets back. The libcurl implementation lives in downloads/engine/curl/.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace plendrik::downloads {

enum class EngineEvent : int {
    SizeKnown = 3,   // value: total size in bytes
    Finished = 4,    // value: bytes done (the total when the transfer ran to its end)
    Failed = 9,      // value: position reached by the failing connection, or 0
    FileExists = 18, // the target file already exists; the engine downloads afresh
};

// code, sender, value, extra, transfer. Raised on the engine's own threads.
using EngineEventHandler =
    std::function<int(int code, int sender, std::int64_t value, std::int64_t extra, int transfer)>;
using EngineDataHandler = std::function<int(const char* data, std::int64_t length)>;

// The engine's parameter record: twenty fields in this order, with these defaults.
struct TaskRecord {
    int options = 1;
    std::string address;
    std::string savePath;
    std::string ftpUser = "anonymous";
    std::string ftpPassword = "plendrik@home.net"; // 17 characters, an anonymous login
    int connections = 1;
    int rateLimit = 0; // bytes per second, 0: none
    int connectTimeout = 20000;
    int sendTimeout = 20000;
    int receiveTimeout = 20000;
    int stopWait = 1000;
    int readBlock = 20480;
    int uploadBlock = 1024;
    EngineDataHandler dataHandler;
    EngineEventHandler eventHandler;
    std::string ftpExtra;
    int ftpTransferType = 1; // 1 binary, 2 text, 3 binary for binaryExtensions
    std::string binaryExtensions = ".exe|.rar|.zip|.gif|.jpg|.mp3|.rm";
    std::optional<std::string> proxy;   // unset: a direct connection
    std::optional<std::string> referer; // unset: none sent
};

// The resume state of the last transfer stopped while active, in the engine's own format.
using TaskState = std::string;

class DownloadEngine {
public:
    virtual ~DownloadEngine() = default;
    // A fresh transfer of task.address to task.savePath, when none is active. Returns at once.
    virtual bool addTask(const TaskRecord& task) = 0;
    // Restarts the transfer saved in state, when none is active and state is not empty.
    virtual bool resumeTask(const TaskRecord& task, const TaskState& state) = 0;
    // Stops the active transfer, waits up to stopWait ms, and replaces state with its resume state.
    // With no active transfer: false, state unchanged. Never waits on the user-interface thread.
    virtual bool stopTask(TaskState& state, int mode) = 0;
    // Bytes of the active transfer written so far; 0 with no active transfer.
    virtual std::int64_t doneLength() = 0;
    // Stops any active transfer without handing back a state and releases the engine's resources.
    virtual void destroy() = 0;
};

} // namespace plendrik::downloads
