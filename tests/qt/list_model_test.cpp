// The list rules on the real model and view: findRow, missing rows, batched appends, selection.
#include "qt/qt_fixture.h"
#include "ui/qt/list_model.h"

#include <QSignalSpy>
#include <QTest>
#include <QTreeView>

namespace plendrik::test {
namespace {

using namespace ui;
using namespace ui::main_window;

using ListModelTest = QtFixture;

TEST_F(ListModelTest, findRow_table) {
    ui.appendRows(ResourceList, {{"AB"}, {"abc"}, {"中文ab"}, {"ab"}});
    struct Case {
        const char* text;
        int start;
        bool exact;
        int expected;
    };
    const Case cases[] = {
        {"ab", 0, true, 0},   // Latin letters without case: "AB" is an exact match
        {"ab", 1, true, 3},   // "abc" is not exact
        {"ab", 1, false, 1},  // but it begins with "ab"
        {"ab", -5, false, 0}, // a negative start counts as 0
        {"ab", 4, false, -1}, // start equal to the row count
        {"中文", 0, false, 2}, {"中文AB", 0, true, 2}, {"zz", 0, false, -1}, {"ab", 3, true, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " from " + std::to_string(c.start));
        EXPECT_EQ(ui.findRow(ResourceList, c.text, c.start, c.exact), c.expected);
    }
}

TEST_F(ListModelTest, missingRowsAndColumns_readEmpty_writesAndDeletesIgnored) {
    EXPECT_EQ(ui.appendRow(DownloadList), 0);
    ui.setCell(DownloadList, 0, 4, "folder");
    ui.setCell(DownloadList, 1, 0, "nowhere");
    ui.setCell(DownloadList, 0, 5, "nowhere");
    EXPECT_EQ(ui.cellText(DownloadList, 0, 4), "folder");
    EXPECT_EQ(ui.cellText(DownloadList, -1, 0), "");
    EXPECT_EQ(ui.cellText(DownloadList, 1, 0), "");
    EXPECT_EQ(ui.cellText(DownloadList, 0, 9), "");
    ui.deleteRow(DownloadList, -1);
    ui.deleteRow(DownloadList, 1);
    EXPECT_EQ(ui.rowCount(DownloadList), 1);
    EXPECT_EQ(ui.appendRow(DownloadList), 1);
    ui.setCell(DownloadList, 1, 0, "second");
    ui.deleteRow(DownloadList, 0);
    EXPECT_EQ(ui.cellText(DownloadList, 0, 0), "second"); // later rows move up
    ui.deleteAllRows(DownloadList);
    EXPECT_EQ(ui.rowCount(DownloadList), 0);
}

TEST_F(ListModelTest, appendRows_isOneInsert_shortRowsPadded) {
    qt::ListModel* model = ui.listModel(ResourceList);
    ASSERT_NE(model, nullptr);
    ui.appendRow(ResourceList);
    QSignalSpy inserts(model, &QAbstractItemModel::rowsInserted);
    std::vector<Row> rows(1000, Row{"名", "12KB"});
    rows.push_back({"a", "b", "c", "d", "cut"});
    ui.appendRows(ResourceList, std::move(rows));
    ASSERT_EQ(inserts.count(), 1);
    EXPECT_EQ(inserts.at(0).at(1).toInt(), 1);
    EXPECT_EQ(inserts.at(0).at(2).toInt(), 1001);
    EXPECT_EQ(ui.rowCount(ResourceList), 1002);
    EXPECT_EQ(ui.cellText(ResourceList, 1, 1), "12KB");
    EXPECT_EQ(ui.cellText(ResourceList, 1, 3), "");
    EXPECT_EQ(ui.cellText(ResourceList, 1001, 3), "d");
    EXPECT_EQ(model->columnCount(), 4);
}

// The runner rewrites the progress cell every tick; an unchanged text must not cost a repaint.
TEST_F(ListModelTest, setCell_announcesChangesOnly) {
    qt::ListModel* model = ui.listModel(DownloadList);
    ASSERT_NE(model, nullptr);
    ui.appendRows(DownloadList, {{"一", "8KB", "8KB/0KB"}});
    QSignalSpy changes(model, &QAbstractItemModel::dataChanged);
    struct Case {
        int row, column;
        const char* text;
        int announced;
    };
    const Case cases[] = {
        {0, 2, "8KB/0KB", 0},                 // the text it has
        {0, 2, "8KB/4KB", 1},                 // a new text
        {0, 2, "8KB/4KB", 0},                 // and again unchanged
        {0, 3, "", 0},                        // an empty cell set empty
        {0, 3, "正在下载", 1}, {1, 2, "", 0}, // a missing row
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.row) + "," + std::to_string(c.column) + " " + c.text);
        changes.clear();
        ui.setCell(DownloadList, c.row, c.column, c.text);
        ASSERT_EQ(changes.count(), c.announced);
        if (c.announced) {
            EXPECT_EQ(changes.at(0).at(0).toModelIndex(), model->index(c.row, c.column));
        }
        EXPECT_EQ(ui.cellText(DownloadList, c.row, c.column), c.row == 0 ? c.text : "");
    }
}

TEST_F(ListModelTest, selectedRow_wholeRowOnResources_firstCellOnlyOnDownloads) {
    ui.appendRows(ResourceList, {{"一"}, {"二"}});
    ui.appendRows(DownloadList, {{"一"}, {"二"}, {"三"}});
    EXPECT_EQ(ui.selectedRow(DownloadList), -1);

    auto* downloads = qobject_cast<QTreeView*>(ui.widget(DownloadList));
    // A press on the state cell of row 2 selects that row's first cell only.
    const QRect stateCell = downloads->visualRect(downloads->model()->index(2, 3));
    QTest::mouseClick(downloads->viewport(), Qt::LeftButton, {}, stateCell.center());
    EXPECT_EQ(ui.selectedRow(DownloadList), 2);
    const QModelIndexList selected = downloads->selectionModel()->selectedIndexes();
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected.front().column(), 0);

    ui.deleteRow(DownloadList, 2); // the selection goes with its row
    EXPECT_EQ(ui.selectedRow(DownloadList), -1);

    // The resource list lies beneath; show it to click on it.
    ui.setControlTop(DownloadList, 536);
    auto* resources = qobject_cast<QTreeView*>(ui.widget(ResourceList));
    const QRect cell = resources->visualRect(resources->model()->index(1, 2));
    QTest::mouseClick(resources->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(ui.selectedRow(ResourceList), 1);
    EXPECT_EQ(resources->selectionModel()->selectedRows().size(), 1);
}

} // namespace
} // namespace plendrik::test
