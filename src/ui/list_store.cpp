#include "ui/list_store.h"

#include <algorithm>

namespace plendrik::ui {
namespace {

char lowerLatin(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

const std::string kEmpty;

} // namespace

bool equalsIgnoringLatinCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && startsWithIgnoringLatinCase(a, b);
}

bool startsWithIgnoringLatinCase(std::string_view text, std::string_view prefix) {
    if (prefix.size() > text.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (lowerLatin(text[i]) != lowerLatin(prefix[i]))
            return false;
    return true;
}

int ListStore::appendRow() {
    m_rows.emplace_back(static_cast<std::size_t>(m_columns));
    return rowCount() - 1;
}

int ListStore::appendRows(std::vector<std::vector<std::string>> rows) {
    const int first = rowCount();
    // Grown geometrically: an exact reserve per batch would move every row the list has into a
    // new array (fresh pages each time) for each batch of a long load.
    const std::size_t needed = m_rows.size() + rows.size();
    if (needed > m_rows.capacity())
        m_rows.reserve(std::max(needed, 2 * m_rows.capacity()));
    for (auto& row : rows) {
        row.resize(static_cast<std::size_t>(m_columns));
        m_rows.push_back(std::move(row));
    }
    return first;
}

bool ListStore::setCell(int row, int column, std::string_view text) {
    if (!hasRow(row) || column < 0 || column >= m_columns)
        return false;
    m_rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)].assign(text);
    return true;
}

const std::string& ListStore::cell(int row, int column) const {
    if (!hasRow(row) || column < 0 || column >= m_columns)
        return kEmpty;
    return m_rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

bool ListStore::deleteRow(int row) {
    if (!hasRow(row))
        return false;
    m_rows.erase(m_rows.begin() + row);
    return true;
}

void ListStore::clear() { m_rows.clear(); }

int ListStore::findRow(std::string_view text, int start, bool exact) const {
    if (m_columns == 0)
        return -1;
    for (int row = std::max(start, 0); row < rowCount(); ++row) {
        const std::string& name = m_rows[static_cast<std::size_t>(row)][0];
        if (exact ? equalsIgnoringLatinCase(name, text) : startsWithIgnoringLatinCase(name, text))
            return row;
    }
    return -1;
}

} // namespace plendrik::ui
