#include "support/fake_ui.h"

#include "platform/http_get.h"
#include "platform/ini_file.h"
#include "ui/layouts.h"
#include "ui/menus.h"

#include <chrono>
#include <filesystem>
#include <system_error>

namespace plendrik::test {

namespace fs = std::filesystem;
using namespace ui;

namespace {
fs::path pathOf(std::string_view p) {
    return fs::path(std::u8string(p.begin(), p.end()));
}
} // namespace

FakeUi::FakeUi() : m_uiThread(std::this_thread::get_id()) {
    // Geometry, columns and initial visibility come from the same tables the real windows are
    // built from: the two lists of page 0 share one rectangle, the download list on top.
    const app::Config config;
    for (WindowId window : kAllWindows) {
        const WindowLayout layout = windowLayout(window, config);
        m_outerSizes[static_cast<int>(window)] = {layout.width, layout.height};
        for (const ControlSpec& spec : layout.controls) {
            const Control c{window, spec.name};
            if (spec.kind == ControlKind::Balloon)
                continue;
            m_rects[key(c)] = spec.place;
            if (!spec.visible)
                m_visible[key(c)] = false;
            if (spec.kind == ControlKind::List)
                m_lists.emplace(key(c), ListStore(static_cast<int>(spec.columns.size())));
        }
    }
    m_checkedToolbar[key(main_window::工具条1)] = 0;
}

FakeUi::~FakeUi() {
    joinThreads();
}

std::string FakeUi::key(const Control& c) {
    return std::to_string(static_cast<int>(c.window)) + ":" + std::string(c.name);
}

void FakeUi::log(std::string entry) {
    std::lock_guard lock(m_mutex);
    m_calls.push_back(std::move(entry));
}

ListStore& FakeUi::listLocked(const Control& list) {
    auto it = m_lists.find(key(list));
    if (it == m_lists.end())
        it = m_lists.emplace(key(list), ListStore(5)).first;
    return it->second;
}

// --- scripting ---------------------------------------------------------------------------------

void FakeUi::answerNext(int answer) {
    std::lock_guard lock(m_mutex);
    m_answers.push_back(answer);
}
void FakeUi::setMessageBoxGate(std::function<void(const ShownMessage&)> gate) {
    std::lock_guard lock(m_mutex);
    m_messageBoxGate = std::move(gate);
}
void FakeUi::setSelectedRow(const Control& list, int row) {
    std::lock_guard lock(m_mutex);
    m_selectedRows[key(list)] = row;
}
void FakeUi::setSelectedTreeItem(const Control& tree, int item) {
    std::lock_guard lock(m_mutex);
    m_selectedTree[key(tree)] = item;
}
void FakeUi::setHttpGet(std::function<std::string(std::string_view)> fetch) {
    std::lock_guard lock(m_mutex);
    m_httpGet = std::move(fetch);
}
void FakeUi::setControlRect(const Control& control, Rect rect) {
    std::lock_guard lock(m_mutex);
    m_rects[key(control)] = rect;
}
void FakeUi::setOuterSize(WindowId window, int width, int height) {
    std::lock_guard lock(m_mutex);
    m_outerSizes[static_cast<int>(window)] = {width, height};
}

void FakeUi::runPosted() {
    for (;;) {
        std::function<void()> next;
        {
            std::lock_guard lock(m_mutex);
            if (m_posted.empty())
                return;
            next = std::move(m_posted.front());
            m_posted.pop_front();
        }
        next();
    }
}

void FakeUi::joinThreads() {
    std::vector<std::thread> threads;
    {
        std::lock_guard lock(m_mutex);
        threads.swap(m_threads);
    }
    for (auto& t : threads) {
        while (t.joinable()) {
            runPosted();
            t.join();
        }
    }
    runPosted();
}

std::size_t FakeUi::pendingPosts() const {
    std::lock_guard lock(m_mutex);
    return m_posted.size();
}

// --- what happened -------------------------------------------------------------------------------

std::vector<std::string> FakeUi::calls() const {
    std::lock_guard lock(m_mutex);
    return m_calls;
}
std::vector<ShownMessage> FakeUi::messages() const {
    std::lock_guard lock(m_mutex);
    return m_messages;
}
void FakeUi::clearLog() {
    std::lock_guard lock(m_mutex);
    m_calls.clear();
    m_messages.clear();
}
ListStore FakeUi::list(const Control& list) const {
    std::lock_guard lock(m_mutex);
    auto it = m_lists.find(key(list));
    return it == m_lists.end() ? ListStore(5) : it->second;
}
std::vector<std::vector<std::string>> FakeUi::rows(const Control& l) const {
    const ListStore store = list(l);
    std::vector<std::vector<std::string>> out;
    for (int r = 0; r < store.rowCount(); ++r) {
        std::vector<std::string> row;
        for (int c = 0; c < store.columns(); ++c)
            row.push_back(store.cell(r, c));
        out.push_back(std::move(row));
    }
    return out;
}
int FakeUi::timerPeriod(Timer timer) const {
    std::lock_guard lock(m_mutex);
    auto it = m_timerPeriods.find(static_cast<int>(timer));
    return it == m_timerPeriods.end() ? 0 : it->second;
}
int FakeUi::timerStarts(Timer timer) const {
    std::lock_guard lock(m_mutex);
    auto it = m_timerStarts.find(static_cast<int>(timer));
    return it == m_timerStarts.end() ? 0 : it->second;
}
bool FakeUi::menuItemDisabled(MenuItem item) const {
    std::lock_guard lock(m_mutex);
    auto it = m_menuDisabled.find(static_cast<int>(item));
    return it != m_menuDisabled.end() && it->second;
}
bool FakeUi::controlVisible(const Control& control) const {
    std::lock_guard lock(m_mutex);
    auto it = m_visible.find(key(control));
    return it == m_visible.end() || it->second;
}
int FakeUi::progressPosition() const {
    std::lock_guard lock(m_mutex);
    return m_progress;
}
int FakeUi::checkedToolbarButton(const Control& toolbar) const {
    std::lock_guard lock(m_mutex);
    auto it = m_checkedToolbar.find(key(toolbar));
    return it == m_checkedToolbar.end() ? -1 : it->second;
}
int FakeUi::currentPage() const {
    std::lock_guard lock(m_mutex);
    return m_page;
}
std::string FakeUi::browserAddress(const Control& browser) const {
    std::lock_guard lock(m_mutex);
    auto it = m_browsers.find(key(browser));
    return it == m_browsers.end() ? std::string() : it->second;
}
std::vector<std::string> FakeUi::openedAddresses() const {
    std::lock_guard lock(m_mutex);
    return m_opened;
}
std::vector<std::string> FakeUi::shellOpened() const {
    std::lock_guard lock(m_mutex);
    return m_shellOpened;
}
std::vector<std::string> FakeUi::startedPrograms() const {
    std::lock_guard lock(m_mutex);
    return m_programs;
}
std::string FakeUi::clipboard() const {
    std::lock_guard lock(m_mutex);
    return m_clipboard;
}
std::string FakeUi::trayIcon() const {
    std::lock_guard lock(m_mutex);
    return m_trayIcon;
}
std::string FakeUi::trayTip() const {
    std::lock_guard lock(m_mutex);
    return m_trayTip;
}
std::vector<std::string> FakeUi::poppedMenus() const {
    std::lock_guard lock(m_mutex);
    return m_poppedMenus;
}
bool FakeUi::windowCreated(WindowId window) const {
    std::lock_guard lock(m_mutex);
    auto it = m_windowsCreated.find(static_cast<int>(window));
    return it != m_windowsCreated.end() && it->second;
}
int FakeUi::windowStateOf(WindowId window) const {
    std::lock_guard lock(m_mutex);
    auto it = m_windowStates.find(static_cast<int>(window));
    return it == m_windowStates.end() ? 0 : it->second;
}
bool FakeUi::windowVisible(WindowId window) const {
    std::lock_guard lock(m_mutex);
    auto it = m_windowsVisible.find(static_cast<int>(window));
    return it != m_windowsVisible.end() && it->second;
}

// --- windows ------------------------------------------------------------------------------------

void FakeUi::loadWindow(WindowId window) {
    std::lock_guard lock(m_mutex);
    log("loadWindow " + std::to_string(static_cast<int>(window)));
    m_windowsCreated[static_cast<int>(window)] = true;
    m_windowsVisible[static_cast<int>(window)] = true;
    m_windowStates[static_cast<int>(window)] = 0;
}
bool FakeUi::isWindowCreated(WindowId window) {
    return windowCreated(window);
}
void FakeUi::activateWindow(WindowId window) {
    log("activateWindow " + std::to_string(static_cast<int>(window)));
}
void FakeUi::destroyWindow(WindowId window) {
    std::lock_guard lock(m_mutex);
    log("destroyWindow " + std::to_string(static_cast<int>(window)));
    m_windowsCreated[static_cast<int>(window)] = false;
    m_windowsVisible[static_cast<int>(window)] = false;
}
void FakeUi::focusWindow(WindowId window) {
    log("focusWindow " + std::to_string(static_cast<int>(window)));
}
int FakeUi::windowState(WindowId window) {
    return windowStateOf(window);
}
void FakeUi::setWindowState(WindowId window, int state) {
    std::lock_guard lock(m_mutex);
    log("setWindowState " + std::to_string(static_cast<int>(window)) + " " + std::to_string(state));
    m_windowStates[static_cast<int>(window)] = state == kStateCentred ? kStateNormal : state;
}
void FakeUi::setWindowVisible(WindowId window, bool visible) {
    std::lock_guard lock(m_mutex);
    log("setWindowVisible " + std::to_string(static_cast<int>(window)) + " " + std::to_string(visible));
    m_windowsVisible[static_cast<int>(window)] = visible;
}
bool FakeUi::isWindowVisible(WindowId window) {
    return windowVisible(window);
}
int FakeUi::outerWidth(WindowId window) {
    std::lock_guard lock(m_mutex);
    return m_outerSizes[static_cast<int>(window)].first;
}
int FakeUi::outerHeight(WindowId window) {
    std::lock_guard lock(m_mutex);
    return m_outerSizes[static_cast<int>(window)].second;
}
int FakeUi::screenWidth() {
    std::lock_guard lock(m_mutex);
    return m_screenWidth;
}

// --- controls -----------------------------------------------------------------------------------

void FakeUi::setControlVisible(const Control& control, bool visible) {
    std::lock_guard lock(m_mutex);
    log("setControlVisible " + std::string(control.name) + " " + std::to_string(visible));
    m_visible[key(control)] = visible;
}
Rect FakeUi::controlRect(const Control& control) {
    std::lock_guard lock(m_mutex);
    return m_rects[key(control)];
}
void FakeUi::setControlLeft(const Control& c, int v) {
    std::lock_guard lock(m_mutex);
    log("setControlLeft " + std::string(c.name) + " " + std::to_string(v));
    m_rects[key(c)].left = v;
}
void FakeUi::setControlTop(const Control& c, int v) {
    std::lock_guard lock(m_mutex);
    log("setControlTop " + std::string(c.name) + " " + std::to_string(v));
    m_rects[key(c)].top = v;
}
void FakeUi::setControlWidth(const Control& c, int v) {
    std::lock_guard lock(m_mutex);
    log("setControlWidth " + std::string(c.name) + " " + std::to_string(v));
    m_rects[key(c)].width = v;
}
void FakeUi::setControlHeight(const Control& c, int v) {
    std::lock_guard lock(m_mutex);
    log("setControlHeight " + std::string(c.name) + " " + std::to_string(v));
    m_rects[key(c)].height = v;
}
void FakeUi::moveControl(const Control& c, const Rect& r) {
    std::lock_guard lock(m_mutex);
    log("moveControl " + std::string(c.name) + " " + std::to_string(r.left) + " " + std::to_string(r.top) +
        " " + std::to_string(r.width) + " " + std::to_string(r.height));
    m_rects[key(c)] = r;
}
std::string FakeUi::editText(const Control& edit) {
    std::lock_guard lock(m_mutex);
    return m_edits[key(edit)];
}
void FakeUi::setEditText(const Control& edit, std::string_view text) {
    std::lock_guard lock(m_mutex);
    m_edits[key(edit)] = std::string(text);
}
void FakeUi::setCurrentPage(const Control&, int page) {
    std::lock_guard lock(m_mutex);
    log("setCurrentPage " + std::to_string(page));
    m_page = page;
}
void FakeUi::setTimerPeriod(Timer timer, int ms) {
    std::lock_guard lock(m_mutex);
    log("setTimerPeriod " + std::to_string(static_cast<int>(timer) + 1) + " " + std::to_string(ms));
    int& period = m_timerPeriods[static_cast<int>(timer)];
    if (ms > 0 && ms != period)
        ++m_timerStarts[static_cast<int>(timer)];
    period = ms < 0 ? 0 : ms;
}
void FakeUi::setProgressMax(const Control&, int value) {
    log("setProgressMax " + std::to_string(value));
}
void FakeUi::setProgressPosition(const Control&, int value) {
    std::lock_guard lock(m_mutex);
    log("setProgressPosition " + std::to_string(value));
    m_progress = value;
}
void FakeUi::setMenuItemDisabled(MenuItem item, bool disabled) {
    std::lock_guard lock(m_mutex);
    log("setMenuItemDisabled " + std::string(menuItemText(item)) + " " + std::to_string(disabled));
    m_menuDisabled[static_cast<int>(item)] = disabled;
}
void FakeUi::setBrowserAddress(const Control& browser, std::string_view address) {
    std::lock_guard lock(m_mutex);
    log("setBrowserAddress " + std::string(browser.name) + " " + std::string(address));
    m_browsers[key(browser)] = std::string(address);
}
void FakeUi::checkToolbarButton(const Control& toolbar, int button) {
    std::lock_guard lock(m_mutex);
    log("checkToolbarButton " + std::string(toolbar.name) + " " + std::to_string(button));
    m_checkedToolbar[key(toolbar)] = button;
}

// --- lists ----------------------------------------------------------------------------------------

int FakeUi::appendRow(const Control& list) {
    std::lock_guard lock(m_mutex);
    return listLocked(list).appendRow();
}
void FakeUi::appendRows(const Control& list, std::vector<Row> rows) {
    std::lock_guard lock(m_mutex);
    listLocked(list).appendRows(std::move(rows));
}
void FakeUi::setCell(const Control& list, int row, int column, std::string_view text) {
    std::lock_guard lock(m_mutex);
    listLocked(list).setCell(row, column, text);
}
std::string FakeUi::cellText(const Control& list, int row, int column) {
    std::lock_guard lock(m_mutex);
    return listLocked(list).cell(row, column);
}
void FakeUi::deleteRow(const Control& list, int row) {
    std::lock_guard lock(m_mutex);
    log("deleteRow " + std::string(list.name) + " " + std::to_string(row));
    ListStore& store = listLocked(list);
    store.deleteRow(row);
    // The selection goes with the deleted row, as in a real list.
    auto sel = m_selectedRows.find(key(list));
    if (sel != m_selectedRows.end() && sel->second >= store.rowCount())
        sel->second = -1;
}
void FakeUi::deleteAllRows(const Control& list) {
    std::lock_guard lock(m_mutex);
    log("deleteAllRows " + std::string(list.name));
    listLocked(list).clear();
    m_selectedRows[key(list)] = -1;
}
int FakeUi::rowCount(const Control& list) {
    std::lock_guard lock(m_mutex);
    return listLocked(list).rowCount();
}
int FakeUi::selectedRow(const Control& list) {
    std::lock_guard lock(m_mutex);
    auto it = m_selectedRows.find(key(list));
    if (it == m_selectedRows.end() || !listLocked(list).hasRow(it->second))
        return -1;
    return it->second;
}
int FakeUi::findRow(const Control& list, std::string_view text, int start, bool exact) {
    std::lock_guard lock(m_mutex);
    return listLocked(list).findRow(text, start, exact);
}
int FakeUi::selectedTreeItem(const Control& tree) {
    std::lock_guard lock(m_mutex);
    auto it = m_selectedTree.find(key(tree));
    return it == m_selectedTree.end() ? -1 : it->second;
}

// --- tips, tray, menus ------------------------------------------------------------------------------

void FakeUi::attachHoverTip(const Control& balloon, const Control& control, std::string_view text) {
    log("attachHoverTip " + std::string(balloon.name) + " " + std::string(control.name) + " " +
        std::string(text));
}
void FakeUi::showBalloonAt(const Control& balloon, int x, int y, std::string_view text) {
    log("showBalloonAt " + std::string(balloon.name) + " " + std::to_string(x) + " " + std::to_string(y) +
        " " + std::string(text));
}
void FakeUi::setTrayIcon(WindowId, std::string_view icon, std::string_view tip) {
    std::lock_guard lock(m_mutex);
    log("setTrayIcon " + std::string(icon) + " " + std::string(tip));
    m_trayIcon = std::string(icon);
    m_trayTip = std::string(tip);
}
bool FakeUi::isTrayAvailable() {
    std::lock_guard lock(m_mutex);
    return m_trayAvailable;
}
void FakeUi::popupMenu(WindowId, Menu menu) {
    std::lock_guard lock(m_mutex);
    log("popupMenu " + std::string(menuTitle(menu)));
    m_poppedMenus.emplace_back(menuTitle(menu));
}
void FakeUi::popupTrayMenu(WindowId, Menu menu) {
    std::lock_guard lock(m_mutex);
    log("popupTrayMenu " + std::string(menuTitle(menu)));
    m_poppedMenus.emplace_back(menuTitle(menu));
}

// --- messages and services --------------------------------------------------------------------------

int FakeUi::messageBox(std::string_view text, int buttons, std::optional<std::string_view> caption) {
    ShownMessage shown{std::string(text), buttons, std::string(caption.value_or("信息：")),
                       std::this_thread::get_id() != m_uiThread};
    std::function<void(const ShownMessage&)> gate;
    int answer = (buttons & 0xF) == kYesNo ? kAnswerNo : kAnswerOk;
    {
        std::lock_guard lock(m_mutex);
        log("messageBox " + shown.text + " " + std::to_string(buttons) + " " + shown.caption);
        m_messages.push_back(shown);
        if (!m_answers.empty()) {
            answer = m_answers.front();
            m_answers.pop_front();
        }
        gate = m_messageBoxGate;
    }
    // Outside the lock: a held box must not stop the other threads' calls.
    if (gate)
        gate(shown);
    return answer;
}
void FakeUi::setClipboardText(std::string_view text) {
    std::lock_guard lock(m_mutex);
    log("setClipboardText " + std::string(text));
    m_clipboard = std::string(text);
}
void FakeUi::openAddress(std::string_view address) {
    std::lock_guard lock(m_mutex);
    log("openAddress " + std::string(address));
    m_opened.emplace_back(address);
}
void FakeUi::shellOpen(std::string_view path) {
    std::lock_guard lock(m_mutex);
    log("shellOpen " + std::string(path));
    m_shellOpened.emplace_back(path);
}
void FakeUi::runProgram(std::string_view commandLine) {
    std::lock_guard lock(m_mutex);
    log("runProgram " + std::string(commandLine));
    m_programs.emplace_back(commandLine);
}
bool FakeUi::fileExists(std::string_view path) {
    std::error_code ec;
    return !path.empty() && fs::exists(pathOf(path), ec);
}
void FakeUi::deleteFile(std::string_view path) {
    log("deleteFile " + std::string(path));
    std::error_code ec;
    fs::remove(pathOf(path), ec);
}
void FakeUi::createFolder(std::string_view path) {
    log("createFolder " + std::string(path));
    std::error_code ec;
    fs::create_directory(pathOf(path), ec);
}
std::string FakeUi::programFolder() {
    std::lock_guard lock(m_mutex);
    return m_programFolder;
}
std::string FakeUi::readIni(std::string_view file, std::string_view section, std::string_view key) {
    return platform::readIni(file, section, key);
}
std::vector<std::string> FakeUi::readIniEntries(std::string_view file, const std::vector<IniKey>& keys) {
    return platform::readIniEntries(file, keys);
}
void FakeUi::writeIni(std::string_view file, std::string_view section, std::string_view key,
                      std::string_view text) {
    log("writeIni " + std::string(section) + " " + std::string(key) + " " + std::string(text));
    platform::writeIni(file, section, key, text);
}
bool FakeUi::writeIniEntries(std::string_view file, const std::vector<IniEntry>& entries) {
    log("writeIniEntries " + std::to_string(entries.size()));
    return platform::writeIniEntries(file, entries);
}
std::string FakeUi::httpGet(std::string_view address) {
    std::function<std::string(std::string_view)> fetch;
    {
        std::lock_guard lock(m_mutex);
        log("httpGet " + std::string(address));
        fetch = m_httpGet;
    }
    return fetch ? fetch(address) : platform::httpGet(address);
}
void FakeUi::startThread(std::function<void()> procedure) {
    std::lock_guard lock(m_mutex);
    log("startThread");
    m_threads.emplace_back(std::move(procedure));
}
void FakeUi::post(std::function<void()> function) {
    std::lock_guard lock(m_mutex);
    m_posted.push_back(std::move(function));
}
void FakeUi::pumpEvents(int) {
    runPosted();
}
void FakeUi::setExitCleanup(std::function<void()> cleanup) {
    std::lock_guard lock(m_mutex);
    m_exitCleanup = std::move(cleanup);
}
void FakeUi::endProgram(int exitCode) {
    std::function<void()> cleanup;
    {
        std::lock_guard lock(m_mutex);
        log("endProgram " + std::to_string(exitCode));
        if (m_exitCode != -1)
            return; // the program is already ending
        m_exitCode = exitCode;
        cleanup = std::move(m_exitCleanup);
        m_exitCleanup = nullptr;
    }
    if (cleanup) {
        ++m_exitCleanups;
        cleanup();
    }
}

} // namespace plendrik::test
