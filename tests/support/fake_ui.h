// A UiFacade for the tests: keeps lists, edits, geometry, timers and menu flags in memory, records
// every call in order, answers message boxes from a script, and reaches the real file system, INI
// files and HTTP (tests point those at temporary folders and a loopback server).
#pragma once

#include "ui/list_store.h"
#include "ui/ui_facade.h"

#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace plendrik::test {

struct ShownMessage {
    std::string text;
    int buttons = 0;
    std::string caption; // "信息：" when none was given
    bool fromWorker = false;
};

class FakeUi : public ui::UiFacade {
public:
    FakeUi();
    ~FakeUi() override;

    // --- scripting ---
    void answerNext(int answer); // queued answers for message boxes; OK (0) when the queue is empty
    // Runs on the asking thread after a box was recorded, before its answer returns: a test can
    // hold a worker's box open (nullptr: boxes return at once).
    void setMessageBoxGate(std::function<void(const ShownMessage&)> gate);
    void setSelectedRow(const ui::Control& list, int row);
    void setSelectedTreeItem(const ui::Control& tree, int item);
    void setProgramFolder(std::string folder) { m_programFolder = std::move(folder); }
    void setTrayAvailable(bool available) { m_trayAvailable = available; }
    // Replaces the real HTTP fetch (nullptr restores it).
    void setHttpGet(std::function<std::string(std::string_view)> fetch);
    void setControlRect(const ui::Control& control, ui::Rect rect);
    // Runs work posted with post() on this thread, until none is left.
    void runPosted();
    // Waits for every thread started with startThread(), running posted work meanwhile.
    void joinThreads();
    // How many functions posted with post() wait to run.
    std::size_t pendingPosts() const;

    // --- what happened ---
    std::vector<std::string> calls() const;     // "name arg arg ..." in call order
    std::vector<ShownMessage> messages() const; // every message box, in order
    void clearLog();
    ui::ListStore list(const ui::Control& list) const; // a copy of its rows
    std::vector<std::vector<std::string>> rows(const ui::Control& list) const;
    int timerPeriod(ui::Timer timer) const;
    int timerStarts(ui::Timer timer) const; // how often the timer was (re)started
    bool menuItemDisabled(ui::MenuItem item) const;
    bool controlVisible(const ui::Control& control) const;
    int progressPosition() const;
    int checkedToolbarButton(const ui::Control& toolbar) const;
    int currentPage() const;
    std::string browserAddress(const ui::Control& browser) const;
    std::vector<std::string> openedAddresses() const;
    std::vector<std::string> shellOpened() const;
    std::vector<std::string> startedPrograms() const;
    std::string clipboard() const;
    std::string trayIcon() const;
    std::string trayTip() const;
    std::vector<std::string> poppedMenus() const; // "表", "托盘" ... in order
    int exitCode() const { return m_exitCode; }   // -1 while the program has not ended
    int exitCleanups() const { return m_exitCleanups; }
    bool windowCreated(ui::WindowId window) const;
    int windowStateOf(ui::WindowId window) const;
    bool windowVisible(ui::WindowId window) const;

    // --- UiFacade ---
    void loadWindow(ui::WindowId window) override;
    bool isWindowCreated(ui::WindowId window) override;
    void activateWindow(ui::WindowId window) override;
    void destroyWindow(ui::WindowId window) override;
    void focusWindow(ui::WindowId window) override;
    int windowState(ui::WindowId window) override;
    void setWindowState(ui::WindowId window, int state) override;
    void setWindowVisible(ui::WindowId window, bool visible) override;
    bool isWindowVisible(ui::WindowId window) override;
    int outerWidth(ui::WindowId window) override;
    int outerHeight(ui::WindowId window) override;
    int screenWidth() override;
    void setOuterSize(ui::WindowId window, int width, int height);
    void setScreenWidth(int width) { m_screenWidth = width; }

    void setControlVisible(const ui::Control& control, bool visible) override;
    ui::Rect controlRect(const ui::Control& control) override;
    void setControlLeft(const ui::Control& control, int value) override;
    void setControlTop(const ui::Control& control, int value) override;
    void setControlWidth(const ui::Control& control, int value) override;
    void setControlHeight(const ui::Control& control, int value) override;
    void moveControl(const ui::Control& control, const ui::Rect& rect) override;
    std::string editText(const ui::Control& edit) override;
    void setEditText(const ui::Control& edit, std::string_view text) override;
    void setCurrentPage(const ui::Control& pages, int page) override;
    void setTimerPeriod(ui::Timer timer, int milliseconds) override;
    void setProgressMax(const ui::Control& bar, int value) override;
    void setProgressPosition(const ui::Control& bar, int value) override;
    void setMenuItemDisabled(ui::MenuItem item, bool disabled) override;
    void setBrowserAddress(const ui::Control& browser, std::string_view address) override;
    void checkToolbarButton(const ui::Control& toolbar, int button) override;

    int appendRow(const ui::Control& list) override;
    void appendRows(const ui::Control& list, std::vector<ui::Row> rows) override;
    void setCell(const ui::Control& list, int row, int column, std::string_view text) override;
    std::string cellText(const ui::Control& list, int row, int column) override;
    void deleteRow(const ui::Control& list, int row) override;
    void deleteAllRows(const ui::Control& list) override;
    int rowCount(const ui::Control& list) override;
    int selectedRow(const ui::Control& list) override;
    int findRow(const ui::Control& list, std::string_view text, int start, bool exact) override;
    int selectedTreeItem(const ui::Control& tree) override;

    void attachHoverTip(const ui::Control& balloon, const ui::Control& control, std::string_view text) override;
    void showBalloonAt(const ui::Control& balloon, int x, int y, std::string_view text) override;
    void setTrayIcon(ui::WindowId window, std::string_view icon, std::string_view tip) override;
    bool isTrayAvailable() override;
    void popupMenu(ui::WindowId window, ui::Menu menu) override;
    void popupTrayMenu(ui::WindowId window, ui::Menu menu) override;

    int messageBox(std::string_view text, int buttons, std::optional<std::string_view> caption) override;
    void setClipboardText(std::string_view text) override;
    void openAddress(std::string_view address) override;
    void shellOpen(std::string_view path) override;
    void runProgram(std::string_view commandLine) override;
    bool fileExists(std::string_view path) override;
    void deleteFile(std::string_view path) override;
    void createFolder(std::string_view path) override;
    std::string programFolder() override;
    std::string readIni(std::string_view file, std::string_view section, std::string_view key) override;
    void writeIni(std::string_view file, std::string_view section, std::string_view key,
                  std::string_view text) override;
    bool writeIniEntries(std::string_view file, const std::vector<IniEntry>& entries) override;
    std::string httpGet(std::string_view address) override;
    void startThread(std::function<void()> procedure) override;
    void post(std::function<void()> function) override;
    void pumpEvents(int milliseconds) override;
    void setExitCleanup(std::function<void()> cleanup) override;
    void endProgram(int exitCode) override;

private:
    static std::string key(const ui::Control& c);
    void log(std::string entry);
    ui::ListStore& listLocked(const ui::Control& list);

    mutable std::recursive_mutex m_mutex;
    std::thread::id m_uiThread;
    std::vector<std::string> m_calls;
    std::vector<ShownMessage> m_messages;
    std::deque<int> m_answers;
    std::function<void(const ShownMessage&)> m_messageBoxGate;
    std::map<std::string, ui::ListStore> m_lists;
    std::map<std::string, int> m_selectedRows;
    std::map<std::string, int> m_selectedTree;
    std::map<std::string, ui::Rect> m_rects;
    std::map<std::string, bool> m_visible;
    std::map<std::string, std::string> m_edits;
    std::map<std::string, std::string> m_browsers;
    std::map<std::string, int> m_checkedToolbar;
    std::map<int, int> m_timerPeriods, m_timerStarts;
    std::map<int, bool> m_menuDisabled;
    std::map<int, bool> m_windowsCreated, m_windowsVisible;
    std::map<int, int> m_windowStates;
    std::map<int, std::pair<int, int>> m_outerSizes;
    int m_screenWidth = 1280;
    int m_progress = 0;
    int m_page = 0;
    std::vector<std::string> m_opened, m_shellOpened, m_programs, m_poppedMenus;
    std::string m_clipboard, m_trayIcon, m_trayTip;
    std::string m_programFolder;
    bool m_trayAvailable = true;
    std::function<std::string(std::string_view)> m_httpGet;
    std::deque<std::function<void()>> m_posted;
    std::vector<std::thread> m_threads;
    std::function<void()> m_exitCleanup;
    int m_exitCode = -1;
    int m_exitCleanups = 0;
};

} // namespace plendrik::test
