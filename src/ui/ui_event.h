// What the windows tell the logic: every handler the window layouts name arrives as one UiEvent.
#pragma once

#include "ui/controls.h"

#include <cstdint>

namespace plendrik::ui {

enum class EventKind : std::uint8_t {
    WindowCreated,     // window: its creation handler
    WindowResized,     // window
    WindowMoved,       // window: change of position (minimising changes it)
    WindowDestroying,  // window: about to be destroyed (Esc, system close)
    ButtonClicked,     // control: push button or picture button; index -1. Also a right click on
                       // the main window's title label 透明标签1, with index 3 (the right button):
                       // the way to the tray menu where the desktop has no tray
    ToolbarClicked,    // control: the toolbar; index: button
    TreeDoubleClicked, // control: the tree
    ListActivated,     // control: the list; index: the row double-clicked
    ListRightClicked,  // control: the list
    MenuChosen,        // item
    TimerTick,         // timer
    TrayEvent,         // index: 1 left up, 2 left double-click, 3 right up
    KeyPressed,        // control: the edit box; index: key code (13 = Enter)
};

struct UiEvent {
    EventKind kind{};
    WindowId window = WindowId::Main;
    Control control{};
    MenuItem item{};
    Timer timer{};
    int index = -1;
};

class UiEventSink {
public:
    virtual ~UiEventSink() = default;
    virtual void handle(const UiEvent& event) = 0;
};

} // namespace plendrik::ui
