// The widgets the windows are built from where Qt's own do not fit as they are.
#pragma once

#include <QAbstractButton>
#include <QPixmap>
#include <QPoint>
#include <QStyledItemDelegate>
#include <QTreeView>
#include <QWidget>

namespace plendrik::ui::qt {

// A top-level window of the program. A frameless one paints its background picture and is dragged
// by any free point of its face.
class ShellWindow final : public QWidget {
    Q_OBJECT
public:
    ShellWindow(bool frameless, QString background);

signals:
    void closing();
    void moved();
    void resized();
    void minimised();
    void firstPainted();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QString m_background;
    QPixmap m_backgroundPixmap;
    bool m_frameless;
    bool m_painted = false;
    bool m_dragging = false;
    QPoint m_dragOffset;
};

// A small picture standing in for a caption button; greyed when disabled.
class PictureButton final : public QAbstractButton {
    Q_OBJECT
public:
    PictureButton(QString picture, QWidget* parent);
    QSize sizeHint() const override { return {29, 18}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QString m_picture;
    bool m_hover = false;
};

// A report list: header, grid lines, no tree decoration. Double-click on a row and right click
// anywhere are reported; firstCellOnly keeps the selection on column 0.
class ReportList final : public QTreeView {
    Q_OBJECT
public:
    ReportList(bool wholeRow, QWidget* parent);

signals:
    void rowActivated(int row);
    void rightClicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_wholeRow;
};

// Grid lines under and right of each cell.
class GridDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};

// An embedded browser. The engine behind it is expensive to start, so the view is made only when
// createView() is called; an address set before that is loaded then.
class BrowserBox final : public QWidget {
    Q_OBJECT
public:
    explicit BrowserBox(QWidget* parent);
    void setAddress(const QString& address);
    QString address() const { return m_address; }
    void createView();
    bool hasView() const { return m_view != nullptr; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QString m_address;
    QWidget* m_view = nullptr;
};

} // namespace plendrik::ui::qt
