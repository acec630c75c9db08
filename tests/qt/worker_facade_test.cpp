// Calls from a worker thread: carried out on the user-interface thread in call order, reads see the
// worker's own writes, and a message box blocks only the worker.
#include "qt/qt_fixture.h"
#include "ui/qt/list_model.h"

#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>

#include <atomic>
#include <thread>

namespace plendrik::test {
namespace {

using namespace ui;
using namespace ui::main_window;

struct WorkerFacadeTest : QtFixture {
    // Keeps the user-interface thread turning until the condition holds.
    template <class Done> void spinUntil(Done done) {
        while (!done())
            QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
};

TEST_F(WorkerFacadeTest, manyWrites_landInOrder_andReadsSeeThem) {
    constexpr int kRows = 400;
    std::atomic<bool> done{false};
    std::vector<std::string> readBack;
    int countSeen = -1, appendIndex = -1, foundAt = -2;
    std::thread worker([&] {
        for (int i = 0; i < kRows; ++i) {
            const int row = ui.appendRow(ResourceList);
            ui.setCell(ResourceList, row, 0, "行" + std::to_string(i));
            ui.setCell(ResourceList, row, 1, std::to_string(i) + "KB");
            ui.setProgressPosition(进度条1, i % 100);
        }
        ui.appendRows(ResourceList, {{"批"}});
        ui.deleteRow(ResourceList, 0);
        ui.setMenuItemDisabled(MenuItem::PauseTask, true);
        // Reads right after queued writes see them.
        countSeen = ui.rowCount(ResourceList);
        foundAt = ui.findRow(ResourceList, "批", 0, true);
        for (int r : {0, kRows - 2, kRows - 1})
            readBack.push_back(ui.cellText(ResourceList, r, 0));
        appendIndex = ui.appendRow(DownloadList);
        done = true;
    });
    spinUntil([&] { return done.load(); });
    worker.join();
    QApplication::processEvents();

    EXPECT_EQ(countSeen, kRows);
    EXPECT_EQ(foundAt, kRows - 1);
    EXPECT_EQ(readBack, (std::vector<std::string>{"行1", "行399", "批"}));
    EXPECT_EQ(appendIndex, 0);
    const ListStore& store = ui.listModel(ResourceList)->store();
    for (int r = 0; r < kRows - 1; ++r)
        ASSERT_EQ(store.cell(r, 0), "行" + std::to_string(r + 1)) << r;
    EXPECT_EQ(qobject_cast<QProgressBar*>(ui.widget(进度条1))->value(), (kRows - 1) % 100);
    EXPECT_FALSE(ui.menu(Menu::表)->actions().at(2)->isEnabled());
}

struct BoxCase {
    int buttons;
    std::optional<std::string> caption;
    const char* press; // the button the user clicks
    int answer;
    std::string shownCaption;
    bool icon;
};

class WorkerMessageBoxTest : public WorkerFacadeTest, public ::testing::WithParamInterface<BoxCase> {};

TEST_P(WorkerMessageBoxTest, blocksOnlyTheWorker_theAnswerReachesIt) {
    const BoxCase& c = GetParam();
    std::atomic<int> answer{-1};
    std::thread worker([&] {
        answer = c.caption ? ui.messageBox("有新版本", c.buttons, *c.caption)
                           : ui.messageBox("有新版本", c.buttons, {});
    });

    QMessageBox* box = nullptr;
    spinUntil([&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* b = qobject_cast<QMessageBox*>(w); b && b->isVisible())
                box = b;
        return box != nullptr;
    });
    // The windows stay usable: no modal box, the main window takes input, posted work still runs.
    EXPECT_EQ(box->windowModality(), Qt::NonModal);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(ui.window(WindowId::Main)->isEnabled());
    bool posted = false;
    ui.post([&] { posted = true; });
    spinUntil([&] { return posted; });
    ui.appendRow(DownloadList);
    EXPECT_EQ(ui.rowCount(DownloadList), 1);
    EXPECT_EQ(answer.load(), -1);

    EXPECT_EQ(box->windowTitle().toStdString(), c.shownCaption);
    EXPECT_EQ(box->text(), "有新版本");
    EXPECT_EQ(box->icon() == QMessageBox::Information, c.icon);
    QPushButton* press = nullptr;
    QStringList texts;
    for (QAbstractButton* b : box->buttons()) {
        texts << b->text();
        if (b->text() == QString::fromUtf8(c.press))
            press = qobject_cast<QPushButton*>(b);
    }
    ASSERT_NE(press, nullptr) << texts.join(",").toStdString();
    press->click();
    spinUntil([&] { return answer.load() != -1; });
    worker.join();
    EXPECT_EQ(answer.load(), c.answer);
}

INSTANTIATE_TEST_SUITE_P(Boxes, WorkerMessageBoxTest,
                         ::testing::Values(BoxCase{kYesNo + kInformationIcon, "更新", "是", kAnswerYes,
                                                   "更新", true},
                                           BoxCase{kYesNo, "更新", "否", kAnswerNo, "更新", false},
                                           BoxCase{kOk, std::nullopt, "确定", kAnswerOk, "信息：", false}));

TEST_F(WorkerFacadeTest, aWaitingWorker_isReleasedWhenTheProgramEnds) {
    std::atomic<int> answer{-1};
    std::thread worker([&] { answer = ui.messageBox("还在等", kYesNo, {}); });
    spinUntil([&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<QMessageBox*>(w) && w->isVisible())
                return true;
        return false;
    });
    ui.endProgram(0);
    worker.join(); // would hang if the worker kept waiting
    EXPECT_EQ(answer.load(), kAnswerNo);
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<QMessageBox*>(w))
            w->close();
}

} // namespace
} // namespace plendrik::test
