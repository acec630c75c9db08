// The one door from the program's logic to windows, controls and the system. The logic includes
// no toolkit header: the Qt binding (ui/qt/) implements this interface for the program and a fake
// (tests/support/) implements it for the tests.
//
// Texts are UTF-8. GBK exists only at the edges: httpGet returns the server's raw bytes, and the
// INI operations read and write GBK files.
//
// Threads: unless marked "any thread", call from the user-interface thread. Calls marked "any
// thread" that come from another thread are carried out on the user-interface thread in the order
// made; those without a result are queued, those with a result wait for it, so a caller sees its
// own writes.
#pragma once

#include "common/ini_entry.h"
#include "ui/controls.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plendrik::ui {

struct Rect {
    int left = 0, top = 0, width = 0, height = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

// Message box buttons and answers.
inline constexpr int kOk = 0;
inline constexpr int kYesNo = 4;
inline constexpr int kInformationIcon = 64;
inline constexpr int kAnswerOk = 0;
inline constexpr int kAnswerYes = 5;
inline constexpr int kAnswerNo = 6;

// Window states.
inline constexpr int kStateNormal = 0;
inline constexpr int kStateCentred = 1; // set only
inline constexpr int kStateMinimised = 2;
inline constexpr int kStateMaximised = 3; // read only

// Tray icon mouse codes.
inline constexpr int kTrayLeftUp = 1;
inline constexpr int kTrayLeftDoubleClick = 2;
inline constexpr int kTrayRightUp = 3;

using Row = std::vector<std::string>;

class UiFacade {
public:
    virtual ~UiFacade() = default;

    // --- Windows -----------------------------------------------------------------------------
    // Creates the window from its layout (modeless), runs its creation handler, shows it centred.
    virtual void loadWindow(WindowId window) = 0;
    virtual bool isWindowCreated(WindowId window) = 0;            // any thread
    virtual void activateWindow(WindowId window) = 0;
    virtual void destroyWindow(WindowId window) = 0;             // its destroy handler runs
    virtual void focusWindow(WindowId window) = 0;
    virtual int windowState(WindowId window) = 0;                // 0, 2 minimised, 3 maximised
    virtual void setWindowState(WindowId window, int state) = 0; // 1 centred, 2 minimised
    virtual void setWindowVisible(WindowId window, bool visible) = 0;
    virtual bool isWindowVisible(WindowId window) = 0;
    virtual int outerWidth(WindowId window) = 0;  // any thread
    virtual int outerHeight(WindowId window) = 0; // any thread
    virtual int screenWidth() = 0;                // any thread

    // --- Controls ----------------------------------------------------------------------------
    virtual void setControlVisible(const Control& control, bool visible) = 0;
    virtual Rect controlRect(const Control& control) = 0; // relative to its parent
    virtual void setControlLeft(const Control& control, int value) = 0;
    virtual void setControlTop(const Control& control, int value) = 0;
    virtual void setControlWidth(const Control& control, int value) = 0;
    virtual void setControlHeight(const Control& control, int value) = 0;
    virtual void moveControl(const Control& control, const Rect& rect) = 0;
    virtual std::string editText(const Control& edit) = 0;
    virtual void setEditText(const Control& edit, std::string_view text) = 0;
    virtual void setCurrentPage(const Control& pages, int page) = 0;
    // 0 stops; n > 0 (re)starts with period n ms, but setting the period it already has changes
    // nothing (the timer is not restarted).
    virtual void setTimerPeriod(Timer timer, int milliseconds) = 0; // any thread
    virtual void setProgressMax(const Control& bar, int value) = 0;      // any thread
    virtual void setProgressPosition(const Control& bar, int value) = 0; // any thread
    virtual void setMenuItemDisabled(MenuItem item, bool disabled) = 0;  // any thread
    virtual void setBrowserAddress(const Control& browser, std::string_view address) = 0;
    virtual void checkToolbarButton(const Control& toolbar, int button) = 0;

    // --- Lists (any thread) --------------------------------------------------------------------
    virtual int appendRow(const Control& list) = 0; // index = row count before the call
    // Appends whole rows in one step (one model insert, no round trip for the caller). Rows
    // shorter than the list's column count leave the remaining cells empty.
    virtual void appendRows(const Control& list, std::vector<Row> rows) = 0;
    virtual void setCell(const Control& list, int row, int column, std::string_view text) = 0;
    virtual std::string cellText(const Control& list, int row, int column) = 0; // "" when missing
    virtual void deleteRow(const Control& list, int row) = 0;                    // missing: ignored
    virtual void deleteAllRows(const Control& list) = 0;
    virtual int rowCount(const Control& list) = 0;
    virtual int selectedRow(const Control& list) = 0; // -1 when none
    // Column 0 only, from start (negative counts as 0) to the last row, no wrapping. Exact: whole
    // text equal; otherwise the cell begins with text. Latin letters compare without case.
    virtual int findRow(const Control& list, std::string_view text, int start, bool exact) = 0;

    // --- Tree ----------------------------------------------------------------------------------
    virtual int selectedTreeItem(const Control& tree) = 0; // pre-order index, -1 when none

    // --- Tips, tray, menus -----------------------------------------------------------------------
    virtual void attachHoverTip(const Control& balloon, const Control& control, std::string_view text) = 0;
    virtual void showBalloonAt(const Control& balloon, int x, int y, std::string_view text) = 0; // any thread
    // An empty icon name removes the window's tray icon. The tip is cut to 62 GBK bytes.
    virtual void setTrayIcon(WindowId window, std::string_view icon, std::string_view tip) = 0;
    virtual bool isTrayAvailable() = 0;
    virtual void popupMenu(WindowId window, Menu menu) = 0;
    virtual void popupTrayMenu(WindowId window, Menu menu) = 0;

    // --- Messages and system services ---------------------------------------------------------
    // buttons: kOk or kYesNo, plus kInformationIcon. Answers kAnswerYes / kAnswerNo / kAnswerOk.
    // From a worker thread the box blocks only that worker. No caption shows "信息：".
    virtual int messageBox(std::string_view text, int buttons, std::optional<std::string_view> caption = {}) = 0; // any thread
    virtual void setClipboardText(std::string_view text) = 0;
    virtual void openAddress(std::string_view address) = 0;  // any thread
    virtual void shellOpen(std::string_view path) = 0;
    virtual void runProgram(std::string_view commandLine) = 0; // any thread
    virtual bool fileExists(std::string_view path) = 0;       // any thread; files and folders
    virtual void deleteFile(std::string_view path) = 0;
    virtual void createFolder(std::string_view path) = 0;
    virtual std::string programFolder() = 0; // any thread; no trailing separator
    virtual std::string readIni(std::string_view file, std::string_view section, std::string_view key) = 0;
    virtual void writeIni(std::string_view file, std::string_view section, std::string_view key,
                          std::string_view text) = 0;
    // Reads many keys from one version of the file, each as readIni gives it, in the order asked.
    // A saved page is thousands of keys: one look at the file serves them all. Bindings forward it
    // to the file service; this fallback asks key by key.
    virtual std::vector<std::string> readIniEntries(std::string_view file, const std::vector<IniKey>& keys) {
        std::vector<std::string> values;
        values.reserve(keys.size());
        for (const IniKey& k : keys)
            values.push_back(readIni(file, k.section, k.key));
        return values;
    }
    // Writes many keys in one atomic step: the whole file is written beside the old one and
    // renamed over it, so a failure leaves the old file whole. False when the save failed.
    virtual bool writeIniEntries(std::string_view file, const std::vector<IniEntry>& entries) = 0;
    virtual std::string httpGet(std::string_view address) = 0; // any thread; raw body bytes
    virtual void startThread(std::function<void()> procedure) = 0;
    // Runs the function on the user-interface thread after the calls already queued (any thread).
    virtual void post(std::function<void()> function) = 0;
    virtual void pumpEvents(int milliseconds) = 0;
    // Registers the exit clean-up that endProgram and every other way of ending run exactly once.
    virtual void setExitCleanup(std::function<void()> cleanup) = 0;
    // Ends the program: the exit clean-up runs once, then the process ends with the code. Callers
    // do nothing after it.
    virtual void endProgram(int exitCode) = 0;
};

} // namespace plendrik::ui
