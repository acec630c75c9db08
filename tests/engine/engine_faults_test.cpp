// The faults a real server shows, one row each: every row ends either in a whole file under the
// final name, byte-equal to what the server holds, or in a failure with nothing under that name.
#include "downloads/engine/curl/curl_engine.h"
#include "downloads/engine/curl/resume_state.h"
#include "engine/engine_test_support.h"
#include "sample_server.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace plendrik::downloads {
namespace {

namespace fs = std::filesystem;
using test::eventually;

const auto* const kCurl = ::testing::AddGlobalTestEnvironment(new test::CurlEnvironment);

constexpr std::int64_t kSize = 256 * 1024;
constexpr std::int64_t kPauseAfter = 32 * 1024;

enum class Ends { Whole, Failed };

// What the server may send after the start (or after the continue), beyond what the file needs.
enum class Sent {
    Unchecked,
    ExactlyTheFile, // over the whole run: every byte once, none twice
    OnlyTheRest,    // after the continue: the bytes the partial file lacked
    NothingMore,    // after the continue: no body at all
};

struct FaultCase {
    const char* name;
    sample::Faults first{};       // while the transfer first runs
    bool pauseMidway = false;     // stop once some bytes are in, then continue
    bool stopAtOnce = false;      // stop right after the start, then continue
    bool partWholeAtStop = false; // the partial file already holds every byte when it continues
    sample::Faults onContinue{};
    bool oldTarget = false;  // an older file lies under the final name
    bool unwritable = false; // the target folder is a regular file (root may write anywhere else)
    int receiveTimeout = 20000;
    Ends ends = Ends::Whole;
    Sent sent = Sent::Unchecked;
};

void PrintTo(const FaultCase& c, std::ostream* out) {
    *out << c.name;
}

sample::Faults slow() {
    sample::Faults faults;
    faults.trickleBytesPerSecond = 128 * 1024;
    return faults;
}

sample::Faults with(sample::Faults faults, void (*change)(sample::Faults&)) {
    change(faults);
    return faults;
}

const FaultCase kCases[] = {
    {.name = "resumeWith206", .first = slow(), .pauseMidway = true, .sent = Sent::OnlyTheRest},
    {.name = "wholeFileToARangedRequest",
     .first = slow(),
     .pauseMidway = true,
     .onContinue = with({}, [](sample::Faults& f) { f.ignoreRange = true; })},
    {.name = "rangeAnswered416AtTheEnd",
     .first = slow(),
     .pauseMidway = true,
     .partWholeAtStop = true,
     .sent = Sent::NothingMore},
    {.name = "rangeAnswered416Midway",
     .first = slow(),
     .pauseMidway = true,
     .onContinue = with({}, [](sample::Faults& f) { f.answer416 = true; })},
    {.name = "partialAnswerFromAnotherOffset",
     .first = slow(),
     .pauseMidway = true,
     .onContinue = with({}, [](sample::Faults& f) { f.rangeShift = 1000; })},
    {.name = "fileChangedBetweenPauseAndContinue",
     .first = slow(),
     .pauseMidway = true,
     .onContinue = with({}, [](sample::Faults& f) { f.changeEtag = true; })},
    {.name = "notFoundWithHtmlBody",
     .first = with({}, [](sample::Faults& f) { f.status = 404; }),
     .ends = Ends::Failed},
    {.name = "serverErrorWithHtmlBody",
     .first = with({}, [](sample::Faults& f) { f.status = 500; }),
     .ends = Ends::Failed},
    {.name = "busyServerThatStaysBusy",
     .first = with({}, [](sample::Faults& f) { f.status = 503; }),
     .ends = Ends::Failed},
    {.name = "connectionDroppedTwiceMidBody",
     .first = with({},
                   [](sample::Faults& f) {
                       f.dropAfterBytes = kSize / 4;
                       f.dropCount = 2;
                   }),
     .sent = Sent::ExactlyTheFile},
    {.name = "everyConnectionDropsButBringsBytes",
     .first = with({},
                   [](sample::Faults& f) {
                       f.dropAfterBytes = kSize / 8;
                       f.dropCount = -1;
                   }),
     .sent = Sent::ExactlyTheFile},
    {.name = "trickleBelowTheStallLimit",
     .first = with({}, [](sample::Faults& f) { f.trickleBytesPerSecond = 16; }),
     .receiveTimeout = 1000,
     .ends = Ends::Failed},
    {.name = "unwritableFolder", .unwritable = true, .ends = Ends::Failed},
    {.name = "olderFileReplacedOnlyWhenWhole",
     .first = slow(),
     .pauseMidway = true,
     .oldTarget = true,
     .sent = Sent::OnlyTheRest},
    {.name = "stopWhileConnecting",
     .first = with({}, [](sample::Faults& f) { f.headerDelayMs = 3000; }),
     .stopAtOnce = true},
};

class EngineFaultsTest : public ::testing::TestWithParam<FaultCase> {
protected:
    test::ScratchFolder m_folder;
    test::EventRecorder m_events; // outlives the engine
    sample::SampleServer m_server;
    std::unique_ptr<DownloadEngine> m_engine = createCurlEngine();
};

TEST_P(EngineFaultsTest, endsWholeOrFailedWithNothingUnderTheFinalName) {
    const FaultCase& c = GetParam();
    ASSERT_TRUE(m_server.start(0));
    const std::string bytes = test::patternBytes(kSize, 7);
    m_server.addFile("/files/faults/资源.zip", bytes);
    m_server.setFaults(c.first);

    TaskRecord record;
    record.address = m_server.resourceServerBase() + "faults/资源.zip";
    record.savePath = m_folder.path("资源.zip");
    if (c.unwritable) {
        test::ScratchFolder::writeBytes(m_folder.path("plain"), "a file, not a folder");
        record.savePath = m_folder.path("plain") + "/资源.zip";
    }
    record.receiveTimeout = c.receiveTimeout;
    record.eventHandler = m_events.handler();
    const std::string older = "an older download of the same resource";
    if (c.oldTarget)
        test::ScratchFolder::writeBytes(record.savePath, older);

    ASSERT_TRUE(m_engine->addTask(record));
    if (c.pauseMidway || c.stopAtOnce) {
        if (c.pauseMidway) {
            ASSERT_TRUE(eventually([&] { return m_engine->doneLength() >= kPauseAfter; }));
        }
        TaskState state;
        ASSERT_TRUE(m_engine->stopTask(state, 2));
        ASSERT_TRUE(m_events.waitFinished());
        const std::int64_t pausedAt = m_events.lastValue(EngineEvent::Finished).value_or(-1);
        if (c.pauseMidway) {
            EXPECT_GE(pausedAt, kPauseAfter);
        }
        EXPECT_LT(pausedAt, kSize);
        if (c.oldTarget) {
            EXPECT_EQ(test::readFile(record.savePath), older); // untouched while the new one is partial
        }
        if (c.partWholeAtStop) {
            // as if the stop had come just after the last byte
            test::ScratchFolder::writeBytes(record.savePath + ".part", bytes);
            auto saved = curl::decodeState(state);
            ASSERT_TRUE(saved);
            saved->offset = kSize;
            saved->total = kSize;
            state = curl::encodeState(*saved);
        }
        m_server.setFaults(c.onContinue);
        m_server.resetStats();
        m_events.clear();
        ASSERT_TRUE(m_engine->resumeTask(record, state));
        ASSERT_TRUE(m_events.waitFinished());
        const std::int64_t sent = m_server.stats().bodyBytesSent;
        if (c.sent == Sent::OnlyTheRest) {
            EXPECT_EQ(sent, kSize - pausedAt);
        } else if (c.sent == Sent::NothingMore) {
            EXPECT_EQ(sent, 0);
        }
    } else {
        ASSERT_TRUE(m_events.waitFinished());
        if (c.sent == Sent::ExactlyTheFile) {
            EXPECT_EQ(m_server.stats().bodyBytesSent, kSize);
        }
    }

    const auto codes = m_events.codes();
    ASSERT_FALSE(codes.empty());
    EXPECT_EQ(codes.back(), static_cast<int>(EngineEvent::Finished));
    EXPECT_EQ(std::count(codes.begin(), codes.end(), static_cast<int>(EngineEvent::Finished)), 1);
    const bool failed = std::count(codes.begin(), codes.end(), static_cast<int>(EngineEvent::Failed)) > 0;
    if (c.ends == Ends::Whole) {
        EXPECT_FALSE(failed);
        EXPECT_EQ(m_events.lastValue(EngineEvent::SizeKnown), kSize);
        EXPECT_EQ(m_events.lastValue(EngineEvent::Finished), kSize);
        EXPECT_TRUE(test::sameBytes(test::readFile(record.savePath), bytes));
        EXPECT_FALSE(fs::exists(record.savePath + ".part"));
    } else {
        EXPECT_TRUE(failed);
        EXPECT_FALSE(fs::exists(record.savePath));
        // an error page is no part of the file
        const auto partial = test::readFile(record.savePath + ".part");
        EXPECT_TRUE(!partial || bytes.starts_with(*partial));
    }
}

INSTANTIATE_TEST_SUITE_P(Faults, EngineFaultsTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace plendrik::downloads
