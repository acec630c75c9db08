// The main window's toolbar, tray icon, tray menu and minimising.
#include "app/module_events.h"
#include "app/view.h"
#include "support/app_fixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace plendrik::app {
namespace {

using namespace ui::main_window;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ui::EventKind;
using ui::MenuItem;
using ui::WindowId;

constexpr const char* kShareText = "我目前正在使用Plendrik，使我开发安卓程序更加方便，大家快来试试吧：https:/"
                                   "/bbs.test:8443/q/thread-2775-1-1.html";
constexpr ui::Rect kListPlace{176, 4, 666, 373};
constexpr int kShown = kListPlace.top;
constexpr int kHidden = kHiddenDownloadListTop;

struct MainCommands : test::AppFixture {
    void toolbar(int button) { fire(EventKind::ToolbarClicked, 工具条1, button); }
    void tray(int code) { fire(ui::UiEvent{EventKind::TrayEvent, WindowId::Main, {}, {}, {}, code}); }
    // The main window shown, as after start-up.
    void showMain() {
        ui.setWindowVisible(WindowId::Main, true);
        ui.clearLog();
    }
};

// --- toolbar ------------------------------------------------------------------------------------

struct ToolbarCase {
    int button;
    int pageBefore, pageAfter;
    int listTopBefore, listTopAfter; // the download list: shown at kShown, out of view at kHidden
    std::vector<std::string> opened;
    std::string clipboard;
    std::vector<std::string> messages;
};

class ToolbarTable : public MainCommands, public ::testing::WithParamInterface<ToolbarCase> {};

TEST_P(ToolbarTable, buttonHasItsEffectAndNoOther) {
    const ToolbarCase& c = GetParam();
    // Button 2's catalogue, so its load finishes without a word.
    ui.setHttpGet([](std::string_view) { return std::string("name|12|2026-01-01|note\r\n"); });
    ui.setCurrentPage(选择夹1, c.pageBefore);
    ui.setControlRect(DownloadList, {c.listTopBefore == kShown ? kListPlace.left : 0, c.listTopBefore,
                                     kListPlace.width, kListPlace.height});
    ui.clearLog();

    toolbar(c.button);
    ui.joinThreads();

    EXPECT_EQ(ui.currentPage(), c.pageAfter);
    const ui::Rect list = ui.controlRect(DownloadList);
    EXPECT_EQ(list.top, c.listTopAfter);
    if (c.listTopAfter == kShown) {
        EXPECT_EQ(list, kListPlace) << "the download list covers the resource list exactly";
    }
    EXPECT_EQ(ui.openedAddresses(), c.opened);
    EXPECT_EQ(ui.clipboard(), c.clipboard);
    std::vector<std::string> texts;
    for (const auto& m : ui.messages()) {
        texts.push_back(m.text);
        EXPECT_EQ(m.buttons, ui::kOk);
        EXPECT_EQ(m.caption, "信息：");
    }
    EXPECT_EQ(texts, c.messages);
    // Only button 2 fetches: its own catalogue, into the resource list.
    std::vector<std::string> fetched;
    for (const auto& call : ui.calls())
        if (call.rfind("httpGet ", 0) == 0)
            fetched.push_back(call);
    if (c.button == 2) {
        EXPECT_THAT(fetched, ElementsAre("httpGet http://files.test:7001/r/vantorojichushenru/123.txt"));
        EXPECT_EQ(ui.rows(ResourceList),
                  (std::vector<std::vector<std::string>>{{"name", "12KB", "2026-01-01", "note"}}));
    } else {
        EXPECT_THAT(fetched, IsEmpty());
    }
    EXPECT_FALSE(ui.windowCreated(WindowId::Video));
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, ToolbarTable,
    ::testing::Values(
        ToolbarCase{0, 1, 0, kHidden, kShown, {}, "", {}},
        ToolbarCase{1, 0, 1, kShown, kShown, {"http://classroom.test/c?id=7"}, "", {}},
        ToolbarCase{2, 1, 0, kShown, kHidden, {}, "", {}},
        ToolbarCase{3, 1, 1, kShown, kShown, {"https://bbs.test:8443/q/thread-2792-1-1.html"}, "", {}},
        ToolbarCase{4, 1, 1, kShown, kShown, {"https://bbs.test:8443/q/forum-46-1.html"}, "", {}},
        ToolbarCase{5, 1, 1, kShown, kShown, {}, kShareText, {std::string("已成功复制：") + kShareText}},
        ToolbarCase{6, 1, 1, kShown, kShown, {"https://bbs.test:8443/q/thread-2009-1-1.html"}, "", {}},
        ToolbarCase{8, 1, 1, kShown, kShown, {}, "", {}}),
    [](const auto& info) { return "button" + std::to_string(info.param.button); });

TEST_F(MainCommands, viewButtonsLeaveTheCheckedButtonToTheToolbar) {
    for (int button : {0, 1, 3, 4, 5, 6}) {
        toolbar(button);
        for (const auto& call : ui.calls())
            EXPECT_NE(call.rfind("checkToolbarButton", 0), 0u) << "button " << button << ": " << call;
    }
}

TEST_F(MainCommands, shareTextGoesOnTheClipboardBeforeTheMessage) {
    toolbar(5);
    const auto calls = ui.calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0], std::string("setClipboardText ") + kShareText);
    EXPECT_EQ(calls[1].rfind("messageBox 已成功复制：", 0), 0u);
}

TEST_F(MainCommands, videoButtonActivatesAnOpenVideoWindowWithoutAsking) {
    showMain();
    ui.loadWindow(WindowId::Video);
    ui.clearLog();
    toolbar(7);
    EXPECT_THAT(ui.calls(), ElementsAre("activateWindow 1"));
    EXPECT_TRUE(ui.windowVisible(WindowId::Main));
}

TEST_F(MainCommands, videoButtonAsksFirstThenOpensTheWindowEitherWay) {
    struct Case {
        int answer;
        bool mainVisibleAfter;
    };
    for (const Case c : {Case{ui::kAnswerYes, false}, Case{ui::kAnswerNo, true}}) {
        SCOPED_TRACE(c.answer);
        showMain();
        ui.destroyWindow(WindowId::Video);
        ui.setWindowState(WindowId::Main, ui::kStateCentred);
        ui.clearLog();
        ui.answerNext(c.answer);

        toolbar(7);
        // The binding reports the minimise as a move.
        fireWindow(EventKind::WindowMoved, WindowId::Main);

        ASSERT_EQ(ui.messages().size(), 1u);
        EXPECT_EQ(ui.messages()[0].text, "您已打开视频教学系统，是否最小化主窗口");
        EXPECT_EQ(ui.messages()[0].caption, "是否最小化");
        EXPECT_EQ(ui.messages()[0].buttons, ui::kYesNo);
        auto calls = ui.calls();
        EXPECT_EQ(calls.front().rfind("messageBox", 0), 0u) << "the question comes before the window";
        EXPECT_NE(std::find(calls.begin(), calls.end(), "loadWindow 1"), calls.end());
        EXPECT_TRUE(ui.windowCreated(WindowId::Video));
        EXPECT_EQ(ui.windowVisible(WindowId::Main), c.mainVisibleAfter);
        EXPECT_EQ(ui.windowStateOf(WindowId::Main),
                  c.mainVisibleAfter ? ui::kStateNormal : ui::kStateMinimised);
    }
}

// --- tray icon and minimising ---------------------------------------------------------------------

TEST_F(MainCommands, trayCodes) {
    struct Case {
        int code;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {ui::kTrayLeftUp, {}},
        {ui::kTrayLeftDoubleClick, {"setWindowVisible 0 1", "focusWindow 0", "setWindowState 0 1"}},
        {ui::kTrayRightUp, {"popupTrayMenu 托盘"}},
        {0, {}},
        {4, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        ui.clearLog();
        tray(c.code);
        EXPECT_EQ(ui.calls(), c.calls);
    }
}

TEST_F(MainCommands, minimiseHidesIntoTheTrayOnlyWhereThereIsOne) {
    for (bool hasTray : {true, false}) {
        SCOPED_TRACE(hasTray);
        ui.setTrayAvailable(hasTray);
        showMain();
        fireWindow(EventKind::WindowMoved, WindowId::Main); // a plain move changes nothing
        EXPECT_TRUE(ui.windowVisible(WindowId::Main));

        fire(EventKind::ButtonClicked, 图形按钮3);
        fireWindow(EventKind::WindowMoved, WindowId::Main);
        EXPECT_EQ(ui.windowStateOf(WindowId::Main), ui::kStateMinimised);
        EXPECT_EQ(ui.windowVisible(WindowId::Main), !hasTray);

        // Back from the tray: visible, restored and centred, with the focus.
        tray(ui::kTrayLeftUp);
        EXPECT_EQ(ui.windowVisible(WindowId::Main), !hasTray);
        tray(ui::kTrayLeftDoubleClick);
        EXPECT_TRUE(ui.windowVisible(WindowId::Main));
        EXPECT_EQ(ui.windowStateOf(WindowId::Main), ui::kStateNormal);
    }
}

TEST_F(MainCommands, titleRightClickOpensTheTrayMenuOnlyWithoutATray) {
    struct Case {
        bool tray;
        int index;
        std::vector<std::string> popped;
    };
    const Case cases[] = {{false, 3, {"托盘"}}, {true, 3, {}}, {false, -1, {}}, {false, 1, {}}};
    for (const Case& c : cases) {
        test::FakeUi fresh;
        Context local{state, fresh, config, {}};
        fresh.setTrayAvailable(c.tray);
        handleMainCommandEvent(
            local, ui::UiEvent{EventKind::ButtonClicked, WindowId::Main, 透明标签1, {}, {}, c.index});
        EXPECT_EQ(fresh.poppedMenus(), c.popped) << c.tray << " " << c.index;
    }
}

// --- tray menu --------------------------------------------------------------------------------------

TEST_F(MainCommands, trayMenuItemsOpenTheirAddresses) {
    struct Case {
        MenuItem item;
        std::string opened;
    };
    const Case cases[] = {
        {MenuItem::Recruit, "https://bbs.test:8443/q/thread-1804-1-1.html"},
        {MenuItem::SponsorForum, "https://bbs.test:8443/q/thread-2009-1-1.html"},
        {MenuItem::FreeTask, "http://tasks.test/t/home.php?mod=task"},
        {MenuItem::Support, "tencent://Message/?uin=5550123"},
    };
    for (const Case& c : cases) {
        ui.clearLog();
        choose(c.item);
        EXPECT_THAT(ui.calls(), ElementsAre("openAddress " + c.opened));
    }
}

TEST_F(MainCommands, aboutOpensOnceThenComesToTheFrontWhileMainStaysHidden) {
    ui.setWindowVisible(WindowId::Main, false);
    ui.clearLog();
    choose(MenuItem::AboutAuthor);
    choose(MenuItem::AboutAuthor);
    EXPECT_THAT(ui.calls(), ElementsAre("loadWindow 4", "activateWindow 4"));
    EXPECT_FALSE(ui.windowVisible(WindowId::Main));
}

TEST_F(MainCommands, exitAndUpdateItemsAreLeftToTheirOwnHandlers) {
    for (MenuItem item :
         {MenuItem::ExitProgram, MenuItem::CheckUpdate, MenuItem::StartTask, MenuItem::AddAll})
        EXPECT_FALSE(
            handleMainCommandEvent(ctx, ui::UiEvent{EventKind::MenuChosen, WindowId::Main, {}, item}));
    EXPECT_THAT(ui.calls(), IsEmpty());
}

} // namespace
} // namespace plendrik::app
