// The start-up version check on its worker, and the "检测更新" command, with and without the
// updater beside the program.
#include "sample_server.h"
#include "support/app_fixture.h"
#include "web/update_check.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <future>

namespace plendrik::web {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using namespace std::string_literals;

constexpr const char* kThread = "https://bbs.test:8443/q/thread-2775-1-1.html";
constexpr const char* kBalloonText = "Plendrik版本更新了，请到官方论坛下载最新版本吧！";

// A program folder of its own for each test, with or without update.exe in it.
struct UpdateFixture : test::AppFixture {
    fs::path folder;

    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(info->test_suite_name()) + "_" + info->name();
        std::replace(name.begin(), name.end(), '/', '_');
        folder = fs::temp_directory_path() / ("plendrik_update_" + name);
        fs::remove_all(folder);
        fs::create_directories(folder);
        ui.setProgramFolder(folder.string());
    }
    void TearDown() override { fs::remove_all(folder); }

    void putUpdater() { std::ofstream(folder / "update.exe") << "#!"; }
    std::string updater() const { return (folder / "update.exe").string(); }

    // Calls of the check itself, leaving out the thread start and the fetch.
    std::vector<std::string> effects() const {
        std::vector<std::string> out;
        for (const auto& call : ui.calls())
            if (call != "startThread" && call.rfind("httpGet ", 0) != 0)
                out.push_back(call);
        return out;
    }
};

// --- the version file ---------------------------------------------------------------------------

struct VersionCase {
    std::string body;
    VersionVerdict verdict;
};

class VersionTable : public UpdateFixture,
                     public ::testing::WithParamInterface<std::tuple<VersionCase, bool>> {};

TEST_P(VersionTable, checkAnnouncesOnlyAnotherVersion) {
    const auto& [c, withUpdater] = GetParam();
    if (withUpdater)
        putUpdater();
    ui.setHttpGet([body = c.body](std::string_view) { return body; });

    startUpdateCheck(ctx);
    ui.joinThreads();

    EXPECT_EQ(judgeVersionFile(c.body), c.verdict);
    EXPECT_THAT(ui.calls(), ::testing::Contains("httpGet http://files.test:7001/r/update.txt"));
    if (c.verdict != VersionVerdict::NewVersion) {
        EXPECT_THAT(effects(), IsEmpty());
        return;
    }
    const std::string balloon = "showBalloonAt 气球提示框2 850 120 "s + kBalloonText;
    if (withUpdater) {
        EXPECT_THAT(effects(), ElementsAre(balloon, "openAddress "s + kThread, "runProgram " + updater()));
        EXPECT_THAT(ui.messages(), IsEmpty());
    } else {
        EXPECT_THAT(effects(), ElementsAre(balloon, "openAddress "s + kThread,
                                           "messageBox 自动更新程序已损坏，请手动官方下载 0 信息：",
                                           "openAddress "s + kThread));
        ASSERT_EQ(ui.messages().size(), 1u);
        EXPECT_TRUE(ui.messages()[0].fromWorker) << "the message must block the worker only";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Bodies, VersionTable,
    ::testing::Combine(::testing::Values(VersionCase{"1|V2.5|2", VersionVerdict::Current},
                                         VersionCase{"1|v2.5|2", VersionVerdict::NewVersion},
                                         VersionCase{"1|V2.5 |2", VersionVerdict::NewVersion},
                                         VersionCase{"1|V2.4|2", VersionVerdict::NewVersion},
                                         VersionCase{"1|V2.5|2|3", VersionVerdict::Current},
                                         VersionCase{"1|V2.6|2\r\n", VersionVerdict::NewVersion},
                                         VersionCase{"1|V2.6", VersionVerdict::NoAnswer},
                                         VersionCase{"1|V2.6|", VersionVerdict::NoAnswer},
                                         VersionCase{"", VersionVerdict::NoAnswer},
                                         // the text ends at its first zero byte
                                         VersionCase{"1|V2.6\0|2|3"s, VersionVerdict::NoAnswer},
                                         VersionCase{"1|V2.5|2\0|V9"s, VersionVerdict::Current}),
                       ::testing::Bool()));

TEST(BalloonPlace, screenWidthLessHalfTheWindowTruncatedTowardZero) {
    struct Case {
        int screen, window, x;
    };
    for (const Case c :
         {Case{1280, 860, 850}, Case{1280, 861, 849}, Case{1024, 1, 1023}, Case{100, 301, -50}})
        EXPECT_EQ(balloonLeft(c.screen, c.window), c.x) << c.screen << " " << c.window;
}

TEST_F(UpdateFixture, balloonFollowsTheMainWindowsWidth) {
    putUpdater();
    ui.setOuterSize(ui::WindowId::Main, 861, 540);
    ui.setScreenWidth(1920);
    ui.setHttpGet([](std::string_view) { return "x|V3.0|y"s; });
    startUpdateCheck(ctx);
    ui.joinThreads();
    ASSERT_FALSE(effects().empty());
    EXPECT_EQ(effects()[0], "showBalloonAt 气球提示框2 1489 120 "s + kBalloonText);
}

TEST_F(UpdateFixture, workerKeepsTheAddressesItStartedWith) {
    std::promise<void> gate;
    auto opened = gate.get_future().share();
    ui.setHttpGet([opened](std::string_view) {
        opened.wait();
        return "1|V2.6|2"s;
    });
    putUpdater();
    startUpdateCheck(ctx);
    config.forumBase = "http://changed.test/";
    gate.set_value();
    ui.joinThreads();
    EXPECT_THAT(ui.openedAddresses(), ElementsAre(kThread));
}

// --- "检测更新" -------------------------------------------------------------------------------------

TEST_F(UpdateFixture, updateCommandStartsTheUpdaterWhenItIsThere) {
    putUpdater();
    choose(ui::MenuItem::CheckUpdate);
    EXPECT_THAT(ui.calls(), ElementsAre("runProgram " + updater()));
}

TEST_F(UpdateFixture, updateCommandWithoutUpdaterSaysSoThenOpensTheThread) {
    choose(ui::MenuItem::CheckUpdate);
    EXPECT_THAT(ui.calls(),
                ElementsAre("messageBox update.exe更新文件已被损坏，请去官方论坛重新下载更新文件 0 更新",
                            "openAddress "s + kThread));
    EXPECT_THAT(ui.startedPrograms(), IsEmpty());
}

// --- against the loopback file server -------------------------------------------------------------

struct UpdateCheckOnServer : UpdateFixture {
    sample::SampleServer server;

    void SetUp() override {
        UpdateFixture::SetUp();
        ASSERT_TRUE(server.start(0));
        config.resourceServerBase = server.resourceServerBase();
        putUpdater();
    }
    void runCheck() {
        startUpdateCheck(ctx);
        ui.joinThreads();
    }
};

TEST_F(UpdateCheckOnServer, sameVersionShowsNothingAnotherStartsTheUpdater) {
    runCheck();
    EXPECT_THAT(effects(), IsEmpty());

    ui.clearLog();
    server.setLatestVersion("V2.6");
    runCheck();
    EXPECT_THAT(ui.openedAddresses(), ElementsAre(kThread));
    EXPECT_THAT(ui.startedPrograms(), ElementsAre(updater()));
}

TEST_F(UpdateCheckOnServer, missingOrUnreachableVersionFileEndsQuietly) {
    server.addFile("/files/update.txt", "1|V9.9|2", 404);
    runCheck();
    EXPECT_THAT(effects(), IsEmpty()) << "an error page is no version file";

    ui.clearLog();
    server.stop();
    runCheck();
    EXPECT_THAT(effects(), IsEmpty());
    EXPECT_THAT(ui.messages(), IsEmpty());
}

} // namespace
} // namespace plendrik::web
