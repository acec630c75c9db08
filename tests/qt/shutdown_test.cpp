// The exit clean-up runs exactly once on every way the program ends, and no window handler runs
// after it.
#include "qt/qt_fixture.h"

#include <QTest>
#include <QTimer>

namespace plendrik::test {
namespace {

using namespace ui;

struct ShutdownTest : QtFixture {
    void SetUp() override {
        ui.setExitCleanup([this] {
            ++cleanups;
            destroyEventsBeforeCleanup = sink.count(EventKind::WindowDestroying);
        });
        QtFixture::SetUp();
    }
    // The program ends while this fixture still exists: the clean-up above reads its members.
    void TearDown() override {
        ui.shutDown();
    }
    int cleanups = 0;
    int destroyEventsBeforeCleanup = -1;
};

TEST_F(ShutdownTest, endProgram_runsTheCleanUpOnce_andNoDestroyHandlerAfterIt) {
    ui.endProgram(0);
    ui.endProgram(0);
    EXPECT_EQ(cleanups, 1);
    ui.window(WindowId::Main)->close();
    ui.shutDown();
    EXPECT_EQ(cleanups, 1);
    EXPECT_EQ(sink.count(EventKind::WindowDestroying), 0);
}

TEST_F(ShutdownTest, escOnTheMainWindow_destroyHandlerThenCleanUpOnce) {
    QWidget* main = ui.window(WindowId::Main);
    QApplication::setActiveWindow(main);
    QTest::keyClick(main, Qt::Key_Escape);
    EXPECT_EQ(cleanups, 1);
    EXPECT_EQ(destroyEventsBeforeCleanup, 1); // the destroy handler came first
    EXPECT_FALSE(ui.isWindowCreated(WindowId::Main));
    ui.shutDown();
    EXPECT_EQ(cleanups, 1);
}

TEST_F(ShutdownTest, escOnAnotherWindow_closesOnlyThatWindow) {
    ui.loadWindow(WindowId::About);
    QWidget* about = ui.window(WindowId::About);
    ASSERT_NE(about, nullptr);
    QApplication::setActiveWindow(about);
    QTest::keyClick(about, Qt::Key_Escape);
    EXPECT_FALSE(ui.isWindowCreated(WindowId::About));
    EXPECT_TRUE(ui.isWindowCreated(WindowId::Main));
    EXPECT_EQ(cleanups, 0);
    ASSERT_EQ(sink.count(EventKind::WindowDestroying), 1);
    EXPECT_EQ(sink.events.back().window, WindowId::About);
}

TEST_F(ShutdownTest, theLoopEndingByItself_runsTheCleanUpOnce) {
    QTimer::singleShot(0, &application, &QCoreApplication::quit);
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_EQ(cleanups, 1);
    ui.shutDown();
    EXPECT_EQ(cleanups, 1);
}

TEST_F(ShutdownTest, endProgram_quitsTheRunningLoop) {
    QTimer::singleShot(0, &application, [this] { ui.endProgram(0); });
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_EQ(cleanups, 1);
}

} // namespace
} // namespace plendrik::test
