// The engine's contract as the runner relies on it: which calls act in which state, what they
// return, and the events a transfer raises, in order, on its own thread.
#include "downloads/engine/curl/curl_engine.h"
#include "engine/engine_test_support.h"
#include "sample_server.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace plendrik::downloads {
namespace {

using test::EventRecorder;
using test::eventually;

const auto* const kCurl = ::testing::AddGlobalTestEnvironment(new test::CurlEnvironment);

constexpr int kSizeKnown = static_cast<int>(EngineEvent::SizeKnown);
constexpr int kFinished = static_cast<int>(EngineEvent::Finished);
constexpr int kFailed = static_cast<int>(EngineEvent::Failed);
constexpr int kFileExists = static_cast<int>(EngineEvent::FileExists);

class EngineContractTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_record.eventHandler = m_events.handler();
        m_record.savePath = m_folder.path("资源 1.zip");
    }

    // Serves `bytes` at a test path and points the record at it.
    bool serve(const std::string& bytes, const sample::Faults& faults = {}) {
        if (!m_server.start(0))
            return false;
        m_server.addFile("/files/test/资源 1.zip", bytes);
        m_server.setFaults(faults);
        m_record.address = m_server.resourceServerBase() + "test/资源 1.zip";
        m_bytes = bytes;
        return true;
    }

    test::ScratchFolder m_folder;
    EventRecorder m_events; // outlives the engine: its task threads call into it
    sample::SampleServer m_server;
    std::unique_ptr<DownloadEngine> m_engine = createCurlEngine();
    TaskRecord m_record;
    std::string m_bytes;
};

TEST_F(EngineContractTest, idleEngine_refusesStopAndResume) {
    TaskState empty;
    TaskState kept = "whatever the program held";
    EXPECT_FALSE(m_engine->stopTask(empty, 2));
    EXPECT_FALSE(m_engine->stopTask(kept, 2));
    EXPECT_EQ(empty, "");
    EXPECT_EQ(kept, "whatever the program held");
    EXPECT_EQ(m_engine->doneLength(), 0);

    m_record.address = "http://127.0.0.1:9/files/a.zip";
    EXPECT_FALSE(m_engine->resumeTask(m_record, ""));
    EXPECT_FALSE(m_engine->resumeTask(m_record, "not a state of this engine"));
    m_engine->destroy(); // would wait for any task thread that had started
    EXPECT_TRUE(m_events.events().empty());
}

TEST_F(EngineContractTest, unusableTask_isRefusedWithoutEvents) {
    const std::pair<const char*, const char*> cases[] = {
        {"", "/tmp/x.zip"},
        {"file:///etc/hostname", "/tmp/x.zip"},
        {"http://127.0.0.1:9/a.zip", ""},
    };
    for (const auto& [address, savePath] : cases) {
        m_record.address = address;
        m_record.savePath = savePath;
        EXPECT_FALSE(m_engine->addTask(m_record)) << address << " -> " << savePath;
    }
    m_engine->destroy();
    EXPECT_TRUE(m_events.events().empty());
}

TEST_F(EngineContractTest, destroy_twiceAndThenTheDestructor) {
    m_record.address = "http://127.0.0.1:9/a.zip"; // nothing listens on the discard port
    ASSERT_TRUE(m_engine->addTask(m_record));
    m_engine->destroy();
    m_engine->destroy();
    TaskState state;
    EXPECT_FALSE(m_engine->stopTask(state, 2)); // destroy hands back no state
    EXPECT_EQ(state, "");
    m_engine.reset();
}

TEST_F(EngineContractTest, completeTransfer_eventsThenIdle) {
    ASSERT_TRUE(serve(test::patternBytes(300 * 1024)));
    ASSERT_TRUE(m_engine->addTask(m_record));
    ASSERT_TRUE(m_events.waitFinished());

    // the size first, the finish last and once, both on a thread of the engine's own
    const auto events = m_events.events();
    EXPECT_EQ(m_events.codes(), (std::vector<int>{kSizeKnown, kFinished}));
    EXPECT_EQ(events.front().value, static_cast<std::int64_t>(m_bytes.size()));
    EXPECT_EQ(events.back().value, static_cast<std::int64_t>(m_bytes.size()));
    EXPECT_NE(events.back().thread, std::this_thread::get_id());

    EXPECT_EQ(m_engine->doneLength(), 0);
    TaskState state = "earlier state";
    EXPECT_FALSE(m_engine->stopTask(state, 2));
    EXPECT_EQ(state, "earlier state");
    EXPECT_TRUE(test::sameBytes(test::readFile(m_record.savePath), m_bytes));
    EXPECT_FALSE(std::filesystem::exists(m_record.savePath + ".part"));

    // idle again: the same record starts a fresh transfer
    m_events.clear();
    ASSERT_TRUE(m_engine->addTask(m_record));
    ASSERT_TRUE(m_events.waitFinished());
    EXPECT_EQ(m_events.lastValue(EngineEvent::Finished), static_cast<std::int64_t>(m_bytes.size()));
}

TEST_F(EngineContractTest, activeTransfer_refusesSecondStartAndResume) {
    sample::Faults slow;
    slow.trickleBytesPerSecond = 16 * 1024;
    ASSERT_TRUE(serve(test::patternBytes(256 * 1024), slow));
    ASSERT_TRUE(m_engine->addTask(m_record));
    ASSERT_TRUE(eventually([&] { return m_engine->doneLength() > 0; }));

    TaskRecord other = m_record;
    other.savePath = m_folder.path("other.zip");
    EXPECT_FALSE(m_engine->addTask(other));
    TaskState state;
    ASSERT_TRUE(m_engine->stopTask(state, 2));
    ASSERT_TRUE(m_events.waitFinished());
    // right after a successful add, the saved state cannot start a second transfer
    ASSERT_TRUE(m_engine->addTask(m_record));
    EXPECT_FALSE(m_engine->resumeTask(m_record, state));
    TaskState ignored;
    EXPECT_TRUE(m_engine->stopTask(ignored, 2));
}

TEST_F(EngineContractTest, stopMidTransfer_finishesWithBytesSoFarAndResumesTheRest) {
    sample::Faults slow;
    slow.trickleBytesPerSecond = 64 * 1024;
    ASSERT_TRUE(serve(test::patternBytes(512 * 1024), slow));
    ASSERT_TRUE(m_engine->addTask(m_record));
    ASSERT_TRUE(eventually([&] { return m_engine->doneLength() >= 64 * 1024; }));

    TaskState state;
    ASSERT_TRUE(m_engine->stopTask(state, 2));
    EXPECT_FALSE(state.empty());
    EXPECT_EQ(m_engine->doneLength(), 0);
    ASSERT_TRUE(m_events.waitFinished());
    const auto stoppedAt = m_events.lastValue(EngineEvent::Finished).value_or(-1);
    EXPECT_GE(stoppedAt, 64 * 1024);
    EXPECT_LT(stoppedAt, static_cast<std::int64_t>(m_bytes.size()));
    EXPECT_EQ(m_events.codes().back(), kFinished);
    EXPECT_EQ(std::filesystem::file_size(m_record.savePath + ".part"),
              static_cast<std::uintmax_t>(stoppedAt));
    EXPECT_FALSE(std::filesystem::exists(m_record.savePath)); // nothing whole yet

    // a second stop finds nothing running and leaves the state alone
    TaskState again = state;
    EXPECT_FALSE(m_engine->stopTask(again, 2));
    EXPECT_EQ(again, state);

    m_server.setFaults({});
    m_server.resetStats();
    m_events.clear();
    TaskRecord fresh; // the record's address and path do not matter: the state names the transfer
    fresh.eventHandler = m_events.handler();
    ASSERT_TRUE(m_engine->resumeTask(fresh, state));
    ASSERT_TRUE(m_events.waitFinished());
    EXPECT_EQ(m_events.lastValue(EngineEvent::Finished), static_cast<std::int64_t>(m_bytes.size()));
    EXPECT_TRUE(test::sameBytes(test::readFile(m_record.savePath), m_bytes));
    EXPECT_EQ(m_server.stats().bodyBytesSent, static_cast<std::int64_t>(m_bytes.size()) - stoppedAt);
}

TEST_F(EngineContractTest, stopFromTheFailureHandler_onTheTaskThread) {
    sample::Faults notFound;
    notFound.status = 404;
    ASSERT_TRUE(serve("whatever", notFound));
    TaskState state;
    bool stopped = false;
    m_events.onEvent([&](const test::RecordedEvent& event) {
        if (event.code == kFailed)
            stopped = m_engine->stopTask(state, 2); // what the runner does after a failure
    });
    ASSERT_TRUE(m_engine->addTask(m_record));
    ASSERT_TRUE(m_events.waitFinished());
    EXPECT_TRUE(stopped);
    EXPECT_FALSE(state.empty());
    EXPECT_EQ(m_events.codes(), (std::vector<int>{kFailed, kFinished}));
    EXPECT_EQ(m_events.lastValue(EngineEvent::Finished), 0);
    EXPECT_FALSE(std::filesystem::exists(m_record.savePath));
}

TEST_F(EngineContractTest, existingTarget_isAnnouncedAndReplacedWhenWhole) {
    ASSERT_TRUE(serve(test::patternBytes(64 * 1024)));
    test::ScratchFolder::writeBytes(m_record.savePath, "an older download");
    ASSERT_TRUE(m_engine->addTask(m_record));
    ASSERT_TRUE(m_events.waitFinished());
    EXPECT_EQ(m_events.codes(), (std::vector<int>{kFileExists, kSizeKnown, kFinished}));
    EXPECT_TRUE(test::sameBytes(test::readFile(m_record.savePath), m_bytes));
}

TEST_F(EngineContractTest, recordChangedAfterStart_doesNotReachTheTransfer) {
    ASSERT_TRUE(serve(test::patternBytes(64 * 1024)));
    ASSERT_TRUE(m_engine->addTask(m_record));
    m_record.eventHandler = nullptr; // the program replaces its record's fields freely
    m_record.savePath = m_folder.path("elsewhere.zip");
    ASSERT_TRUE(m_events.waitFinished());
    EXPECT_TRUE(test::sameBytes(test::readFile(m_folder.path("资源 1.zip")), m_bytes));
}

} // namespace
} // namespace plendrik::downloads
