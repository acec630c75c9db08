// What every handler of the program works with: the state, the facade and the configuration,
// passed by reference so that a test can build a fresh one.
#pragma once

#include "app/app_state.h"
#include "ui/ui_facade.h"

#include <memory>
#include <string>

namespace plendrik::app {

// The configuration bases: compiled in for the program, pointed at a test server by the tests.
struct Config {
    std::string resourceServerBase; // ends in "/"
    std::string forumBase;          // ends in "/"
    std::string secondForumBase;    // ends in "/"
    std::string taskSiteBase;       // ends in "/"
    std::string coursePageAddress;
    std::string supportContactNumber;

    static Config compiledIn();
};

struct Paths {
    std::string iniFile;        // the INI file that keeps the download page
    std::string downloadFolder; // where the zip files go, no trailing separator
};

// State shared between the user-interface thread and workers that must outlive a handler
// (the catalogue's newest-load ticket, for instance) lives behind shared pointers in here.
struct Context {
    AppState& state;
    ui::UiFacade& ui;
    const Config& config;
    Paths paths;
};

} // namespace plendrik::app
