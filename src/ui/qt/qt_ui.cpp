// The binding's windows, controls, lists and tree.
#include "ui/qt/qt_ui.h"

#include "ui/layouts.h"
#include "ui/qt/list_model.h"
#include "ui/qt/widgets.h"
#include "ui/qt/window_builder.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QScreen>
#include <QStackedWidget>
#include <QSystemTrayIcon>
#include <QTreeView>
#include <QTreeWidget>

// The pictures live in the binding's static library; the linker keeps them only when asked for.
static void initPictures() {
    Q_INIT_RESOURCE(resources);
}

namespace plendrik::ui::qt {

namespace {
QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// Pre-order index of the item within its tree, parents counted whether expanded or not.
int preOrderIndex(QTreeWidget* tree, QTreeWidgetItem* wanted) {
    int index = 0;
    std::function<bool(QTreeWidgetItem*)> walk = [&](QTreeWidgetItem* item) {
        if (item == wanted)
            return true;
        ++index;
        for (int i = 0; i < item->childCount(); ++i)
            if (walk(item->child(i)))
                return true;
        return false;
    };
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        if (walk(tree->topLevelItem(i)))
            return index;
    return -1;
}
} // namespace

QtUi::QtUi(const app::Config& config, QtUiOptions options)
    : m_config(config), m_options(options), m_uiThread(std::this_thread::get_id()),
      m_programFolder(QCoreApplication::applicationDirPath().toStdString()) {
    // The program ends by its own rules, not when its last visible window closes.
    initPictures();
    QGuiApplication::setQuitOnLastWindowClosed(false);
    // The program's face for every text; a font set on a styled window would not reach its children.
    QApplication::setFont(fontFor(FontSpec{textFamilies(), 12, false}));
    for (std::size_t i = 0; i < m_timers.size(); ++i) {
        m_timers[i].setTimerType(Qt::PreciseTimer);
        connect(&m_timers[i], &QTimer::timeout, this, [this, i] {
            send(UiEvent{EventKind::TimerTick, WindowId::Main, {}, {}, static_cast<Timer>(i), -1});
        });
    }
    connect(qApp, &QCoreApplication::aboutToQuit, this, &QtUi::shutDown);
    buildMenus();
}

QtUi::~QtUi() {
    m_stopping = true;
    m_ending = true;
    shutDown();
    for (auto& [id, window] : m_windows)
        delete window->window;
    m_windows.clear();
    for (auto& [menu, widget] : m_menus)
        delete widget;
}

void QtUi::queue(std::function<void()> function) {
    {
        std::lock_guard lock(m_queueMutex);
        m_queue.push_back(std::move(function));
    }
    QMetaObject::invokeMethod(this, &QtUi::runQueued, Qt::QueuedConnection);
}

void QtUi::runQueued() {
    for (;;) {
        std::function<void()> next;
        {
            std::lock_guard lock(m_queueMutex);
            if (m_queue.empty())
                return;
            next = std::move(m_queue.front());
            m_queue.pop_front();
        }
        next();
    }
}

template <class T> T QtUi::ask(std::function<T()> function, T fallback) {
    if (onUiThread())
        return function();
    auto promise = std::make_shared<std::promise<T>>();
    std::future<T> result = promise->get_future();
    queue([promise, function = std::move(function)] { promise->set_value(function()); });
    using namespace std::chrono_literals;
    while (result.wait_for(20ms) != std::future_status::ready)
        if (m_stopping)
            return fallback;
    try {
        return result.get();
    } catch (const std::future_error&) {
        return fallback; // the binding went away before the call ran
    }
}

void QtUi::send(const UiEvent& event) {
    if (m_sink && !m_ending)
        m_sink->handle(event);
}

BuiltWindow* QtUi::built(WindowId window) const {
    const auto it = m_windows.find(window);
    return it == m_windows.end() ? nullptr : it->second.get();
}

QWidget* QtUi::window(WindowId window) const {
    BuiltWindow* w = built(window);
    return w ? w->window : nullptr;
}

QWidget* QtUi::widget(const Control& control) const {
    BuiltWindow* w = built(control.window);
    if (!w)
        return nullptr;
    const auto it = w->controls.find(control.name);
    return it == w->controls.end() ? nullptr : it->second;
}

ListModel* QtUi::listModel(const Control& list) const {
    BuiltWindow* w = built(list.window);
    if (!w)
        return nullptr;
    const auto it = w->lists.find(list.name);
    return it == w->lists.end() ? nullptr : it->second;
}

QAction* QtUi::toolbarButton(const Control& toolbar, int button) const {
    BuiltWindow* w = built(toolbar.window);
    if (!w)
        return nullptr;
    const auto it = w->toolbarButtons.find(toolbar.name);
    if (it == w->toolbarButtons.end() || button < 0 || button >= it->second.size())
        return nullptr;
    return it->second.at(button);
}

// --- windows ----------------------------------------------------------------------------------------

void QtUi::centre(QWidget* window) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    const QSize outer = window->frameGeometry().size();
    window->move(area.left() + (area.width() - outer.width()) / 2,
                 area.top() + (area.height() - outer.height()) / 2);
}

void QtUi::loadWindow(WindowId id) {
    if (!onUiThread())
        return queue([this, id] { loadWindow(id); });
    if (BuiltWindow* existing = built(id)) {
        existing->window->raise();
        return;
    }
    BuildHooks hooks{[this](const UiEvent& event) { send(event); },
                     [this](const std::string& address) { openAddress(address); }};
    auto made = buildWindow(windowLayout(id, m_config), hooks);
    ShellWindow* window = made->window;
    BuiltWindow* w = made.get();
    m_windows[id] = std::move(made);
    centre(window);

    send(UiEvent{EventKind::WindowCreated, id, {}, {}, {}, -1});
    if (!built(id))
        return; // its creation handler closed it again
    window->show();
    // The frame's size is known once shown: keep the outer size the layout gives, then centre.
    const QSize frame = window->frameGeometry().size() - window->geometry().size();
    if (!frame.isEmpty() && window->windowFlags().testFlag(Qt::FramelessWindowHint) == false) {
        const QSize inner(w->outerWidth - frame.width(), w->outerHeight - frame.height());
        if (window->minimumSize() == window->maximumSize())
            window->setFixedSize(inner);
        else
            window->resize(inner);
        centre(window);
    }
    // The window's own moves and resizes reach the handlers only after its creation.
    connect(window, &ShellWindow::moved, this, [this, id] {
        send(UiEvent{EventKind::WindowMoved, id, {}, {}, {}, -1});
    });
    connect(
        window, &ShellWindow::minimised, this,
        [this, id] {
            send(UiEvent{EventKind::WindowMoved, id, {}, {}, {}, -1});
        },
        Qt::QueuedConnection);
    connect(window, &ShellWindow::resized, this, [this, id] {
        send(UiEvent{EventKind::WindowResized, id, {}, {}, {}, -1});
    });
    connect(window, &ShellWindow::closing, this, [this, id] { windowClosing(id); });
    if (m_options.browsers) {
        if (m_browsersStarted || id != WindowId::Main)
            for (BrowserBox* browser : w->browsers)
                browser->createView();
        else
            connect(window, &ShellWindow::firstPainted, this, &QtUi::startBrowsers, Qt::QueuedConnection);
    }
}

void QtUi::startBrowsers() {
    if (m_browsersStarted)
        return;
    m_browsersStarted = true;
    for (auto& [id, w] : m_windows)
        for (BrowserBox* browser : w->browsers)
            browser->createView();
}

// The one way a window goes: Esc, the system close, destroyWindow. Its destroy handler runs
// first; the main window's going ends the program.
void QtUi::windowClosing(WindowId id) {
    auto it = m_windows.find(id);
    if (it == m_windows.end())
        return;
    send(UiEvent{EventKind::WindowDestroying, id, {}, {}, {}, -1});
    it = m_windows.find(id);
    if (it == m_windows.end())
        return;
    std::unique_ptr<BuiltWindow> gone = std::move(it->second);
    m_windows.erase(it);
    gone->window->disconnect(this);
    gone->window->hide();
    gone->window->deleteLater();
    if (id == WindowId::Main) {
        setTrayIcon(WindowId::Main, "", "");
        endProgram(0);
    }
}

bool QtUi::isWindowCreated(WindowId id) {
    return ask<bool>([this, id] { return built(id) != nullptr; });
}

void QtUi::activateWindow(WindowId id) {
    if (QWidget* w = window(id)) {
        w->raise();
        w->activateWindow();
    }
}

void QtUi::destroyWindow(WindowId id) {
    if (QWidget* w = window(id))
        w->close();
}

void QtUi::focusWindow(WindowId id) {
    if (QWidget* w = window(id)) {
        w->activateWindow();
        w->setFocus();
    }
}

int QtUi::windowState(WindowId id) {
    QWidget* w = window(id);
    if (!w)
        return kStateNormal;
    if (w->isMinimized())
        return kStateMinimised;
    if (w->isMaximized())
        return kStateMaximised;
    return kStateNormal;
}

void QtUi::setWindowState(WindowId id, int state) {
    QWidget* w = window(id);
    if (!w)
        return;
    if (state == kStateCentred) {
        w->setWindowState(w->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
        centre(w);
    } else if (state == kStateMinimised) {
        w->setWindowState(w->windowState() | Qt::WindowMinimized);
    }
}

void QtUi::setWindowVisible(WindowId id, bool visible) {
    if (QWidget* w = window(id))
        w->setVisible(visible);
}

bool QtUi::isWindowVisible(WindowId id) {
    QWidget* w = window(id);
    return w && w->isVisible();
}

int QtUi::outerWidth(WindowId id) {
    return ask<int>([this, id] {
        QWidget* w = window(id);
        return w ? w->frameGeometry().width() : 0;
    });
}

int QtUi::outerHeight(WindowId id) {
    return ask<int>([this, id] {
        QWidget* w = window(id);
        return w ? w->frameGeometry().height() : 0;
    });
}

int QtUi::screenWidth() {
    return ask<int>([] {
        const QScreen* screen = QGuiApplication::primaryScreen();
        return screen ? screen->geometry().width() : 0;
    });
}

// --- controls ----------------------------------------------------------------------------------------

void QtUi::setControlVisible(const Control& control, bool visible) {
    if (!onUiThread())
        return queue([this, control, visible] { setControlVisible(control, visible); });
    if (QWidget* w = widget(control))
        w->setVisible(visible);
}

Rect QtUi::controlRect(const Control& control) {
    return ask<Rect>([this, control] {
        QWidget* w = widget(control);
        if (!w)
            return Rect{};
        const QRect g = w->geometry();
        return Rect{g.left(), g.top(), g.width(), g.height()};
    });
}

void QtUi::moveControl(const Control& control, const Rect& rect) {
    if (!onUiThread())
        return queue([this, control, rect] { moveControl(control, rect); });
    if (QWidget* w = widget(control))
        w->setGeometry(rect.left, rect.top, rect.width, rect.height);
}

void QtUi::setControlLeft(const Control& control, int value) {
    Rect r = controlRect(control);
    r.left = value;
    moveControl(control, r);
}

void QtUi::setControlTop(const Control& control, int value) {
    Rect r = controlRect(control);
    r.top = value;
    moveControl(control, r);
}

void QtUi::setControlWidth(const Control& control, int value) {
    Rect r = controlRect(control);
    r.width = value;
    moveControl(control, r);
}

void QtUi::setControlHeight(const Control& control, int value) {
    Rect r = controlRect(control);
    r.height = value;
    moveControl(control, r);
}

std::string QtUi::editText(const Control& edit) {
    return ask<std::string>([this, edit] {
        auto* line = qobject_cast<QLineEdit*>(widget(edit));
        return line ? line->text().toStdString() : std::string();
    });
}

void QtUi::setEditText(const Control& edit, std::string_view text) {
    if (!onUiThread())
        return queue([this, edit, t = std::string(text)] { setEditText(edit, t); });
    if (auto* line = qobject_cast<QLineEdit*>(widget(edit)))
        line->setText(qs(text));
}

void QtUi::setCurrentPage(const Control& pages, int page) {
    if (!onUiThread())
        return queue([this, pages, page] { setCurrentPage(pages, page); });
    if (auto* stack = qobject_cast<QStackedWidget*>(widget(pages));
        stack && page >= 0 && page < stack->count())
        stack->setCurrentIndex(page);
}

void QtUi::setTimerPeriod(Timer timer, int milliseconds) {
    if (!onUiThread())
        return queue([this, timer, milliseconds] { setTimerPeriod(timer, milliseconds); });
    const auto i = static_cast<std::size_t>(timer);
    if (i >= m_timers.size())
        return;
    if (milliseconds <= 0) {
        m_timers[i].stop();
        m_periods[i] = 0;
        return;
    }
    // The same period again leaves a running timer alone: its next tick keeps its time.
    if (milliseconds == m_periods[i] && m_timers[i].isActive())
        return;
    m_periods[i] = milliseconds;
    m_timers[i].start(milliseconds);
}

void QtUi::setProgressMax(const Control& bar, int value) {
    if (!onUiThread())
        return queue([this, bar, value] { setProgressMax(bar, value); });
    if (auto* progress = qobject_cast<QProgressBar*>(widget(bar)))
        progress->setRange(0, value);
}

void QtUi::setProgressPosition(const Control& bar, int value) {
    if (!onUiThread())
        return queue([this, bar, value] { setProgressPosition(bar, value); });
    if (auto* progress = qobject_cast<QProgressBar*>(widget(bar)))
        progress->setValue(value);
}

void QtUi::setMenuItemDisabled(MenuItem item, bool disabled) {
    if (!onUiThread())
        return queue([this, item, disabled] { setMenuItemDisabled(item, disabled); });
    if (const auto it = m_menuActions.find(item); it != m_menuActions.end())
        it->second->setEnabled(!disabled);
}

void QtUi::setBrowserAddress(const Control& browser, std::string_view address) {
    if (!onUiThread())
        return queue([this, browser, a = std::string(address)] { setBrowserAddress(browser, a); });
    // Before the view exists the address waits in the box and loads with the view.
    if (auto* box = qobject_cast<BrowserBox*>(widget(browser)))
        box->setAddress(qs(address));
}

void QtUi::checkToolbarButton(const Control& toolbar, int button) {
    if (!onUiThread())
        return queue([this, toolbar, button] { checkToolbarButton(toolbar, button); });
    // A group button's check releases the others of its group.
    if (QAction* action = toolbarButton(toolbar, button); action && action->isCheckable())
        action->setChecked(true);
}

// --- lists ----------------------------------------------------------------------------------------------

int QtUi::appendRow(const Control& list) {
    return ask<int>(
        [this, list] {
            ListModel* model = listModel(list);
            return model ? model->appendRow() : -1;
        },
        -1);
}

void QtUi::appendRows(const Control& list, std::vector<Row> rows) {
    if (!onUiThread())
        return queue([this, list, rows = std::move(rows)]() mutable { appendRows(list, std::move(rows)); });
    if (ListModel* model = listModel(list))
        model->appendRows(std::move(rows));
}

void QtUi::setCell(const Control& list, int row, int column, std::string_view text) {
    if (!onUiThread())
        return queue([this, list, row, column, t = std::string(text)] { setCell(list, row, column, t); });
    if (ListModel* model = listModel(list))
        model->setCell(row, column, text);
}

std::string QtUi::cellText(const Control& list, int row, int column) {
    return ask<std::string>([this, list, row, column] {
        ListModel* model = listModel(list);
        return model ? model->store().cell(row, column) : std::string();
    });
}

void QtUi::deleteRow(const Control& list, int row) {
    if (!onUiThread())
        return queue([this, list, row] { deleteRow(list, row); });
    ListModel* model = listModel(list);
    if (!model)
        return;
    const bool wasSelected = row >= 0 && selectedRow(list) == row;
    model->deleteRow(row);
    // The selection goes with its row; the view would otherwise select a neighbour.
    if (auto* view = qobject_cast<QTreeView*>(widget(list)); view && wasSelected) {
        view->selectionModel()->clearSelection();
        view->selectionModel()->setCurrentIndex({}, QItemSelectionModel::NoUpdate);
    }
}

void QtUi::deleteAllRows(const Control& list) {
    if (!onUiThread())
        return queue([this, list] { deleteAllRows(list); });
    if (ListModel* model = listModel(list))
        model->clear();
}

int QtUi::rowCount(const Control& list) {
    return ask<int>([this, list] {
        ListModel* model = listModel(list);
        return model ? model->store().rowCount() : 0;
    });
}

int QtUi::selectedRow(const Control& list) {
    return ask<int>(
        [this, list] {
            auto* view = qobject_cast<QTreeView*>(widget(list));
            if (!view || !view->selectionModel())
                return -1;
            const QModelIndexList selected = view->selectionModel()->selectedIndexes();
            return selected.isEmpty() ? -1 : selected.front().row();
        },
        -1);
}

int QtUi::findRow(const Control& list, std::string_view text, int start, bool exact) {
    return ask<int>(
        [this, list, t = std::string(text), start, exact] {
            ListModel* model = listModel(list);
            return model ? model->store().findRow(t, start, exact) : -1;
        },
        -1);
}

int QtUi::selectedTreeItem(const Control& tree) {
    return ask<int>(
        [this, tree] {
            auto* view = qobject_cast<QTreeWidget*>(widget(tree));
            if (!view || !view->currentItem() || !view->currentItem()->isSelected())
                return -1;
            return preOrderIndex(view, view->currentItem());
        },
        -1);
}

} // namespace plendrik::ui::qt
