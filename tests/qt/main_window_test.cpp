// The main window as built from its layout table, and the events its controls send.
#include "app/view.h"
#include "qt/qt_fixture.h"
#include "ui/layouts.h"
#include "ui/menus.h"
#include "ui/qt/list_model.h"

#include <QAbstractButton>
#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTreeView>
#include <QTreeWidget>

#include <chrono>
#include <thread>

namespace plendrik::test {
namespace {

using namespace ui;
using namespace ui::main_window;

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

std::vector<std::string> textsOf(const QList<QAction*>& actions) {
    std::vector<std::string> out;
    for (QAction* a : actions)
        out.push_back(a->text().toStdString());
    return out;
}

using MainWindowTest = QtFixture;

TEST_F(MainWindowTest, everyControlStandsWhereItsTableSays) {
    const WindowLayout layout = windowLayout(WindowId::Main, config);
    for (const ControlSpec& spec : layout.controls) {
        SCOPED_TRACE(spec.name);
        QWidget* w = widget(Control{WindowId::Main, spec.name});
        if (spec.kind == ControlKind::Balloon) {
            EXPECT_EQ(w, nullptr);
            continue;
        }
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->geometry(), QRect(spec.place.left, spec.place.top, spec.place.width, spec.place.height));
        EXPECT_EQ(!w->isHidden(), spec.visible);
        EXPECT_EQ(w->isEnabled(), spec.enabled);
        if (auto* label = qobject_cast<QLabel*>(w); label && spec.kind != ControlKind::Hyperlink) {
            EXPECT_EQ(label->text(), qs(spec.text));
        }
        if (auto* button = qobject_cast<QPushButton*>(w)) {
            EXPECT_EQ(button->text(), qs(spec.text));
        }
    }
}

TEST_F(MainWindowTest, windowIsFramelessAndCentred) {
    QWidget* main = ui.window(WindowId::Main);
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(main->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(main->windowTitle(), "Plendrik V2.5");
    EXPECT_EQ(ui.outerWidth(WindowId::Main), 860);
    EXPECT_EQ(ui.outerHeight(WindowId::Main), 540);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(main->frameGeometry().topLeft(),
              QPoint((screen.width() - 860) / 2, (screen.height() - 540) / 2));
    EXPECT_EQ(ui.screenWidth(), screen.width());
}

TEST_F(MainWindowTest, texts_titleFontAndAddressLabel) {
    EXPECT_EQ(qobject_cast<QLabel*>(widget(标签1))->text(), "官方网站：http://forum.test");
    const QFont title = widget(透明标签1)->font();
    EXPECT_TRUE(title.bold());
    EXPECT_EQ(title.pixelSize(), 19);
    EXPECT_TRUE(title.families().contains("AR PL UKai CN"));
    auto* bar = qobject_cast<QProgressBar*>(widget(进度条1));
    EXPECT_EQ(bar->minimum(), 0);
    EXPECT_EQ(bar->maximum(), 100);
    EXPECT_EQ(bar->value(), 0);
}

TEST_F(MainWindowTest, toolbar_eightButtons_viewGroupExclusive_buttonZeroChecked) {
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"下载页面", "腾讯课堂大量免费公开课进行IT培训"},
        {"课程培训", "系统软件 - 首页介绍"},
        {"ZQ9资源", "聚集精品资源"},
        {"资源分享", "享受分享快乐，分享精品资源"},
        {"软件建议", "论坛与软件的问题反馈"},
        {"Kessik推广", "将软件推广喜爱编程的朋友"},
        {"论坛赞助", "支持赞助论坛的发展"},
        {"视频教育", "在线视频教学社区"},
    };
    for (int i = 0; i < 8; ++i) {
        QAction* a = ui.toolbarButton(工具条1, i);
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->text().toStdString(), expected[std::size_t(i)].first);
        EXPECT_EQ(a->toolTip().toStdString(), expected[std::size_t(i)].second);
        EXPECT_EQ(a->isCheckable(), i < 3);
        EXPECT_EQ(a->isChecked(), i == 0);
        EXPECT_TRUE(a->isEnabled());
    }
    EXPECT_EQ(ui.toolbarButton(工具条1, 8), nullptr);

    ui.checkToolbarButton(工具条1, 2);
    EXPECT_TRUE(ui.toolbarButton(工具条1, 2)->isChecked());
    EXPECT_FALSE(ui.toolbarButton(工具条1, 0)->isChecked());
    ui.checkToolbarButton(工具条1, 5); // a plain button never joins the group
    EXPECT_TRUE(ui.toolbarButton(工具条1, 2)->isChecked());
    EXPECT_FALSE(ui.toolbarButton(工具条1, 5)->isChecked());
}

TEST_F(MainWindowTest, pages_pageZeroShown_downloadListAboveResourceList) {
    auto* pages = qobject_cast<QStackedWidget*>(widget(选择夹1));
    ASSERT_NE(pages, nullptr);
    EXPECT_EQ(pages->count(), 2);
    EXPECT_EQ(pages->currentIndex(), 0);
    EXPECT_EQ(widget(超文本浏览框1)->parentWidget(), pages->widget(1));
    EXPECT_EQ(widget(超级列表框1)->parentWidget(), pages->widget(0));
    // Whatever lies at the lists' shared centre is the download list.
    const QPoint centre = widget(超级列表框1)->geometry().center();
    QWidget* top = pages->widget(0)->childAt(centre);
    ASSERT_NE(top, nullptr);
    EXPECT_TRUE(top == widget(超级列表框2) || widget(超级列表框2)->isAncestorOf(top));

    ui.setCurrentPage(选择夹1, 1);
    EXPECT_EQ(pages->currentIndex(), 1);
    ui.setCurrentPage(选择夹1, 7); // no such page: nothing changes
    EXPECT_EQ(pages->currentIndex(), 1);
}

TEST_F(MainWindowTest, lists_columnsAndHiddenFolderColumn) {
    struct ListCase {
        Control list;
        std::vector<std::pair<std::string, int>> columns;
    };
    const std::vector<ListCase> cases = {
        {超级列表框1,
         {{"资源内容（双击任务添加到下载页面）", 230},
          {"资源大小", 100},
          {"更新时间", 150},
          {"请支持我们", 200}}},
        {超级列表框2,
         {{"下载内容（左键单击任务即可下载）", 230},
          {"资源大小", 100},
          {"下载进度(资源大小/已下载大小)", 200},
          {"下载状态", 150},
          {"加密数据", 0}}},
    };
    for (const ListCase& c : cases) {
        SCOPED_TRACE(std::string(c.list.name));
        auto* view = qobject_cast<QTreeView*>(widget(c.list));
        ASSERT_NE(view, nullptr);
        EXPECT_FALSE(view->rootIsDecorated());
        ASSERT_EQ(view->model()->columnCount(), int(c.columns.size()));
        for (int i = 0; i < int(c.columns.size()); ++i) {
            const auto& [title, width] = c.columns[std::size_t(i)];
            EXPECT_EQ(view->model()->headerData(i, Qt::Horizontal).toString().toStdString(), title);
            if (width == 0)
                EXPECT_TRUE(view->isColumnHidden(i));
            else
                EXPECT_EQ(view->columnWidth(i), width);
        }
    }
    EXPECT_EQ(qobject_cast<QTreeView*>(widget(超级列表框1))->selectionBehavior(),
              QAbstractItemView::SelectRows);
    EXPECT_EQ(qobject_cast<QTreeView*>(widget(超级列表框2))->selectionBehavior(),
              QAbstractItemView::SelectItems);
}

TEST_F(MainWindowTest, tree_fifteenItemsInPreOrder_boldAndExpandedAsTheTable) {
    auto* tree = qobject_cast<QTreeWidget*>(widget(树型框1));
    ASSERT_NE(tree, nullptr);
    const auto items = findControl(windowLayout(WindowId::Main, config), "树型框1")->treeItems;
    ASSERT_EQ(items.size(), 15u);
    std::vector<QTreeWidgetItem*> preOrder;
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        preOrder.push_back(*it);
    ASSERT_EQ(preOrder.size(), 15u);
    for (std::size_t i = 0; i < items.size(); ++i) {
        SCOPED_TRACE(items[i].text);
        EXPECT_EQ(preOrder[i]->text(0), qs(items[i].text));
        EXPECT_EQ(preOrder[i]->parent() == nullptr, items[i].level == 0);
        EXPECT_EQ(preOrder[i]->font(0).bold(), items[i].bold);
        EXPECT_EQ(preOrder[i]->isExpanded(), items[i].expanded);
    }
    EXPECT_EQ(ui.selectedTreeItem(树型框1), -1);
    tree->setCurrentItem(preOrder[13]);
    EXPECT_EQ(ui.selectedTreeItem(树型框1), 13);
    preOrder[12]->setExpanded(false); // a collapsed parent still counts its children
    tree->setCurrentItem(preOrder[14]);
    EXPECT_EQ(ui.selectedTreeItem(树型框1), 14);
}

TEST_F(MainWindowTest, menus_fourPopupsInDefinitionOrder_flagsGreyItems) {
    for (Menu m : {Menu::表, Menu::菜单, Menu::托盘, Menu::添加}) {
        QMenu* menu = ui.menu(m);
        ASSERT_NE(menu, nullptr);
        std::vector<std::string> expected;
        for (const MenuItemSpec& spec : menuItems(m))
            expected.emplace_back(spec.text);
        EXPECT_EQ(textsOf(menu->actions()), expected);
    }
    EXPECT_EQ(textsOf(ui.menu(Menu::托盘)->actions()),
              (std::vector<std::string>{"关于作者", "人才应聘", "赞助论坛", "免费任务", "检测更新",
                                        "联系客服", "退出程序"}));
    QAction* resume = ui.menu(Menu::表)->actions().at(1);
    EXPECT_TRUE(resume->isEnabled());
    ui.setMenuItemDisabled(MenuItem::ResumeTask, true);
    EXPECT_FALSE(resume->isEnabled());
    ui.setMenuItemDisabled(MenuItem::ResumeTask, false);
    EXPECT_TRUE(resume->isEnabled());
}

TEST_F(MainWindowTest, showAndHideDownloadPage_moveOnlyTheDownloadList) {
    const QRect resource = widget(超级列表框1)->geometry();
    app::ShowDownloadPage(ui); // right after start nothing moves
    EXPECT_EQ(widget(超级列表框2)->geometry(), resource);
    app::HideDownloadPage(ui);
    app::HideDownloadPage(ui);
    EXPECT_EQ(widget(超级列表框2)->geometry(),
              QRect(resource.left(), 536, resource.width(), resource.height()));
    EXPECT_EQ(ui.controlRect(超级列表框2), (Rect{176, 536, 666, 373}));
    app::ShowDownloadPage(ui);
    EXPECT_EQ(widget(超级列表框2)->geometry(), resource);
    EXPECT_EQ(widget(超级列表框1)->geometry(), resource);
}

TEST_F(MainWindowTest, timer_restartsOnlyWhenItsPeriodChanges) {
    QTimer* timer = ui.timer(Timer::时钟2);
    EXPECT_FALSE(timer->isActive());
    ui.setTimerPeriod(Timer::时钟2, 3000);
    ASSERT_TRUE(timer->isActive());
    // Time passes; a restart would give the timer its whole period back.
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    ui.setTimerPeriod(Timer::时钟2, 3000);
    EXPECT_LE(timer->remainingTime(), 2950);
    ui.setTimerPeriod(Timer::时钟2, 100);
    EXPECT_EQ(timer->interval(), 100);
    ui.setTimerPeriod(Timer::时钟2, 0);
    EXPECT_FALSE(timer->isActive());
    ui.setTimerPeriod(Timer::时钟2, 100); // started again after a stop
    EXPECT_TRUE(timer->isActive());
    ui.setTimerPeriod(Timer::时钟2, 0);
}

TEST_F(MainWindowTest, events_reachTheSink) {
    ASSERT_FALSE(sink.events.empty());
    EXPECT_EQ(sink.events.front().kind, EventKind::WindowCreated);
    EXPECT_EQ(sink.events.front().window, WindowId::Main);
    sink.events.clear();

    ui.toolbarButton(工具条1, 2)->trigger();
    ui.toolbarButton(工具条1, 5)->trigger();
    ui.menu(Menu::托盘)->actions().at(6)->trigger();
    qobject_cast<QAbstractButton*>(widget(按钮1))->click();
    qobject_cast<QAbstractButton*>(widget(图形按钮3))->click();
    QTest::keyClick(widget(编辑框1), Qt::Key_Return);
    // a right click on the title label (where the desktop has no tray, it pops the tray menu)
    emit widget(透明标签1)->customContextMenuRequested(QPoint(5, 5));

    ASSERT_EQ(sink.events.size(), 7u);
    EXPECT_EQ(sink.events[0].kind, EventKind::ToolbarClicked);
    EXPECT_EQ(sink.events[0].index, 2);
    EXPECT_TRUE(sink.events[0].control == 工具条1);
    EXPECT_TRUE(ui.toolbarButton(工具条1, 2)->isChecked()); // a view button checks itself
    EXPECT_EQ(sink.events[1].index, 5);
    EXPECT_EQ(sink.events[2].kind, EventKind::MenuChosen);
    EXPECT_EQ(sink.events[2].item, MenuItem::ExitProgram);
    EXPECT_EQ(sink.events[3].kind, EventKind::ButtonClicked);
    EXPECT_TRUE(sink.events[3].control == 按钮1);
    EXPECT_TRUE(sink.events[4].control == 图形按钮3);
    EXPECT_EQ(sink.events[5].kind, EventKind::KeyPressed);
    EXPECT_EQ(sink.events[5].index, 13);
    EXPECT_TRUE(sink.events[5].control == 编辑框1);
    EXPECT_EQ(sink.events[6].kind, EventKind::ButtonClicked);
    EXPECT_TRUE(sink.events[6].control == 透明标签1);
    EXPECT_EQ(sink.events[6].index, 3);
}

TEST_F(MainWindowTest, listDoubleClick_onARowReportsIt_onEmptyAreaNothing) {
    ui.appendRows(超级列表框2, {{"甲"}, {"乙"}});
    auto* view = qobject_cast<QTreeView*>(widget(超级列表框2));
    sink.events.clear();
    const QRect second = view->visualRect(view->model()->index(1, 0));
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, second.center());
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, QPoint(20, view->viewport()->height() - 10));
    ASSERT_EQ(sink.count(EventKind::ListActivated), 1);
    for (const UiEvent& e : sink.events)
        if (e.kind == EventKind::ListActivated) {
            EXPECT_EQ(e.index, 1);
            EXPECT_TRUE(e.control == 超级列表框2);
        }
}

TEST_F(MainWindowTest, trayIcon_tipCutTo62GbkBytes_emptyIconRemovesIt) {
    struct TipCase {
        std::string tip;
        std::string shown;
    };
    const std::string chinese40 = [] {
        std::string s;
        for (int i = 0; i < 40; ++i)
            s += "资";
        return s;
    }();
    const TipCase cases[] = {
        {"Plendrik V2.5", "Plendrik V2.5"},
        {chinese40, chinese40.substr(0, 31 * 3)},             // 31 characters are 62 bytes
        {"a" + chinese40, "a" + chinese40.substr(0, 30 * 3)}, // never half a character
    };
    for (const TipCase& c : cases) {
        ui.setTrayIcon(WindowId::Main, "program", c.tip);
        ASSERT_NE(ui.trayIcon(), nullptr);
        EXPECT_EQ(ui.trayIcon()->toolTip().toStdString(), c.shown);
    }
    EXPECT_FALSE(ui.trayIcon()->icon().isNull());
    ui.setTrayIcon(WindowId::Main, "", "");
    EXPECT_EQ(ui.trayIcon(), nullptr);
}

TEST_F(MainWindowTest, timerTick_isSentForItsTimer) {
    sink.events.clear();
    ui.setTimerPeriod(Timer::时钟3, 1);
    QTRY_VERIFY(sink.count(EventKind::TimerTick) > 0);
    ui.setTimerPeriod(Timer::时钟3, 0);
    EXPECT_EQ(sink.events.front().timer, Timer::时钟3);
}

} // namespace
} // namespace plendrik::test
