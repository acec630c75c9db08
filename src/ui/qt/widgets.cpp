#include "ui/qt/widgets.h"

#include "ui/qt/pictures.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLibrary>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>
#include <QWindow>

namespace plendrik::ui::qt {

// --- ShellWindow ---------------------------------------------------------------------------------

ShellWindow::ShellWindow(bool frameless, QString background)
    : QWidget(nullptr), m_background(std::move(background)), m_frameless(frameless) {}

void ShellWindow::paintEvent(QPaintEvent*) {
    if (!m_background.isEmpty()) {
        if (m_backgroundPixmap.isNull() || m_backgroundPixmap.deviceIndependentSize().toSize() != size())
            m_backgroundPixmap = picture(m_background.toStdString(), size());
        QPainter painter(this);
        if (m_backgroundPixmap.isNull())
            painter.fillRect(rect(), QColor(0xe8, 0xf0, 0xf8));
        else
            painter.drawPixmap(0, 0, m_backgroundPixmap);
    }
    if (!m_painted) {
        m_painted = true;
        emit firstPainted();
    }
}

void ShellWindow::mousePressEvent(QMouseEvent* event) {
    if (!m_frameless || event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    // Without a window manager the system move is refused; then the window follows the mouse.
    if (windowHandle() && windowHandle()->startSystemMove())
        return;
    m_dragging = true;
    m_dragOffset = event->globalPosition().toPoint() - frameGeometry().topLeft();
}

void ShellWindow::mouseMoveEvent(QMouseEvent* event) {
    if (m_dragging && (event->buttons() & Qt::LeftButton))
        move(event->globalPosition().toPoint() - m_dragOffset);
    else
        QWidget::mouseMoveEvent(event);
}

void ShellWindow::mouseReleaseEvent(QMouseEvent* event) {
    m_dragging = false;
    QWidget::mouseReleaseEvent(event);
}

void ShellWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    emit closing();
}

void ShellWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    emit moved();
}

void ShellWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    emit resized();
}

void ShellWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // Minimising changes the window's position as far as its handlers are concerned.
    if (event->type() == QEvent::WindowStateChange && isMinimized())
        emit minimised();
}

// --- PictureButton -------------------------------------------------------------------------------

PictureButton::PictureButton(QString picture, QWidget* parent)
    : QAbstractButton(parent), m_picture(std::move(picture)) {
    setFocusPolicy(Qt::NoFocus);
}

void PictureButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QPixmap pixmap = picture(m_picture.toStdString(), size());
    if (!isEnabled())
        painter.setOpacity(0.45);
    if (pixmap.isNull()) {
        painter.setPen(QColor(0x5a, 0x7a, 0x9a));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    } else {
        painter.drawPixmap(0, 0, pixmap);
    }
    if (isEnabled() && (m_hover || isDown()))
        painter.fillRect(rect(), QColor(255, 255, 255, isDown() ? 90 : 50));
}

void PictureButton::enterEvent(QEnterEvent* event) {
    m_hover = true;
    update();
    QAbstractButton::enterEvent(event);
}

void PictureButton::leaveEvent(QEvent* event) {
    m_hover = false;
    update();
    QAbstractButton::leaveEvent(event);
}

// --- ReportList -----------------------------------------------------------------------------------

ReportList::ReportList(bool wholeRow, QWidget* parent) : QTreeView(parent), m_wholeRow(wholeRow) {
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(wholeRow);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(wholeRow ? QAbstractItemView::SelectRows : QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setItemDelegate(new GridDelegate(this));
    setContextMenuPolicy(Qt::NoContextMenu);
}

void ReportList::mousePressEvent(QMouseEvent* event) {
    QTreeView::mousePressEvent(event);
    // A press anywhere on a row selects its first cell.
    const QModelIndex at = indexAt(event->position().toPoint());
    if (!m_wholeRow && at.isValid() && at.column() != 0)
        selectionModel()->setCurrentIndex(model()->index(at.row(), 0), QItemSelectionModel::ClearAndSelect);
}

void ReportList::mouseDoubleClickEvent(QMouseEvent* event) {
    QTreeView::mouseDoubleClickEvent(event);
    const QModelIndex at = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && at.isValid())
        emit rowActivated(at.row());
}

void ReportList::mouseReleaseEvent(QMouseEvent* event) {
    QTreeView::mouseReleaseEvent(event);
    if (event->button() == Qt::RightButton)
        emit rightClicked();
}

void GridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const {
    QStyledItemDelegate::paint(painter, option, index);
    painter->save();
    painter->setPen(QColor(0xd4, 0xdd, 0xe8));
    painter->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());
    painter->drawLine(option.rect.topRight(), option.rect.bottomRight());
    painter->restore();
}

// --- BrowserBox ----------------------------------------------------------------------------------

namespace {
using CreateView = QWidget* (*)(QWidget*);

// The browser module beside the program (build tree) or in its installed place; nullptr when absent.
CreateView browserFactory() {
    static CreateView factory = [] {
        for (const QString& folder :
             {QCoreApplication::applicationDirPath(), QStringLiteral(PLENDRIK_BROWSER_MODULE_DIR)}) {
            QLibrary module(folder + QStringLiteral("/libplendrik_browser"));
            if (auto create = reinterpret_cast<CreateView>(module.resolve("plendrikCreateBrowserView")))
                return create;
        }
        return CreateView{};
    }();
    return factory;
}

void load(QWidget* view, const QString& address) {
    view->setProperty("url", QUrl(address.isEmpty() ? QStringLiteral("about:blank") : address));
}
} // namespace

BrowserBox::BrowserBox(QWidget* parent) : QWidget(parent) {}

void BrowserBox::setAddress(const QString& address) {
    m_address = address;
    if (m_view)
        load(m_view, address);
}

void BrowserBox::createView() {
    if (m_view)
        return;
    // The engine loaded late needs contexts shared from the application's start, or it crashes.
    const CreateView create =
        QCoreApplication::testAttribute(Qt::AA_ShareOpenGLContexts) ? browserFactory() : nullptr;
    if (!create)
        return; // without the engine the box stays empty
    m_view = create(this);
    m_view->setGeometry(rect());
    m_view->show();
    if (!m_address.isEmpty())
        load(m_view, m_address);
}

void BrowserBox::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (m_view)
        m_view->setGeometry(rect());
}

} // namespace plendrik::ui::qt
