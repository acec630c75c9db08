// The video, player, forum and about windows as built from their tables: one of each, centred,
// with their frames, and the about window's links open their addresses without closing it.
#include "qt/qt_fixture.h"
#include "ui/layouts.h"
#include "ui/qt/widgets.h"

#include <QAction>
#include <QLabel>
#include <QScreen>
#include <QTreeView>
#include <QTreeWidget>

namespace plendrik::test {
namespace {

using namespace ui;

struct WindowCase {
    WindowId id;
    const char* title;
    int width, height;
    FrameKind frame;
};

class OtherWindowsTest : public QtFixture, public ::testing::WithParamInterface<WindowCase> {};

TEST_P(OtherWindowsTest, builtFromItsTable_centred_oneOfEach) {
    const WindowCase& c = GetParam();
    sink.events.clear();
    ui.loadWindow(c.id);
    ui.loadWindow(c.id); // a second load keeps the one window
    QWidget* w = ui.window(c.id);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(sink.count(EventKind::WindowCreated), 1);
    EXPECT_EQ(w->windowTitle().toStdString(), c.title);
    EXPECT_EQ(ui.outerWidth(c.id), c.width);
    EXPECT_EQ(ui.outerHeight(c.id), c.height);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(w->frameGeometry().topLeft(),
              QPoint((screen.width() - c.width) / 2, (screen.height() - c.height) / 2));
    const Qt::WindowFlags flags = w->windowFlags();
    EXPECT_EQ(flags.testFlag(Qt::FramelessWindowHint), c.frame == FrameKind::Frameless);
    if (c.frame == FrameKind::FixedCloseOnly) {
        EXPECT_EQ(w->minimumSize(), w->maximumSize());
        EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
        EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
        EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    }
    for (const ControlSpec& spec : windowLayout(c.id, config).controls) {
        if (spec.kind == ControlKind::Balloon)
            continue;
        SCOPED_TRACE(spec.name);
        QWidget* control = ui.widget(Control{c.id, spec.name});
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->geometry(),
                  QRect(spec.place.left, spec.place.top, spec.place.width, spec.place.height));
    }

    ui.destroyWindow(c.id);
    EXPECT_FALSE(ui.isWindowCreated(c.id));
    EXPECT_EQ(sink.count(EventKind::WindowDestroying), 1);
    EXPECT_TRUE(ui.isWindowCreated(WindowId::Main));
}

INSTANTIATE_TEST_SUITE_P(
    Windows, OtherWindowsTest,
    ::testing::Values(
        WindowCase{WindowId::Video, "(ZQ9)Plendrik视频教学系统 - V2.5", 711, 535, FrameKind::Frameless},
        WindowCase{WindowId::Player, "(ZQ9)Plendrik在线视频教学系统 - V2.5", 822, 546, FrameKind::Resizable},
        WindowCase{WindowId::Forum, "Harnoc论坛 - Askory（讲师定时回答问题）", 1032, 473,
                   FrameKind::Resizable},
        WindowCase{WindowId::About, "关于作者", 250, 214, FrameKind::FixedCloseOnly}));

using WindowTextsTest = QtFixture;

TEST_F(WindowTextsTest, videoWindow_toolbarTreeAndCourseList) {
    ui.loadWindow(WindowId::Video);
    const std::vector<std::pair<std::string, std::string>> buttons = {
        {"主窗口", "转到Plendrik主页面"}, {"讲师招聘", "应聘论坛讲师"},
        {"每日签到", "论坛签到领取金币"}, {"ZQ9正版赞助", "支持正版ZQ9，赞助正版产品"},
        {"官方论坛", "Vantoro编程论坛"},
    };
    for (int i = 0; i < 5; ++i) {
        QAction* a = ui.toolbarButton(video_window::工具条1, i);
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->text().toStdString(), buttons[std::size_t(i)].first);
        EXPECT_EQ(a->toolTip().toStdString(), buttons[std::size_t(i)].second);
    }
    auto* tree = qobject_cast<QTreeWidget*>(ui.widget(video_window::树型框1));
    ASSERT_NE(tree, nullptr);
    int items = 0;
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        ++items;
    EXPECT_EQ(items, 7);
    auto* courses = qobject_cast<QTreeView*>(ui.widget(video_window::CourseList));
    ASSERT_NE(courses, nullptr);
    EXPECT_EQ(courses->columnWidth(0), 230);
    EXPECT_EQ(courses->columnWidth(1), 300);
    EXPECT_TRUE(courses->isColumnHidden(2));
    EXPECT_EQ(qobject_cast<QLabel*>(ui.widget(video_window::标签1))->text(), "官方网站：http://forum.test");

    // The same names in two windows are two controls.
    ui.appendRows(video_window::CourseList, {{"课", "说明", "http://play.test/1"}});
    EXPECT_EQ(ui.cellText(video_window::CourseList, 0, 2), "http://play.test/1");
    EXPECT_EQ(ui.rowCount(main_window::DownloadList), 0);
}

TEST_F(WindowTextsTest, aboutWindow_linksNameTheHostsAndStayOpen) {
    ui.loadWindow(WindowId::About);
    auto text = [&](const Control& c) { return qobject_cast<QLabel*>(ui.widget(c))->text(); };
    EXPECT_TRUE(text(about_window::超级链接框1).contains("ZQ9编程平台：forum.test<"));
    EXPECT_TRUE(text(about_window::超级链接框1).contains("href=\"http://forum.test/\""));
    EXPECT_TRUE(text(about_window::超级链接框2).contains("ZQ9官方论坛：forum2.test/<"));
    EXPECT_TRUE(text(about_window::标签2).startsWith("作    者："));
    EXPECT_EQ(ui.widget(about_window::标签2)->parentWidget(), ui.widget(about_window::分组框1));

    auto* link = qobject_cast<QLabel*>(ui.widget(about_window::超级链接框1));
    emit link->linkActivated("http://forum.test/");
    EXPECT_TRUE(ui.isWindowCreated(WindowId::About));
    EXPECT_EQ(sink.count(EventKind::WindowDestroying), 0);
}

TEST_F(WindowTextsTest, browserAddress_setBeforeTheViewExists_isKept) {
    ui.loadWindow(WindowId::Forum);
    ui.setBrowserAddress(forum_window::超文本浏览框1, "http://forum.test/forum-40-1.html");
    auto* box = qobject_cast<qt::BrowserBox*>(ui.widget(forum_window::超文本浏览框1));
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(box->hasView()); // browsers are off in these tests: the address waits for the view
    EXPECT_EQ(box->address(), "http://forum.test/forum-40-1.html");
    ui.moveControl(forum_window::超文本浏览框1, Rect{0, 0, 1022, 448});
    EXPECT_EQ(ui.controlRect(forum_window::超文本浏览框1), (Rect{0, 0, 1022, 448}));
}

} // namespace
} // namespace plendrik::test
