// Start-up and shutdown: the engine's start-up, MainWindow.onCreated, ExitCommand, the exit clean-up.
#pragma once

#include "app/context.h"

#include <memory>

namespace plendrik::app {

inline constexpr const char* kVersionLabel = "V2.5";
inline constexpr const char* kTrayTip = "Plendrik V2.5";
inline constexpr const char* kProgramIcon = "program";

// Start-up of the engine: the engine into AppState.engine, a task record with its defaults.
void startEngine(AppState& state, std::unique_ptr<downloads::DownloadEngine> engine);
// The exit clean-up: destroys and releases the engine, then the task state, the record, the
// progress text. Safe to call more than once; only the first call does anything.
void exitCleanup(AppState& state);

namespace MainWindow {
void onCreated(Context& ctx);
}
void ExitCommand(Context& ctx);

} // namespace plendrik::app
