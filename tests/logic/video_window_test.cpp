// The video course window: topics, course lists, playing a course, its toolbar and title buttons;
// and the player window's browser sizing.
#include "catalogue/split_text.h"
#include "common/gbk.h"
#include "sample_server.h"
#include "support/app_fixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace plendrik::video {
namespace {

using namespace ui::video_window;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ui::EventKind;
using ui::WindowId;
using namespace std::string_literals;
using Rows = std::vector<std::vector<std::string>>;

struct VideoWindowTest : test::AppFixture {
    std::vector<std::string> fetched;
    std::string served;

    VideoWindowTest() {
        ui.setHttpGet([this](std::string_view address) {
            fetched.emplace_back(address);
            return served;
        });
        ui.loadWindow(WindowId::Video);
        ui.setWindowVisible(WindowId::Main, true);
        ui.clearLog();
    }
    void doubleClickTopic(int item) {
        ui.setSelectedTreeItem(树型框1, item);
        fire(EventKind::TreeDoubleClicked, 树型框1);
    }
    void activateCourse(int row) {
        ui.setSelectedRow(CourseList, row);
        fire(EventKind::ListActivated, CourseList, row);
    }
    void minimiseHiddenMain() {
        ui.setWindowState(WindowId::Main, ui::kStateMinimised);
        ui.setWindowVisible(WindowId::Main, false);
        ui.clearLog();
    }
};

// --- course lists -------------------------------------------------------------------------------

struct ListCase {
    const char* name;
    std::string body; // GBK
    Rows rows;
};

class CourseListLoad : public VideoWindowTest, public ::testing::WithParamInterface<ListCase> {};

TEST_P(CourseListLoad, linesBecomeRowsOfThreeCells) {
    const ListCase& c = GetParam();
    ui.appendRows(CourseList, {{"old", "row", "http://old"}});
    served = c.body;
    doubleClickTopic(1);
    EXPECT_EQ(ui.rows(CourseList), c.rows);
    EXPECT_THAT(ui.messages(), IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Files, CourseListLoad,
    ::testing::Values(ListCase{"finalLineBreak",
                               "a|b|http://p/1\r\nc|d|http://p/2\r\n",
                               {{"a", "b", "http://p/1"}, {"c", "d", "http://p/2"}}},
                      ListCase{"fourthFieldIgnored", "a|b|http://p/1|extra", {{"a", "b", "http://p/1"}}},
                      ListCase{"shortLineSkipped", "a|b\r\nc|d|http://p/2", {{"c", "d", "http://p/2"}}},
                      ListCase{"emptyLineSkipped", "a|b|1\r\n\r\nc|d|2", {{"a", "b", "1"}, {"c", "d", "2"}}},
                      ListCase{"emptyFieldsKept", "||x", {{"", "", "x"}}}, ListCase{"failedFetch", "", {}},
                      ListCase{"endsAtZeroByte", "a|b|1\r\n\0c|d|2"s, {{"a", "b", "1"}}},
                      ListCase{"gbkDecoded",
                               gbk::fromUtf8("基础第一课|安装与入门|http://v/1"),
                               {{"基础第一课", "安装与入门", "http://v/1"}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(VideoWindowTest, topicsLoadTheirOwnFileAndGroupsNothing) {
    struct Case {
        int item;
        const char* file; // nullptr: nothing loads, the list keeps its rows
    };
    const Case cases[] = {{0, nullptr},
                          {1, "zaixianshiping/zq9jichupeixun.txt"},
                          {2, "zaixianshiping/zq9qianghuapeixun.txt"},
                          {3, nullptr},
                          {4, "zaixianshiping/jjichu.txt"},
                          {5, "zaixianshiping/jjinjie.txt"},
                          {6, "zaixianshiping/jqianghua.txt"},
                          {-1, nullptr},
                          {7, nullptr}};
    served = "n|d|http://p";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item);
        fetched.clear();
        ui.deleteAllRows(CourseList);
        ui.appendRows(CourseList, {{"kept", "", ""}});
        doubleClickTopic(c.item);
        if (c.file) {
            EXPECT_THAT(fetched, ElementsAre("http://files.test:7001/r/"s + c.file));
            EXPECT_EQ(ui.rows(CourseList), (Rows{{"n", "d", "http://p"}}));
        } else {
            EXPECT_THAT(fetched, IsEmpty());
            EXPECT_EQ(ui.rows(CourseList), (Rows{{"kept", "", ""}}));
        }
    }
}

TEST_F(VideoWindowTest, creationAttachesTheCourseListTip) {
    fireWindow(EventKind::WindowCreated, WindowId::Video);
    EXPECT_THAT(ui.calls(),
                ElementsAre("attachHoverTip 气球提示框1 超级列表框2 双击教程，进入视频教学播放器"));
}

// --- playing ------------------------------------------------------------------------------------

TEST_F(VideoWindowTest, firstCourseCreatesThePlayerLaterOnesReloadIt) {
    ui.appendRows(CourseList, {{"a", "b", "http://play/1"}, {"c", "d", ""}});
    activateCourse(0);
    EXPECT_THAT(ui.calls(), ElementsAre("loadWindow 2", "setBrowserAddress 超文本浏览框1 http://play/1"));

    ui.clearLog();
    activateCourse(0);
    EXPECT_THAT(ui.calls(), ElementsAre("setBrowserAddress 超文本浏览框1 ",
                                        "setBrowserAddress 超文本浏览框1 http://play/1"));

    // An empty play address is handed on unchanged.
    ui.clearLog();
    activateCourse(1);
    EXPECT_THAT(ui.calls(),
                ElementsAre("setBrowserAddress 超文本浏览框1 ", "setBrowserAddress 超文本浏览框1 "));
    EXPECT_EQ(ui.browserAddress(ui::player_window::超文本浏览框1), "");
}

TEST_F(VideoWindowTest, activationWithoutASelectedRowPlaysNothing) {
    activateCourse(-1);
    EXPECT_THAT(ui.calls(), IsEmpty());
}

TEST_F(VideoWindowTest, playerBrowserTakesTheWholeWindowThenLessTheFrame) {
    fireWindow(EventKind::WindowCreated, WindowId::Player);
    EXPECT_EQ(ui.controlRect(ui::player_window::超文本浏览框1), (ui::Rect{0, 0, 822, 546}));
    ui.setOuterSize(WindowId::Player, 800, 600);
    fireWindow(EventKind::WindowResized, WindowId::Player);
    EXPECT_EQ(ui.controlRect(ui::player_window::超文本浏览框1), (ui::Rect{0, 0, 785, 565}));
}

// --- toolbar and title buttons ----------------------------------------------------------------------

TEST_F(VideoWindowTest, toolbarAddresses) {
    const std::pair<int, std::string> cases[] = {
        {1, "https://bbs.test:8443/q/thread-1804-1-1.html"},
        {2, "https://bbs.test:8443/q/plugin.php?id=dsu_paulsign:sign"},
        {3, "http://second.test/w/misc.php?mod=faq&action=faq&id=4"},
        {4, "https://bbs.test:8443/q/"},
    };
    for (const auto& [button, opened] : cases) {
        ui.clearLog();
        fire(EventKind::ToolbarClicked, 工具条1, button);
        EXPECT_THAT(ui.calls(), ElementsAre("openAddress " + opened)) << button;
    }
    ui.clearLog();
    fire(EventKind::ToolbarClicked, 工具条1, 5);
    EXPECT_THAT(ui.calls(), IsEmpty());
}

TEST_F(VideoWindowTest, mainWindowButtonShowsAndRestoresMainThenCentresThisWindow) {
    // Main visible and normal: shown, activated, no restore.
    fire(EventKind::ToolbarClicked, 工具条1, 0);
    EXPECT_THAT(ui.calls(), ElementsAre("setWindowVisible 0 1", "activateWindow 0", "setWindowState 1 1"));

    // Main minimised into the tray: it also leaves the minimised state.
    minimiseHiddenMain();
    fire(EventKind::ToolbarClicked, 工具条1, 0);
    EXPECT_THAT(ui.calls(), ElementsAre("setWindowVisible 0 1", "setWindowState 0 1", "activateWindow 0",
                                        "setWindowState 1 1"));
    EXPECT_TRUE(ui.windowVisible(WindowId::Main));
    EXPECT_EQ(ui.windowStateOf(WindowId::Main), ui::kStateNormal);
    EXPECT_TRUE(ui.windowCreated(WindowId::Video));
}

TEST_F(VideoWindowTest, closeButtonBringsMainBackAndLeavesThePlayer) {
    ui.loadWindow(WindowId::Player);
    minimiseHiddenMain();
    fire(EventKind::ButtonClicked, 图形按钮2);
    EXPECT_THAT(ui.calls(), ElementsAre("setWindowVisible 0 1", "setWindowState 0 1", "destroyWindow 1"));
    EXPECT_TRUE(ui.windowVisible(WindowId::Main));
    EXPECT_EQ(ui.windowStateOf(WindowId::Main), ui::kStateNormal);
    EXPECT_FALSE(ui.windowCreated(WindowId::Video));
    EXPECT_TRUE(ui.windowCreated(WindowId::Player));
}

TEST_F(VideoWindowTest, minimiseButtonMinimisesThisWindowOnly) {
    fire(EventKind::ButtonClicked, 图形按钮3);
    EXPECT_THAT(ui.calls(), ElementsAre("setWindowState 1 2"));
    EXPECT_TRUE(ui.windowVisible(WindowId::Main));
}

TEST_F(VideoWindowTest, mainWindowControlsOfTheSameNameAreNotThisWindows) {
    // The main window's 图形按钮3 minimises the main window, not this one.
    fire(EventKind::ButtonClicked, ui::main_window::图形按钮3);
    EXPECT_THAT(ui.calls(), ElementsAre("setWindowState 0 2"));
}

// --- against the loopback file server -------------------------------------------------------------

struct CourseListOnServer : test::AppFixture {
    sample::SampleServer server;

    void SetUp() override {
        ASSERT_TRUE(server.start(0));
        config.resourceServerBase = server.resourceServerBase();
        ui.loadWindow(WindowId::Video);
    }
    void doubleClickTopic(int item) {
        ui.setSelectedTreeItem(树型框1, item);
        fire(EventKind::TreeDoubleClicked, 树型框1);
    }
};

TEST_F(CourseListOnServer, everyCourseOfTheServedFileBecomesAPlayableRow) {
    const auto served = server.fileBytes("/files/zaixianshiping/jjichu.txt");
    ASSERT_TRUE(served.has_value());
    const auto lines = catalogue::SplitText(*served, "\r\n");
    ASSERT_FALSE(lines.empty());

    doubleClickTopic(4);
    const Rows rows = ui.rows(CourseList);
    ASSERT_EQ(rows.size(), lines.size());
    const auto first = catalogue::SplitText(lines[0], "|");
    EXPECT_EQ(rows[0][0], gbk::toUtf8(first[0]));
    for (const auto& row : rows) {
        EXPECT_FALSE(row[0].empty());
        EXPECT_EQ(row[2].rfind(server.root() + "video/", 0), 0u) << row[2];
    }

    // Playing one opens the player on the served address.
    ui.setSelectedRow(CourseList, 0);
    fire(EventKind::ListActivated, CourseList, 0);
    EXPECT_EQ(ui.browserAddress(ui::player_window::超文本浏览框1), rows[0][2]);
}

TEST_F(CourseListOnServer, missingFileOrDeadServerLeavesTheListEmptyAndSilent) {
    server.addFile("/files/zaixianshiping/jjinjie.txt", "a|b|c", 404);
    doubleClickTopic(5);
    EXPECT_THAT(ui.rows(CourseList), IsEmpty());

    doubleClickTopic(4);
    ASSERT_FALSE(ui.rows(CourseList).empty());
    server.stop();
    doubleClickTopic(4);
    EXPECT_THAT(ui.rows(CourseList), IsEmpty()) << "the old rows go before the fetch";
    EXPECT_THAT(ui.messages(), IsEmpty());
}

} // namespace
} // namespace plendrik::video
