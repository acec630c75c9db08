// The UiFacade on Qt Widgets: every window is built from its layout table, events go to one sink.
//
// Threads: the object lives on the user-interface thread. A call from another thread is carried
// out there in call order: calls without a result are queued, calls with a result wait for it on
// a future (never a blocking-queued call, never a nested event loop), giving up when the program
// is ending.
#pragma once

#include "app/context.h"
#include "ui/ui_event.h"
#include "ui/ui_facade.h"

#include <QObject>
#include <QTimer>

#include <array>
#include <atomic>
#include <deque>
#include <future>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

class QAction;
class QMenu;
class QSystemTrayIcon;
class QWidget;

namespace plendrik::ui::qt {

struct BuiltWindow;
class ListModel;

// The program sets Qt::AA_ShareOpenGLContexts before its QApplication; without it the browser
// boxes stay empty.
struct QtUiOptions {
    // The embedded browsers start once the main window has painted; tests that need no web
    // page leave them off.
    bool browsers = true;
};

class QtUi final : public QObject, public UiFacade {
    // No Q_OBJECT: no signals of its own; it is the context object of queued calls and connections.
public:
    explicit QtUi(const app::Config& config, QtUiOptions options = {});
    ~QtUi() override;

    void setSink(UiEventSink* sink) { m_sink = sink; }
    // Runs the exit clean-up unless it already ran (the event loop ended by itself).
    void shutDown();
    bool ending() const { return m_ending; }

    // For the tests and the benchmark: the built widgets by name, nullptr when missing.
    QWidget* window(WindowId window) const;
    QWidget* widget(const Control& control) const;
    ListModel* listModel(const Control& list) const;
    QMenu* menu(Menu menu) const;
    QAction* toolbarButton(const Control& toolbar, int button) const;
    QTimer* timer(Timer timer) { return &m_timers[static_cast<std::size_t>(timer)]; }
    QSystemTrayIcon* trayIcon() const { return m_tray.get(); }

    // --- UiFacade ---
    void loadWindow(WindowId window) override;
    bool isWindowCreated(WindowId window) override;
    void activateWindow(WindowId window) override;
    void destroyWindow(WindowId window) override;
    void focusWindow(WindowId window) override;
    int windowState(WindowId window) override;
    void setWindowState(WindowId window, int state) override;
    void setWindowVisible(WindowId window, bool visible) override;
    bool isWindowVisible(WindowId window) override;
    int outerWidth(WindowId window) override;
    int outerHeight(WindowId window) override;
    int screenWidth() override;

    void setControlVisible(const Control& control, bool visible) override;
    Rect controlRect(const Control& control) override;
    void setControlLeft(const Control& control, int value) override;
    void setControlTop(const Control& control, int value) override;
    void setControlWidth(const Control& control, int value) override;
    void setControlHeight(const Control& control, int value) override;
    void moveControl(const Control& control, const Rect& rect) override;
    std::string editText(const Control& edit) override;
    void setEditText(const Control& edit, std::string_view text) override;
    void setCurrentPage(const Control& pages, int page) override;
    void setTimerPeriod(Timer timer, int milliseconds) override;
    void setProgressMax(const Control& bar, int value) override;
    void setProgressPosition(const Control& bar, int value) override;
    void setMenuItemDisabled(MenuItem item, bool disabled) override;
    void setBrowserAddress(const Control& browser, std::string_view address) override;
    void checkToolbarButton(const Control& toolbar, int button) override;

    int appendRow(const Control& list) override;
    void appendRows(const Control& list, std::vector<Row> rows) override;
    void setCell(const Control& list, int row, int column, std::string_view text) override;
    std::string cellText(const Control& list, int row, int column) override;
    void deleteRow(const Control& list, int row) override;
    void deleteAllRows(const Control& list) override;
    int rowCount(const Control& list) override;
    int selectedRow(const Control& list) override;
    int findRow(const Control& list, std::string_view text, int start, bool exact) override;
    int selectedTreeItem(const Control& tree) override;

    void attachHoverTip(const Control& balloon, const Control& control, std::string_view text) override;
    void showBalloonAt(const Control& balloon, int x, int y, std::string_view text) override;
    void setTrayIcon(WindowId window, std::string_view icon, std::string_view tip) override;
    bool isTrayAvailable() override;
    void popupMenu(WindowId window, Menu menu) override;
    void popupTrayMenu(WindowId window, Menu menu) override;

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
    std::vector<std::string> readIniEntries(std::string_view file, const std::vector<IniKey>& keys) override;
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
    bool onUiThread() const { return std::this_thread::get_id() == m_uiThread; }
    void queue(std::function<void()> function);
    void runQueued();
    // Runs the function on the user-interface thread and waits for its result; the fallback when
    // the program ends first.
    template <class T> T ask(std::function<T()> function, T fallback = T{});

    void send(const UiEvent& event);
    BuiltWindow* built(WindowId window) const;
    void centre(QWidget* window);
    void windowClosing(WindowId window);
    void startBrowsers();
    void buildMenus();
    int askOnUiThread(const QString& text, int buttons, const QString& caption);
    void askFromWorker(const QString& text, int buttons, const QString& caption,
                       std::shared_ptr<std::promise<int>> answer);

    const app::Config& m_config;
    QtUiOptions m_options;
    std::thread::id m_uiThread;
    std::string m_programFolder;
    UiEventSink* m_sink = nullptr;
    std::map<WindowId, std::unique_ptr<BuiltWindow>> m_windows;
    std::array<QTimer, 3> m_timers;
    std::array<int, 3> m_periods{};
    std::map<Menu, QMenu*> m_menus;
    std::map<MenuItem, QAction*> m_menuActions;
    std::unique_ptr<QSystemTrayIcon> m_tray;
    std::function<void()> m_exitCleanup;
    bool m_cleanupRan = false;
    bool m_browsersStarted = false;
    bool m_ending = false;
    std::atomic<bool> m_stopping{false};
    // Work from other threads waits here in call order; the user-interface thread takes it out.
    // The hand-over is under our own lock so that race checkers see it.
    std::mutex m_queueMutex;
    std::deque<std::function<void()>> m_queue;
};

} // namespace plendrik::ui::qt
