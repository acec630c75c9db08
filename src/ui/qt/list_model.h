// A report list's rows for its view: the ListStore rules, one model insert per batch of rows.
#pragma once

#include "ui/list_store.h"

#include <QAbstractTableModel>
#include <QStringList>

#include <string>
#include <vector>

namespace plendrik::ui::qt {

class ListModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    // firstCellOnly: only column 0 can be selected (the download list's look).
    ListModel(QStringList titles, bool firstCellOnly, QObject* parent = nullptr);

    const ListStore& store() const { return m_store; }
    void setHoverTip(QString tip) { m_hoverTip = std::move(tip); }

    int appendRow();
    void appendRows(std::vector<std::vector<std::string>> rows);
    void setCell(int row, int column, std::string_view text);
    void deleteRow(int row);
    void clear();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    ListStore m_store;
    QStringList m_titles;
    QString m_hoverTip;
    bool m_firstCellOnly;
};

} // namespace plendrik::ui::qt
