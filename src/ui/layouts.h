// The program's windows as data: the binding builds each window from its table, the test fake
// seeds its geometry from the same tables, and the tests read them as the layouts read.
#pragma once

#include "app/context.h"
#include "ui/controls.h"
#include "ui/ui_facade.h"

#include <string>
#include <string_view>
#include <vector>

namespace plendrik::ui {

enum class ControlKind : std::uint8_t {
    Label,
    TransparentLabel,
    PictureButton,
    PushButton,
    Toolbar,
    Pages, // page container without a tab strip
    Edit,
    Tree,
    List,
    Browser,
    ProgressBar,
    GroupBox,
    Hyperlink,
    Balloon, // not on screen
};

enum class FrameKind : std::uint8_t {
    Frameless,      // own title label and picture buttons, dragged by its face
    Resizable,      // system frame with minimise, maximise and close
    FixedCloseOnly, // system frame, fixed size, close button only
};

struct FontSpec {
    std::vector<std::string> families; // first installed wins; empty: the window's font
    int pixelSize = 0;                 // 0: the window's font size
    bool bold = false;
};

struct ColumnSpec {
    std::string title;
    int width = 0; // 0: hidden
};

struct TreeItemSpec {
    int level = 0; // 0 top, 1 child of the nearest top item above
    std::string text;
    bool bold = false;
    bool expanded = false;
    int image = 0; // index into the tree's image list (picture "tree_<image>")
};

struct ToolbarButtonSpec {
    int image = 0; // index into the toolbar's image list
    std::string picture;
    std::string text;
    std::string tip;
    bool viewGroup = false; // a check button of the one exclusive group
};

struct ControlSpec {
    std::string name;
    ControlKind kind = ControlKind::Label;
    std::string parent; // "" for the window, else the page container or group box
    int page = 0;       // page of the container (when parent is a page container)
    Rect place;         // relative to the parent
    std::string text;
    std::string picture; // picture buttons
    FontSpec font;
    bool visible = true;
    bool enabled = true;
    int maximum = 0;     // progress bars
    std::string address; // hyperlinks: opened on click
    bool wholeRowSelection = false;
    std::vector<ColumnSpec> columns;
    std::vector<TreeItemSpec> treeItems;
    std::vector<ToolbarButtonSpec> buttons;
    std::vector<std::string> pageCaptions; // page containers: never displayed
    int toolbarIconSize = 0;               // toolbar picture size in pixels
};

struct WindowLayout {
    WindowId id = WindowId::Main;
    std::string title;
    int width = 0, height = 0; // outer size, frame included
    FrameKind frame = FrameKind::Frameless;
    std::string background;            // picture stretched over the window's face; "" for none
    std::vector<ControlSpec> controls; // in creation order: later controls lie above earlier ones
};

inline constexpr WindowId kAllWindows[] = {WindowId::Main, WindowId::Video, WindowId::Player, WindowId::Forum,
                                           WindowId::About};

WindowLayout windowLayout(WindowId window, const app::Config& config);
// nullptr when the window has no such control.
const ControlSpec* findControl(const WindowLayout& layout, std::string_view name);
// The picture of a tree image list entry.
std::string treeItemPicture(int image);

// The faces the windows use: the title's Kai face, then the CJK face for every other text.
const std::vector<std::string>& kaiFamilies();
const std::vector<std::string>& textFamilies();

} // namespace plendrik::ui
