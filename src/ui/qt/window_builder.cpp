#include "ui/qt/window_builder.h"

#include "ui/qt/list_model.h"
#include "ui/qt/pictures.h"
#include "ui/qt/widgets.h"

#include <QAction>
#include <QActionGroup>
#include <QEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QStackedWidget>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

#include <mutex>
#include <set>

namespace plendrik::ui::qt {
namespace {

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

QStringList qsList(const std::vector<std::string>& texts) {
    QStringList out;
    for (const auto& text : texts)
        out << qs(text);
    return out;
}

// The look shared by every window: soft blue lines that sit well on the pictures.
const char* kStyleSheet = R"(
QTreeView, QTreeWidget { background: #ffffff; border: 1px solid #8eaacb; color: #1d2b3a;
    selection-background-color: #cde3f8; selection-color: #0d2238; outline: 0; }
QTreeView::item { height: 21px; }
QTreeWidget::item { height: 20px; }
QHeaderView::section { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #f7fafd, stop:1 #e1eaf4);
    color: #24405e; border: none; border-right: 1px solid #c5d4e5; border-bottom: 1px solid #aec2d8;
    padding: 3px 6px; }
QLineEdit { background: #ffffff; border: 1px solid #8eaacb; border-radius: 2px; padding: 1px 4px; color: #1d2b3a; }
QLineEdit:focus { border-color: #3b7bc4; }
QPushButton { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fbfdff, stop:1 #dde8f4);
    border: 1px solid #8eaacb; border-radius: 3px; color: #1d2b3a; }
QPushButton:hover { border-color: #3b7bc4; }
QPushButton:pressed { background: #cfe0f2; }
QToolBar { background: transparent; border: none; spacing: 0px; }
QToolButton { color: #1d3d5c; background: transparent; border: 1px solid transparent; border-radius: 6px;
    padding: 1px; }
QToolButton:hover { background: rgba(58, 143, 201, 28); border-color: rgba(58, 143, 201, 90); }
QToolButton:checked { background: rgba(58, 143, 201, 48); border-color: rgba(37, 110, 170, 170); }
QStackedWidget { background: transparent; }
QProgressBar { border: 1px solid #8eaacb; border-radius: 2px; background: #ffffff; }
QProgressBar::chunk { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #6fb3f2, stop:1 #2f7dd1); }
QGroupBox { border: 1px solid #b7c6d8; border-radius: 3px; margin-top: 8px; }
QGroupBox::title { subcontrol-origin: margin; left: 8px; padding: 0 3px; color: #24405e; }
)";

void place(QWidget* widget, const ControlSpec& spec) {
    widget->setGeometry(spec.place.left, spec.place.top, spec.place.width, spec.place.height);
    widget->setEnabled(spec.enabled);
    if (!spec.visible)
        widget->setVisible(false);
    if (!spec.font.families.empty() || spec.font.pixelSize > 0)
        widget->setFont(fontFor(spec.font));
}

class Builder {
public:
    Builder(const WindowLayout& layout, const BuildHooks& hooks, BuiltWindow& out)
        : m_layout(layout), m_hooks(hooks), m_out(out) {}

    void build() {
        const bool frameless = m_layout.frame == FrameKind::Frameless;
        auto* window = new ShellWindow(frameless, qs(m_layout.background));
        m_out.window = window;
        window->setWindowTitle(qs(m_layout.title));
        window->setWindowIcon(pictureIcon("icon", QSize(64, 64)));
        window->setStyleSheet(QString::fromUtf8(kStyleSheet));
        switch (m_layout.frame) {
        case FrameKind::Frameless:
            window->setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
            break;
        case FrameKind::Resizable:
            window->setWindowFlags(Qt::Window);
            break;
        case FrameKind::FixedCloseOnly:
            window->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                   Qt::WindowCloseButtonHint);
            break;
        }
        window->resize(m_layout.width, m_layout.height);
        if (m_layout.frame == FrameKind::FixedCloseOnly)
            window->setFixedSize(m_layout.width, m_layout.height);
        // Esc closes the active window as the system close does.
        auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), window);
        QObject::connect(escape, &QShortcut::activated, window, &QWidget::close);

        for (const ControlSpec& spec : m_layout.controls)
            add(spec);
    }

private:
    Control controlOf(const ControlSpec& spec) const { return Control{m_layout.id, internName(spec.name)}; }

    QWidget* parentOf(const ControlSpec& spec) const {
        if (spec.parent.empty())
            return m_out.window;
        const auto it = m_out.controls.find(spec.parent);
        if (it == m_out.controls.end())
            return m_out.window;
        if (auto* pages = qobject_cast<QStackedWidget*>(it->second))
            return pages->widget(spec.page) ? pages->widget(spec.page) : pages;
        return it->second;
    }

    void add(const ControlSpec& spec) {
        QWidget* parent = parentOf(spec);
        QWidget* widget = nullptr;
        const Control self = controlOf(spec);
        const WindowId id = m_layout.id;
        switch (spec.kind) {
        case ControlKind::Balloon:
            return; // not on screen
        case ControlKind::Label:
        case ControlKind::TransparentLabel: {
            auto* label = new QLabel(qs(spec.text), parent);
            label->setAttribute(Qt::WA_TranslucentBackground);
            label->setWordWrap(spec.text.find('\n') != std::string::npos);
            if (spec.kind == ControlKind::TransparentLabel) {
                // The title label stands in for the caption: its right click reaches the logic
                // (button 3), which pops the tray menu where the desktop has no tray.
                label->setContextMenuPolicy(Qt::CustomContextMenu);
                QObject::connect(label, &QWidget::customContextMenuRequested,
                                 [send = m_hooks.emitEvent, self, id] {
                                     send(UiEvent{EventKind::ButtonClicked, id, self, {}, {}, 3});
                                 });
            }
            widget = label;
            break;
        }
        case ControlKind::Hyperlink: {
            auto* label = new QLabel(parent);
            label->setTextFormat(Qt::RichText);
            label->setText(QStringLiteral("<a href=\"%1\" style=\"color:#1a5fb4\">%2</a>")
                               .arg(qs(spec.address).toHtmlEscaped(), qs(spec.text).toHtmlEscaped()));
            label->setCursor(Qt::PointingHandCursor);
            const std::string address = spec.address;
            QObject::connect(label, &QLabel::linkActivated,
                             [open = m_hooks.openAddress, address] { open(address); });
            widget = label;
            break;
        }
        case ControlKind::PictureButton: {
            auto* button = new PictureButton(qs(spec.picture), parent);
            QObject::connect(button, &QAbstractButton::clicked, [send = m_hooks.emitEvent, self, id] {
                send(UiEvent{EventKind::ButtonClicked, id, self, {}, {}, -1});
            });
            widget = button;
            break;
        }
        case ControlKind::PushButton: {
            auto* button = new QPushButton(qs(spec.text), parent);
            button->setAutoDefault(false);
            QObject::connect(button, &QAbstractButton::clicked, [send = m_hooks.emitEvent, self, id] {
                send(UiEvent{EventKind::ButtonClicked, id, self, {}, {}, -1});
            });
            widget = button;
            break;
        }
        case ControlKind::Edit: {
            auto* edit = new QLineEdit(qs(spec.text), parent);
            // Enter stays in the edit box and is reported as key 13.
            QObject::connect(edit, &QLineEdit::returnPressed, [send = m_hooks.emitEvent, self, id] {
                send(UiEvent{EventKind::KeyPressed, id, self, {}, {}, 13});
            });
            widget = edit;
            break;
        }
        case ControlKind::Toolbar:
            widget = toolbar(spec, parent);
            break;
        case ControlKind::Pages: {
            auto* pages = new QStackedWidget(parent);
            for (std::size_t i = 0; i < std::max<std::size_t>(spec.pageCaptions.size(), 1); ++i) {
                auto* page = new QWidget(pages);
                if (i < spec.pageCaptions.size())
                    page->setObjectName(qs(spec.pageCaptions[i]));
                pages->addWidget(page);
            }
            pages->setCurrentIndex(0);
            widget = pages;
            break;
        }
        case ControlKind::Tree:
            widget = tree(spec, parent);
            break;
        case ControlKind::List:
            widget = list(spec, parent);
            break;
        case ControlKind::Browser: {
            auto* browser = new BrowserBox(parent);
            m_out.browsers.push_back(browser);
            widget = browser;
            break;
        }
        case ControlKind::ProgressBar: {
            auto* bar = new QProgressBar(parent);
            bar->setRange(0, spec.maximum);
            bar->setValue(0);
            bar->setTextVisible(false);
            widget = bar;
            break;
        }
        case ControlKind::GroupBox:
            widget = new QGroupBox(qs(spec.text), parent);
            break;
        }
        widget->setObjectName(qs(spec.name));
        place(widget, spec);
        m_out.controls.emplace(spec.name, widget);
    }

    QWidget* toolbar(const ControlSpec& spec, QWidget* parent) {
        auto* bar = new QToolBar(parent);
        bar->setIconSize(QSize(spec.toolbarIconSize, spec.toolbarIconSize));
        bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        bar->setMovable(false);
        bar->setFloatable(false);
        auto* group = new QActionGroup(bar);
        group->setExclusive(true);
        const int buttonWidth = spec.buttons.empty() ? 0 : spec.place.width / int(spec.buttons.size());
        QList<QAction*> actions;
        const Control self = controlOf(spec);
        const WindowId id = m_layout.id;
        for (int i = 0; i < int(spec.buttons.size()); ++i) {
            const ToolbarButtonSpec& b = spec.buttons[std::size_t(i)];
            auto* action = bar->addAction(pictureIcon(b.picture, bar->iconSize()), qs(b.text));
            action->setToolTip(qs(b.tip));
            if (b.viewGroup) {
                action->setCheckable(true);
                group->addAction(action);
            }
            QObject::connect(action, &QAction::triggered, [send = m_hooks.emitEvent, self, id, i] {
                send(UiEvent{EventKind::ToolbarClicked, id, self, {}, {}, i});
            });
            if (QWidget* button = bar->widgetForAction(action))
                button->setFixedSize(buttonWidth, spec.place.height);
            actions << action;
        }
        if (!actions.isEmpty() && actions.front()->isCheckable())
            actions.front()->setChecked(true);
        m_out.toolbarButtons.emplace(spec.name, actions);
        return bar;
    }

    QWidget* tree(const ControlSpec& spec, QWidget* parent) {
        auto* tree = new QTreeWidget(parent);
        tree->setHeaderHidden(true);
        tree->setColumnCount(1);
        tree->setIconSize(QSize(16, 16));
        tree->setIndentation(14);
        QTreeWidgetItem* top = nullptr;
        std::vector<std::pair<QTreeWidgetItem*, bool>> expand;
        for (const TreeItemSpec& itemSpec : spec.treeItems) {
            QTreeWidgetItem* item =
                itemSpec.level == 0 || !top ? new QTreeWidgetItem(tree) : new QTreeWidgetItem(top);
            if (itemSpec.level == 0)
                top = item;
            item->setText(0, qs(itemSpec.text));
            item->setIcon(0, pictureIcon(treeItemPicture(itemSpec.image), QSize(16, 16)));
            if (itemSpec.bold) {
                QFont font = tree->font();
                font.setBold(true);
                item->setFont(0, font);
            }
            expand.emplace_back(item, itemSpec.expanded);
        }
        for (auto& [item, expanded] : expand)
            item->setExpanded(expanded);
        const Control self = controlOf(spec);
        const WindowId id = m_layout.id;
        // The double-click reaches the handler wherever it lands; it acts on the selected item.
        tree->viewport()->installEventFilter(
            new DoubleClickFilter(tree, [send = m_hooks.emitEvent, self, id] {
                send(UiEvent{EventKind::TreeDoubleClicked, id, self, {}, {}, -1});
            }));
        return tree;
    }

    QWidget* list(const ControlSpec& spec, QWidget* parent) {
        QStringList titles;
        for (const ColumnSpec& column : spec.columns)
            titles << qs(column.title);
        auto* view = new ReportList(spec.wholeRowSelection, parent);
        auto* model = new ListModel(titles, !spec.wholeRowSelection, view);
        view->setModel(model);
        view->header()->setStretchLastSection(false);
        view->header()->setSectionsMovable(false);
        view->header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        for (int c = 0; c < int(spec.columns.size()); ++c) {
            view->setColumnWidth(c, spec.columns[std::size_t(c)].width);
            // A width of 0 hides the column; its cells are data only.
            view->setColumnHidden(c, spec.columns[std::size_t(c)].width == 0);
        }
        view->viewport()->setCursor(listCursor());
        const Control self = controlOf(spec);
        const WindowId id = m_layout.id;
        QObject::connect(view, &ReportList::rowActivated, [send = m_hooks.emitEvent, self, id](int row) {
            send(UiEvent{EventKind::ListActivated, id, self, {}, {}, row});
        });
        QObject::connect(view, &ReportList::rightClicked, [send = m_hooks.emitEvent, self, id] {
            send(UiEvent{EventKind::ListRightClicked, id, self, {}, {}, -1});
        });
        m_out.lists.emplace(spec.name, model);
        return view;
    }

    class DoubleClickFilter final : public QObject {
    public:
        DoubleClickFilter(QObject* parent, std::function<void()> onDoubleClick)
            : QObject(parent), m_onDoubleClick(std::move(onDoubleClick)) {}
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::MouseButtonDblClick)
                QMetaObject::invokeMethod(this, m_onDoubleClick, Qt::QueuedConnection);
            return false;
        }

    private:
        std::function<void()> m_onDoubleClick;
    };

    const WindowLayout& m_layout;
    const BuildHooks& m_hooks;
    BuiltWindow& m_out;
};

} // namespace

std::string_view internName(std::string_view name) {
    static std::mutex mutex;
    static std::set<std::string, std::less<>> names;
    std::lock_guard lock(mutex);
    auto it = names.find(name);
    if (it == names.end())
        it = names.emplace(name).first;
    return *it;
}

QFont fontFor(const FontSpec& spec) {
    QFont font;
    if (!spec.families.empty()) {
        // The first family alone decides the match; the list serves the characters it lacks.
        font.setFamily(QString::fromStdString(spec.families.front()));
        font.setFamilies(qsList(spec.families));
    }
    if (spec.pixelSize > 0)
        font.setPixelSize(spec.pixelSize);
    font.setBold(spec.bold);
    return font;
}

std::unique_ptr<BuiltWindow> buildWindow(const WindowLayout& layout, const BuildHooks& hooks) {
    auto out = std::make_unique<BuiltWindow>();
    out->id = layout.id;
    out->outerWidth = layout.width;
    out->outerHeight = layout.height;
    Builder(layout, hooks, *out).build();
    return out;
}

} // namespace plendrik::ui::qt
