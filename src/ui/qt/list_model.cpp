#include "ui/qt/list_model.h"

namespace plendrik::ui::qt {

ListModel::ListModel(QStringList titles, bool firstCellOnly, QObject* parent)
    : QAbstractTableModel(parent), m_store(static_cast<int>(titles.size())), m_titles(std::move(titles)),
      m_firstCellOnly(firstCellOnly) {}

int ListModel::appendRow() {
    const int row = m_store.rowCount();
    beginInsertRows({}, row, row);
    m_store.appendRow();
    endInsertRows();
    return row;
}

void ListModel::appendRows(std::vector<std::vector<std::string>> rows) {
    if (rows.empty())
        return;
    const int first = m_store.rowCount();
    // One insert for the whole batch: a row at a time costs a layout pass each.
    beginInsertRows({}, first, first + static_cast<int>(rows.size()) - 1);
    m_store.appendRows(std::move(rows));
    endInsertRows();
}

void ListModel::setCell(int row, int column, std::string_view text) {
    // The progress cell is written every millisecond while a file downloads, mostly with the text
    // it already has: only a change is worth a repaint.
    if (m_store.hasRow(row) && m_store.cell(row, column) == text)
        return;
    if (m_store.setCell(row, column, text)) {
        const QModelIndex at = index(row, column);
        emit dataChanged(at, at, {Qt::DisplayRole});
    }
}

void ListModel::deleteRow(int row) {
    if (!m_store.hasRow(row))
        return;
    beginRemoveRows({}, row, row);
    m_store.deleteRow(row);
    endRemoveRows();
}

void ListModel::clear() {
    beginResetModel();
    m_store.clear();
    endResetModel();
}

int ListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_store.rowCount();
}

int ListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_store.columns();
}

QVariant ListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole) {
        const std::string& text = m_store.cell(index.row(), index.column());
        return QString::fromUtf8(text.data(), qsizetype(text.size()));
    }
    // The hover tip covers the whole list, rows included.
    if (role == Qt::ToolTipRole && !m_hoverTip.isEmpty())
        return m_hoverTip;
    return {};
}

QVariant ListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < m_titles.size())
        return m_titles.at(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags ListModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    if (m_firstCellOnly && index.column() != 0)
        return Qt::ItemIsEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

} // namespace plendrik::ui::qt
