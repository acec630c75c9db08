// The rows of a report list and the list rules the program relies on (missing rows read as empty,
// findRow's start, exact and case rules). The Qt model and the test fake both keep their rows here.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace plendrik::ui {

// Latin letters compared without regard to case; every other byte as it is.
bool equalsIgnoringLatinCase(std::string_view a, std::string_view b);
bool startsWithIgnoringLatinCase(std::string_view text, std::string_view prefix);

class ListStore {
public:
    explicit ListStore(int columns = 0) : m_columns(columns) {}

    int columns() const { return m_columns; }
    int rowCount() const { return static_cast<int>(m_rows.size()); }
    bool hasRow(int row) const { return row >= 0 && row < rowCount(); }

    int appendRow(); // index of the new row
    // Appends rows, each padded or cut to the column count. Returns the index of the first.
    int appendRows(std::vector<std::vector<std::string>> rows);
    bool setCell(int row, int column, std::string_view text); // false when row/column missing
    const std::string& cell(int row, int column) const;       // "" when missing
    bool deleteRow(int row);
    void clear();
    int findRow(std::string_view text, int start, bool exact) const;

private:
    int m_columns;
    std::vector<std::vector<std::string>> m_rows;
};

} // namespace plendrik::ui
