// The Qt binding under test: one application for the process, a fresh binding per test with the
// main window loaded and every event it sends recorded.
#pragma once

#include "ui/qt/qt_ui.h"

#include <QApplication>
#include <QWidget>

#include <gtest/gtest.h>

#include <vector>

namespace plendrik::test {

inline QApplication& qtApplication() {
    static int argc = 1;
    static char name[] = "plendrik-qt-test";
    static char* argv[] = {name, nullptr};
    // Never destroyed: widgets of a failed test may outlive it.
    static auto* application = new QApplication(argc, argv);
    return *application;
}

struct RecordingSink final : ui::UiEventSink {
    std::vector<ui::UiEvent> events;
    void handle(const ui::UiEvent& event) override { events.push_back(event); }
    int count(ui::EventKind kind) const {
        int n = 0;
        for (const auto& e : events)
            n += e.kind == kind;
        return n;
    }
};

struct QtFixture : ::testing::Test {
    void SetUp() override {
        ui.setSink(&sink);
        ui.loadWindow(ui::WindowId::Main);
        QApplication::processEvents();
    }
    QWidget* widget(const ui::Control& control) const { return ui.widget(control); }

    QApplication& application = qtApplication(); // before the binding
    app::Config config{"http://files.test/", "http://forum.test/",  "http://forum2.test/bbs/",
                       "http://tasks.test/", "http://course.test/", "1"};
    ui::qt::QtUi ui{config, ui::qt::QtUiOptions{false}};
    RecordingSink sink;
};

} // namespace plendrik::test
