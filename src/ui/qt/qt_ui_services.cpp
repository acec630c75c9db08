// The binding's tips, tray, menus, message boxes, system services, threads and the end.
#include "ui/qt/qt_ui.h"

#include "common/gbk.h"
#include "platform/http_get.h"
#include "platform/ini_file.h"
#include "ui/menus.h"
#include "ui/qt/list_model.h"
#include "ui/qt/pictures.h"
#include "ui/qt/window_builder.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QToolTip>
#include <QUrl>

namespace plendrik::ui::qt {

namespace {
QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

int trayCode(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        return kTrayLeftUp;
    case QSystemTrayIcon::DoubleClick:
        return kTrayLeftDoubleClick;
    case QSystemTrayIcon::Context:
        return kTrayRightUp;
    default:
        return 0;
    }
}

// A box with the program's button texts; the answer is read from the button clicked.
QMessageBox* makeBox(const QString& text, int buttons, const QString& caption, QPushButton** yes,
                     QPushButton** no) {
    auto* box = new QMessageBox;
    box->setWindowTitle(caption);
    box->setText(text);
    box->setIcon((buttons & kInformationIcon) ? QMessageBox::Information : QMessageBox::NoIcon);
    *yes = *no = nullptr;
    if ((buttons & 0xF) == kYesNo) {
        *yes = box->addButton(QStringLiteral("是"), QMessageBox::YesRole);
        *no = box->addButton(QStringLiteral("否"), QMessageBox::NoRole);
        box->setDefaultButton(*yes);
        box->setEscapeButton(*no);
    } else {
        QPushButton* ok = box->addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
        box->setDefaultButton(ok);
        box->setEscapeButton(ok);
    }
    return box;
}

int answerOf(QMessageBox* box, QPushButton* yes, QPushButton* no) {
    if (!yes)
        return kAnswerOk;
    return box->clickedButton() == yes ? kAnswerYes : (box->clickedButton() == no ? kAnswerNo : kAnswerNo);
}
} // namespace

// --- tips, tray, menus --------------------------------------------------------------------------------

void QtUi::attachHoverTip(const Control&, const Control& control, std::string_view text) {
    if (!onUiThread())
        return queue([this, control, t = std::string(text)] { attachHoverTip({}, control, t); });
    QWidget* target = widget(control);
    if (!target)
        return;
    // The whole control is the hot area: the view, its header and every row.
    target->setToolTip(qs(text));
    if (ListModel* model = listModel(control))
        model->setHoverTip(qs(text));
    if (auto* view = qobject_cast<QAbstractItemView*>(target))
        view->viewport()->setToolTip(qs(text));
}

void QtUi::showBalloonAt(const Control& balloon, int x, int y, std::string_view text) {
    if (!onUiThread())
        return queue([this, balloon, x, y, t = std::string(text)] { showBalloonAt(balloon, x, y, t); });
    QToolTip::showText(QPoint(x, y), qs(text));
}

void QtUi::setTrayIcon(WindowId, std::string_view icon, std::string_view tip) {
    if (!onUiThread())
        return queue(
            [this, i = std::string(icon), t = std::string(tip)] { setTrayIcon(WindowId::Main, i, t); });
    if (icon.empty()) {
        m_tray.reset();
        return;
    }
    if (!m_tray) {
        m_tray = std::make_unique<QSystemTrayIcon>();
        connect(m_tray.get(), &QSystemTrayIcon::activated, this,
                [this](QSystemTrayIcon::ActivationReason reason) {
                    if (const int code = trayCode(reason))
                        send(UiEvent{EventKind::TrayEvent, WindowId::Main, {}, {}, {}, code});
                });
    }
    m_tray->setIcon(pictureIcon(icon == "program" ? "icon" : icon, QSize(32, 32)));
    // The tray shows at most 62 bytes of the tip in the system code page.
    const std::string gbkTip = gbk::fromUtf8(tip);
    m_tray->setToolTip(qs(gbk::toUtf8(std::string_view(gbkTip).substr(0, gbk::prefixLength(gbkTip, 62)))));
    m_tray->show();
}

bool QtUi::isTrayAvailable() {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void QtUi::buildMenus() {
    for (Menu menu : {Menu::表, Menu::菜单, Menu::托盘, Menu::添加}) {
        auto* popup = new QMenu;
        popup->setTitle(qs(menuTitle(menu)));
        for (const MenuItemSpec& spec : menuItems(menu)) {
            QAction* action = popup->addAction(qs(spec.text));
            const MenuItem item = spec.item;
            connect(action, &QAction::triggered, this, [this, item] {
                send(UiEvent{EventKind::MenuChosen, WindowId::Main, {}, item, {}, -1});
            });
            m_menuActions[item] = action;
        }
        m_menus[menu] = popup;
    }
}

QMenu* QtUi::menu(Menu menu) const {
    const auto it = m_menus.find(menu);
    return it == m_menus.end() ? nullptr : it->second;
}

// Non-blocking: the chosen item arrives as a MenuChosen event.
void QtUi::popupMenu(WindowId, Menu which) {
    if (QMenu* popup = menu(which))
        popup->popup(QCursor::pos() + QPoint(3, 3));
}

void QtUi::popupTrayMenu(WindowId window, Menu which) {
    QMenu* popup = menu(which);
    if (!popup)
        return;
    if (QWidget* w = this->window(window); w && w->isVisible())
        w->activateWindow();
    const QPoint cursor = QCursor::pos();
    popup->popup(QPoint(cursor.x() - 5 - popup->sizeHint().width(), cursor.y() - 5));
}

// --- messages -------------------------------------------------------------------------------------------

int QtUi::askOnUiThread(const QString& text, int buttons, const QString& caption) {
    QPushButton *yes, *no;
    std::unique_ptr<QMessageBox> box(makeBox(text, buttons, caption, &yes, &no));
    box->exec(); // the user-interface thread asked: its windows wait for the answer
    return answerOf(box.get(), yes, no);
}

void QtUi::askFromWorker(const QString& text, int buttons, const QString& caption,
                         std::shared_ptr<std::promise<int>> answer) {
    QPushButton *yes, *no;
    QMessageBox* box = makeBox(text, buttons, caption, &yes, &no);
    // Only the worker waits: the box is modeless and every window stays usable.
    box->setWindowModality(Qt::NonModal);
    box->setAttribute(Qt::WA_DeleteOnClose);
    connect(box, &QMessageBox::finished, box,
            [box, yes, no, answer] { answer->set_value(answerOf(box, yes, no)); });
    box->show();
}

int QtUi::messageBox(std::string_view text, int buttons, std::optional<std::string_view> caption) {
    const QString message = qs(text);
    const QString title = qs(caption.value_or("信息："));
    if (onUiThread())
        return askOnUiThread(message, buttons, title);
    const int fallback = (buttons & 0xF) == kYesNo ? kAnswerNo : kAnswerOk;
    auto answer = std::make_shared<std::promise<int>>();
    std::future<int> result = answer->get_future();
    queue([this, message, buttons, title, answer] { askFromWorker(message, buttons, title, answer); });
    using namespace std::chrono_literals;
    while (result.wait_for(50ms) != std::future_status::ready)
        if (m_stopping)
            return fallback;
    try {
        return result.get();
    } catch (const std::future_error&) {
        return fallback;
    }
}

// --- system services --------------------------------------------------------------------------------------

void QtUi::setClipboardText(std::string_view text) {
    if (!onUiThread())
        return queue([this, t = std::string(text)] { setClipboardText(t); });
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->setText(qs(text));
}

void QtUi::openAddress(std::string_view address) {
    if (!onUiThread())
        return queue([this, a = std::string(address)] { openAddress(a); });
    QDesktopServices::openUrl(QUrl(qs(address))); // failures are silent
}

void QtUi::shellOpen(std::string_view path) {
    if (!onUiThread())
        return queue([this, p = std::string(path)] { shellOpen(p); });
    QDesktopServices::openUrl(QUrl::fromLocalFile(qs(path)));
}

void QtUi::runProgram(std::string_view commandLine) {
    QStringList parts = QProcess::splitCommand(qs(commandLine));
    if (parts.isEmpty())
        return;
    const QString program = parts.takeFirst();
    QProcess::startDetached(program, parts);
}

bool QtUi::fileExists(std::string_view path) {
    return !path.empty() && QFileInfo::exists(qs(path));
}

void QtUi::deleteFile(std::string_view path) {
    QFile::remove(qs(path));
}

void QtUi::createFolder(std::string_view path) {
    QDir().mkdir(qs(path));
}

std::string QtUi::programFolder() {
    return m_programFolder;
}

std::string QtUi::readIni(std::string_view file, std::string_view section, std::string_view key) {
    return platform::readIni(file, section, key);
}

std::vector<std::string> QtUi::readIniEntries(std::string_view file, const std::vector<IniKey>& keys) {
    return platform::readIniEntries(file, keys);
}

void QtUi::writeIni(std::string_view file, std::string_view section, std::string_view key,
                    std::string_view text) {
    platform::writeIni(file, section, key, text);
}

bool QtUi::writeIniEntries(std::string_view file, const std::vector<IniEntry>& entries) {
    return platform::writeIniEntries(file, entries);
}

std::string QtUi::httpGet(std::string_view address) {
    return platform::httpGet(address);
}

// --- threads and the end ---------------------------------------------------------------------------------

void QtUi::startThread(std::function<void()> procedure) {
    std::thread(std::move(procedure)).detach();
}

void QtUi::post(std::function<void()> function) {
    queue(std::move(function));
}

void QtUi::pumpEvents(int milliseconds) {
    if (!onUiThread()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
        return;
    }
    QElapsedTimer clock;
    clock.start();
    do {
        QCoreApplication::processEvents(QEventLoop::AllEvents,
                                        std::max(1, milliseconds - int(clock.elapsed())));
    } while (clock.elapsed() < milliseconds);
}

void QtUi::setExitCleanup(std::function<void()> cleanup) {
    m_exitCleanup = std::move(cleanup);
}

void QtUi::shutDown() {
    m_stopping = true;
    if (m_cleanupRan)
        return;
    m_cleanupRan = true;
    if (auto cleanup = std::move(m_exitCleanup))
        cleanup();
}

void QtUi::endProgram(int exitCode) {
    if (!onUiThread())
        return queue([this, exitCode] { endProgram(exitCode); });
    if (m_ending)
        return;
    // From here no window handler runs: the destroy handler must not follow the clean-up.
    m_ending = true;
    for (QTimer& timer : m_timers)
        timer.stop();
    shutDown();
    QCoreApplication::exit(exitCode);
}

} // namespace plendrik::ui::qt
