// A fresh program context over FakeUi with bases no real server has, so a test shows that every
// address is built from them. Events go through the application's whole handler chain.
#pragma once

#include "app/application.h"
#include "support/fake_ui.h"

#include <gtest/gtest.h>

namespace plendrik::test {

inline app::Config unusualBases() {
    return {"http://files.test:7001/r/", "https://bbs.test:8443/q/",     "http://second.test/w/",
            "http://tasks.test/t/",      "http://classroom.test/c?id=7", "5550123"};
}

struct AppFixture : ::testing::Test {
    app::AppState state;
    FakeUi ui;
    app::Config config = unusualBases();
    app::Context ctx{state, ui, config, {}};
    app::Application application{ctx};

    void fire(ui::UiEvent event) { application.handle(event); }
    void fire(ui::EventKind kind, ui::Control control, int index = -1) {
        fire(ui::UiEvent{kind, control.window, control, {}, {}, index});
    }
    void fireWindow(ui::EventKind kind, ui::WindowId window) { fire(ui::UiEvent{kind, window}); }
    void choose(ui::MenuItem item) {
        fire(ui::UiEvent{ui::EventKind::MenuChosen, ui::WindowId::Main, {}, item});
    }
};

} // namespace plendrik::test
