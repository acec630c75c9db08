// The forum window's browser fills the window, at creation and after every size change.
#include "support/app_fixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace plendrik::web {
namespace {

using ::testing::ElementsAre;
using ui::EventKind;
using ui::WindowId;

struct ForumWindowTest : test::AppFixture {};

TEST_F(ForumWindowTest, createdWindowFitsItsBrowserAndLoadsTheBoard) {
    fireWindow(EventKind::WindowCreated, WindowId::Forum);
    EXPECT_EQ(ui.controlRect(ui::forum_window::超文本浏览框1), (ui::Rect{0, 0, 1022, 448}));
    EXPECT_EQ(ui.browserAddress(ui::forum_window::超文本浏览框1), "https://bbs.test:8443/q/forum-40-1.html");
}

TEST_F(ForumWindowTest, everyResizeFitsTheBrowserAgain) {
    struct Case {
        int w, h;
        ui::Rect browser;
    };
    for (const Case c : {Case{800, 600, {0, 0, 790, 575}}, Case{1920, 1050, {0, 0, 1910, 1025}},
                         Case{1032, 473, {0, 0, 1022, 448}}}) {
        ui.clearLog();
        ui.setOuterSize(WindowId::Forum, c.w, c.h);
        fireWindow(EventKind::WindowResized, WindowId::Forum);
        EXPECT_EQ(ui.controlRect(ui::forum_window::超文本浏览框1), c.browser) << c.w << "x" << c.h;
        // one move, never the browser's address again
        EXPECT_EQ(ui.calls().size(), 1u);
    }
}

} // namespace
} // namespace plendrik::web
