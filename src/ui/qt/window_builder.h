// Builds a window and its controls from its layout table.
#pragma once

#include "ui/layouts.h"
#include "ui/ui_event.h"

#include <QFont>
#include <QList>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QActionGroup;
class QWidget;

namespace plendrik::ui::qt {

class BrowserBox;
class ListModel;
class ShellWindow;

struct BuiltWindow {
    WindowId id = WindowId::Main;
    int outerWidth = 0, outerHeight = 0;
    ShellWindow* window = nullptr;
    std::map<std::string, QWidget*, std::less<>> controls;
    std::map<std::string, ListModel*, std::less<>> lists;
    std::map<std::string, QList<QAction*>, std::less<>> toolbarButtons;
    std::vector<BrowserBox*> browsers;
};

struct BuildHooks {
    std::function<void(const UiEvent&)> emitEvent;
    std::function<void(const std::string&)> openAddress;
};

// The window is built hidden, at its outer size; the caller centres and shows it.
std::unique_ptr<BuiltWindow> buildWindow(const WindowLayout& layout, const BuildHooks& hooks);

// A control name with a lifetime as long as the program's, for events that carry it.
std::string_view internName(std::string_view name);

// The face for the program's texts, from the first installed family of the list.
QFont fontFor(const FontSpec& spec);

} // namespace plendrik::ui::qt
