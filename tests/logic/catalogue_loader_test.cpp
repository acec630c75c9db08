// Loading a category: the tree's double-click, the catalogue format through the real fetch against
// the loopback sample server, failures, and loads that overlap.
#include "app/module_events.h"
#include "app/view.h"
#include "catalogue/category.h"
#include "catalogue/loader.h"
#include "common/gbk.h"
#include "sample_server.h"
#include "support/fake_ui.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <future>
#include <string>
#include <thread>

namespace plendrik::catalogue {
namespace {

using namespace ui::main_window;
using Rows = std::vector<std::vector<std::string>>;

std::string gbkOf(std::string_view utf8) {
    return gbk::fromUtf8(utf8);
}

struct CatalogueFixture : ::testing::Test {
    app::AppState state;
    test::FakeUi ui;
    app::Config config{"http://127.0.0.1:1/files/", "", "", "", "", ""};
    app::Context ctx{state, ui, config, {}};

    bool event(ui::EventKind kind, const ui::Control& control) {
        ui::UiEvent e;
        e.kind = kind;
        e.control = control;
        return handleCatalogueEvent(ctx, e);
    }
    void doubleClickTree(int item) {
        ui.setSelectedTreeItem(树型框1, item);
        EXPECT_TRUE(event(ui::EventKind::TreeDoubleClicked, 树型框1));
    }
    std::vector<std::string> fetched() const {
        std::vector<std::string> out;
        for (const std::string& call : ui.calls())
            if (call.rfind("httpGet ", 0) == 0)
                out.push_back(call.substr(8));
        return out;
    }
    void fillResourceList(int rows) {
        for (int r = 0; r < rows; ++r)
            ui.appendRows(ResourceList, {{"old" + std::to_string(r), "1KB", "d", "n"}});
    }
};

// --- the catalogue format, through the real fetch -------------------------------------------------

struct FormatCase {
    const char* what;
    std::string body;
    Rows expected;
};

void PrintTo(const FormatCase& c, std::ostream* os) {
    *os << c.what;
}

class CatalogueFormat : public CatalogueFixture, public ::testing::WithParamInterface<FormatCase> {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.start(0));
        config.resourceServerBase = server.resourceServerBase();
    }
    sample::SampleServer server;
};

TEST_P(CatalogueFormat, fillsTheResourceListWithOneRowPerWholeLine) {
    const FormatCase& c = GetParam();
    server.addFile("/files/guanfanglicheng/123.txt", c.body);
    fillResourceList(3); // a load replaces whatever the list held
    doubleClickTree(5);
    ui.joinThreads();
    EXPECT_EQ(ui.rows(ResourceList), c.expected) << c.what;
    EXPECT_TRUE(ui.messages().empty()) << c.what;
    EXPECT_EQ(fetched(), std::vector<std::string>{server.resourceServerBase() + "guanfanglicheng/123.txt"});
}

INSTANTIATE_TEST_SUITE_P(
    Lines, CatalogueFormat,
    ::testing::Values(
        FormatCase{"a final CR LF adds no row",
                   gbkOf("a.jar|10|2014-05-01|说明\r\nb.zip|20|2014-05-02|备注\r\n"),
                   {{"a.jar", "10KB", "2014-05-01", "说明"}, {"b.zip", "20KB", "2014-05-02", "备注"}}},
        FormatCase{"one line without CR LF", "a.jar|10|d|n", {{"a.jar", "10KB", "d", "n"}}},
        FormatCase{"a fifth field is ignored",
                   "name|1024|2014-05-01|note|extra",
                   {{"name", "1024KB", "2014-05-01", "note"}}},
        FormatCase{"an empty size field", "name||date|note", {{"name", "KB", "date", "note"}}},
        FormatCase{"a lone LF stays in the field",
                   "a\nb|1|d|n\r\nc|2|d|n",
                   {{"a\nb", "1KB", "d", "n"}, {"c", "2KB", "d", "n"}}},
        FormatCase{"the text ends at a zero byte",
                   std::string("a|1|d|n\r\nb|2|d|n\0\r\nc|3|d|n", 25),
                   {{"a", "1KB", "d", "n"}, {"b", "2KB", "d", "n"}}},
        FormatCase{"short and blank lines are skipped, the rest loads",
                   "a|1|d|n\r\n\r\nshort|1|d\r\nb|2|d|n\r\n\r\n",
                   {{"a", "1KB", "d", "n"}, {"b", "2KB", "d", "n"}}},
        FormatCase{
            "an empty last field needs its own separator", "a|1|d|\r\nb|2|d||\r\n", {{"b", "2KB", "d", ""}}},
        FormatCase{"GBK with a second byte 0x7C in the name",
                   gbkOf("亅字.jar|5|2014年|中文说明\r\n"),
                   {{"亅字.jar", "5KB", "2014年", "中文说明"}}},
        FormatCase{"more rows than one batch",
                   [] {
                       std::string body;
                       for (std::size_t i = 0; i < kCatalogueBatchRows + 7; ++i)
                           body += "r" + std::to_string(i) + "|1|d|n\r\n";
                       return body;
                   }(),
                   [] {
                       Rows rows;
                       for (std::size_t i = 0; i < kCatalogueBatchRows + 7; ++i)
                           rows.push_back({"r" + std::to_string(i), "1KB", "d", "n"});
                       return rows;
                   }()}));

// --- failed fetches --------------------------------------------------------------------------------

struct FailureCase {
    const char* what;
    int status; // 0: no server at all
    std::string body;
};

void PrintTo(const FailureCase& c, std::ostream* os) {
    *os << c.what;
}

class CatalogueFailure : public CatalogueFixture, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(CatalogueFailure, saysSoOnceAndLeavesTheListEmpty) {
    const FailureCase& c = GetParam();
    sample::SampleServer server;
    if (c.status != 0) {
        ASSERT_TRUE(server.start(0));
        config.resourceServerBase = server.resourceServerBase();
        server.addFile("/files/jar/123.txt", c.body, c.status);
    }
    fillResourceList(2);
    doubleClickTree(3);
    ui.joinThreads();
    EXPECT_TRUE(ui.rows(ResourceList).empty()) << c.what;
    ASSERT_EQ(ui.messages().size(), 1u) << c.what;
    const test::ShownMessage m = ui.messages()[0];
    EXPECT_EQ(m.text, "系统无响应，请重新加载");
    EXPECT_EQ(m.buttons, ui::kOk);
    EXPECT_EQ(m.caption, "信息：");
    EXPECT_TRUE(m.fromWorker); // the windows stay usable meanwhile
}

INSTANTIATE_TEST_SUITE_P(Fetches, CatalogueFailure,
                         ::testing::Values(FailureCase{"an error page is no catalogue", 404,
                                                       "<html>a|b|c|d\r\nno such file</html>"},
                                           FailureCase{"a server error", 500, "x|1|d|n\r\n"},
                                           FailureCase{"an empty file", 200, ""},
                                           FailureCase{"a file that starts with a zero byte", 200,
                                                       std::string("\0a|1|d|n", 8)},
                                           FailureCase{"an unreachable server", 0, ""}));

// --- the tree -------------------------------------------------------------------------------------

TEST_F(CatalogueFixture, eachCategoryLoadsItsOwnCatalogue) {
    for (const Category& category : categories()) {
        ui.clearLog();
        ui.setHttpGet([](std::string_view) { return std::string("n|1|d|x\r\n"); });
        doubleClickTree(category.treeIndex);
        ui.joinThreads();
        EXPECT_EQ(fetched(), std::vector<std::string>{config.resourceServerBase +
                                                      std::string(category.folder) + "/123.txt"});
        EXPECT_EQ(ui.checkedToolbarButton(工具条1), 2);
        EXPECT_EQ(ui.controlRect(DownloadList).top, app::kHiddenDownloadListTop); // the resource list shows
        EXPECT_EQ(ui.rows(ResourceList), (Rows{{"n", "1KB", "d", "x"}}));
    }
}

TEST_F(CatalogueFixture, itemZeroShowsTheDownloadPageAndFetchesNothing) {
    fillResourceList(2);
    ui.setControlRect(DownloadList, {0, app::kHiddenDownloadListTop, 10, 10});
    doubleClickTree(0);
    ui.joinThreads();
    EXPECT_EQ(ui.checkedToolbarButton(工具条1), 0);
    EXPECT_EQ(ui.controlRect(DownloadList), ui.controlRect(ResourceList));
    EXPECT_TRUE(fetched().empty());
    EXPECT_EQ(ui.rows(ResourceList).size(), 2u);
}

TEST_F(CatalogueFixture, itemOneOpensOneForumWindow) {
    fillResourceList(2);
    ui.checkToolbarButton(工具条1, 2);
    doubleClickTree(1);
    doubleClickTree(1);
    std::vector<std::string> windowCalls;
    for (const std::string& call : ui.calls())
        if (call.find("Window ") != std::string::npos)
            windowCalls.push_back(call);
    const std::string forum = std::to_string(static_cast<int>(ui::WindowId::Forum));
    EXPECT_EQ(windowCalls, (std::vector<std::string>{"loadWindow " + forum, "activateWindow " + forum}));
    EXPECT_EQ(ui.checkedToolbarButton(工具条1), 2);
    EXPECT_EQ(ui.rows(ResourceList).size(), 2u);
}

TEST_F(CatalogueFixture, parentItemsAndNoSelectionDoNothing) {
    fillResourceList(2);
    for (int item : {2, 4, 7, 9, 12, -1, 15}) {
        ui.clearLog();
        doubleClickTree(item);
        ui.joinThreads();
        EXPECT_TRUE(ui.calls().empty()) << "item " << item;
        EXPECT_EQ(ui.rows(ResourceList).size(), 2u) << "item " << item;
    }
}

TEST_F(CatalogueFixture, theTreeOfAnotherWindowIsNotOurs) {
    ui::UiEvent e;
    e.kind = ui::EventKind::TreeDoubleClicked;
    e.control = ui::video_window::树型框1;
    EXPECT_FALSE(handleCatalogueEvent(ctx, e));
}

// --- overlapping loads ----------------------------------------------------------------------------

// A fetch that waits until the test lets it answer.
class Gate {
public:
    std::string wait(std::string body) {
        std::unique_lock lock(m_mutex);
        m_entered = true;
        m_changed.notify_all();
        m_changed.wait(lock, [&] { return m_open; });
        return body;
    }
    void waitEntered() {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return m_entered; });
    }
    void open() {
        std::lock_guard lock(m_mutex);
        m_open = true;
        m_changed.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_entered = false, m_open = false;
};

struct OverlapFixture : CatalogueFixture {
    Gate older;
    const std::string olderBody = "old1|1|d|n\r\nold2|2|d|n\r\n";
    const std::string newerBody = "new1|1|d|n\r\n";
    const Rows newerRows{{"new1", "1KB", "d", "n"}};

    void serve(std::string olderAnswer) {
        ui.setHttpGet([this, olderAnswer](std::string_view address) {
            if (address.find("/jar/") != std::string_view::npos)
                return older.wait(olderAnswer);
            return newerBody;
        });
    }
};

// An older load that answers after a newer one started, with rows or with a failure (an empty
// body), adds no rows and shows no message.
class LateOlderLoad : public OverlapFixture, public ::testing::WithParamInterface<bool> {};

TEST_P(LateOlderLoad, changesNothingAndSaysNothing) {
    const bool olderFails = GetParam();
    serve(olderFails ? "" : olderBody);
    doubleClickTree(3);
    older.waitEntered();
    doubleClickTree(5);
    older.open();
    ui.joinThreads();
    EXPECT_EQ(ui.rows(ResourceList), newerRows);
    EXPECT_TRUE(ui.messages().empty());
}

INSTANTIATE_TEST_SUITE_P(Answers, LateOlderLoad, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "failing" : "withRows"; });

TEST_F(OverlapFixture, rowsAnOlderLoadAlreadySentAreDroppedWhenANewerStarts) {
    serve(olderBody);
    older.open();
    doubleClickTree(3);
    // the older load has handed over its rows, but the user-interface thread has not taken them yet
    while (ui.pendingPosts() == 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    doubleClickTree(5);
    ui.joinThreads();
    EXPECT_EQ(ui.rows(ResourceList), newerRows);
}

TEST_F(OverlapFixture, theSameCategoryAgainRebuildsTheList) {
    ui.setHttpGet([this](std::string_view) { return newerBody; });
    doubleClickTree(5);
    doubleClickTree(5);
    ui.joinThreads();
    EXPECT_EQ(ui.rows(ResourceList), newerRows);
}

} // namespace
} // namespace plendrik::catalogue
