// The download page between runs: the restore at start-up, the save at the close button, and the
// clear command.
#include "common/gbk.h"
#include "downloads/download_page.h"
#include "downloads/paths.h"
#include "platform/ini_file.h"
#include "support/page_fixture.h"

#include <gtest/gtest.h>

#include <optional>

namespace plendrik::downloads {
namespace {

using test::PageFixture;
using test::ScratchFolder;
using Rows = std::vector<std::vector<std::string>>;

// --- the saved count ---------------------------------------------------------------------------

struct CountCase {
    const char* text;
    int expected;
};

class RestoreCountTest : public ::testing::TestWithParam<CountCase> {};

TEST_P(RestoreCountTest, truncatesTowardZeroAndCaps) {
    EXPECT_EQ(restoreCount(GetParam().text), GetParam().expected) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(Cases, RestoreCountTest,
                         ::testing::Values(CountCase{"3", 3}, CountCase{"2.9", 2}, CountCase{"0.9", 0},
                                           CountCase{"", 0}, CountCase{"abc", 0}, CountCase{"-2", 0},
                                           CountCase{"-0.5", 0}, CountCase{"3abc", 3}, CountCase{" +4", 4},
                                           CountCase{"1e2", 100}, CountCase{"100000", 100000},
                                           CountCase{"100001", kMaxRestoredRows},
                                           CountCase{"99999999999999999999", kMaxRestoredRows},
                                           CountCase{"1e999", kMaxRestoredRows}, CountCase{"-1e999", 0},
                                           CountCase{"1e-999", 0}, CountCase{"nan", 0},
                                           CountCase{"inf", kMaxRestoredRows}),
                         [](const auto& info) { return "case" + std::to_string(info.index); });

// --- restore -------------------------------------------------------------------------------------

// A saved page in UTF-8: `sections` rows named 名1, 名2 ... and the given count.
std::string savedPage(int sections, std::string_view count) {
    std::string text;
    for (int i = 1; i <= sections; ++i) {
        const std::string n = std::to_string(i);
        text += "[资源表" + n + "]\r\n内容=名" + n + "\r\n大小=" + n + "KB\r\n进度=" + n +
                "KB/0KB\r\n下载状态=未完成\r\n目录=dir" + n + "\r\n";
    }
    text += "[记录1]\r\n记录=" + std::string(count) + "\r\n";
    return text;
}

struct RestoreCase {
    const char* what;
    std::optional<std::string> file; // UTF-8 text, written as GBK; none: no file
    int expectedRows;
};

class RestoreTest : public PageFixture, public ::testing::WithParamInterface<RestoreCase> {};

TEST_P(RestoreTest, restoresTheSavedCountOfRows) {
    const RestoreCase& c = GetParam();
    if (c.file)
        writeIniText(gbk::fromUtf8(*c.file));
    DownloadPage::restore(ctx);
    const Rows rows = ui.rows(kList);
    ASSERT_EQ(static_cast<int>(rows.size()), c.expectedRows) << c.what;
    EXPECT_EQ(state.rowCount, c.expectedRows) << c.what;
    // Rows with a section hold its keys; rows beyond the saved sections are empty.
    for (int i = 0; i < c.expectedRows && i < 5; ++i) {
        const std::string n = std::to_string(i + 1);
        const bool saved = c.file && c.file->find("[资源表" + n + "]") != std::string::npos;
        const std::vector<std::string> expected =
            saved ? std::vector<std::string>{"名" + n, n + "KB", n + "KB/0KB", "未完成", "dir" + n}
                  : std::vector<std::string>(5);
        EXPECT_EQ(rows[static_cast<std::size_t>(i)], expected) << c.what << " row " << i;
    }
    EXPECT_TRUE(ui.messages().empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, RestoreTest,
                         ::testing::Values(RestoreCase{"no file", std::nullopt, 0},
                                           RestoreCase{"count 3 of five sections", savedPage(5, "3"), 3},
                                           RestoreCase{"count 2.9", savedPage(5, "2.9"), 2},
                                           RestoreCase{"not a number", savedPage(5, "many"), 0},
                                           RestoreCase{"empty count", savedPage(5, ""), 0},
                                           RestoreCase{"negative count", savedPage(5, "-3"), 0},
                                           RestoreCase{"count 5 of three sections", savedPage(3, "5"), 5},
                                           RestoreCase{"no count key", "[资源表1]\r\n内容=名1\r\n", 0},
                                           RestoreCase{"a huge count is capped", savedPage(2, "4294967296"),
                                                       kMaxRestoredRows}),
                         [](const auto& info) { return "case" + std::to_string(info.index); });

TEST_F(PageFixture, restoreReadsAFileLaidOutByTheProfileServices) {
    // [资源表1] 内容=安卓 大小=12KB 进度= 下载状态=未完成 [记录1] 记录=1, GBK with CR LF, no folder key.
    writeIniText("[\xD7\xCA\xD4\xB4\xB1\xED\x31]\r\n"
                 "\xC4\xDA\xC8\xDD=\xB0\xB2\xD7\xBF\r\n"
                 "\xB4\xF3\xD0\xA1=12KB\r\n"
                 "\xBD\xF8\xB6\xC8=\r\n"
                 "\xCF\xC2\xD4\xD8\xD7\xB4\xCC\xAC=\xCE\xB4\xCD\xEA\xB3\xC9\r\n"
                 "[\xBC\xC7\xC2\xBC\x31]\r\n"
                 "\xBC\xC7\xC2\xBC=1\r\n");
    DownloadPage::restore(ctx);
    EXPECT_EQ(ui.rows(kList), (Rows{{"安卓", "12KB", "", "未完成", ""}}));
    EXPECT_EQ(state.rowCount, 1);
}

TEST_F(PageFixture, restoreCutsAValueLongerThanTheReadBuffer) {
    std::string longName;
    for (int i = 0; i < 6000; ++i)
        longName += "啊"; // two GBK bytes each
    writeIniText(gbk::fromUtf8("[资源表1]\r\n内容=" + longName + "\r\n大小=x\r\n[记录1]\r\n记录=1\r\n"));
    DownloadPage::restore(ctx);
    const std::string name = ui.cellText(kList, 0, Name);
    EXPECT_EQ(gbk::fromUtf8(name).size(), 10238u) << "10,239 bytes would split a character";
    EXPECT_EQ(name, longName.substr(0, 5119 * std::string("啊").size()));
    EXPECT_EQ(ui.cellText(kList, 0, Size), "x");
}

TEST_F(PageFixture, aRestoredPageGrowsAtItsEnd) {
    writeIniText(gbk::fromUtf8(savedPage(3, "3")));
    DownloadPage::restore(ctx);
    addRow({"新资源", "9KB", "", "未完成", "folder"});
    EXPECT_EQ(names(), (std::vector<std::string>{"名1", "名2", "名3", "新资源"}));
    EXPECT_EQ(ui.rows(kList)[3], (std::vector<std::string>{"新资源", "9KB", "", "未完成", "folder"}));
    EXPECT_EQ(state.rowCount, 4);
}

// --- save at close -------------------------------------------------------------------------------

void expectEndedWithoutTrayIcon(const test::FakeUi& ui) {
    EXPECT_EQ(ui.exitCode(), 0);
    EXPECT_EQ(ui.trayIcon(), "");
    const auto calls = ui.calls();
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[calls.size() - 2], "setTrayIcon  ");
    EXPECT_EQ(calls.back(), "endProgram 0");
}

TEST_F(PageFixture, closeWithAnEmptyPageAsksNothingAndWritesNothing) {
    const std::string earlier = gbk::fromUtf8(savedPage(2, "2"));
    writeIniText(earlier);
    ui.setTrayIcon(ui::WindowId::Main, "program", "tip");
    DownloadPage::saveAndExit(ctx);
    EXPECT_TRUE(ui.messages().empty());
    EXPECT_EQ(ScratchFolder::readBytes(ctx.paths.iniFile), earlier);
    expectEndedWithoutTrayIcon(ui);
}

TEST_F(PageFixture, closeAnsweredNoWritesNothing) {
    const std::string earlier = gbk::fromUtf8(savedPage(2, "2"));
    writeIniText(earlier);
    addRow({"a", "1KB", "", "未完成", "f"});
    ui.answerNext(ui::kAnswerNo);
    DownloadPage::saveAndExit(ctx);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, "是否保存下载页面的资源信息");
    EXPECT_EQ(ui.messages()[0].caption, "保存");
    EXPECT_EQ(ui.messages()[0].buttons, ui::kYesNo);
    EXPECT_EQ(ScratchFolder::readBytes(ctx.paths.iniFile), earlier);
    expectEndedWithoutTrayIcon(ui);
}

TEST_F(PageFixture, closeAnsweredYesWritesEveryRowThenTheCountInOneSave) {
    addRow({"安卓", "12KB", "12KB/12KB", "已下载完毕", "guanfanglicheng"});
    addRow({"b", "", "", "未完成", ""});
    ui.answerNext(ui::kAnswerYes);
    DownloadPage::saveAndExit(ctx);
    const auto calls = ui.calls();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "writeIniEntries 11"), 1);
    EXPECT_EQ(gbk::toUtf8(ScratchFolder::readBytes(ctx.paths.iniFile)),
              "[资源表1]\r\n内容=安卓\r\n大小=12KB\r\n进度=12KB/"
              "12KB\r\n下载状态=已下载完毕\r\n目录=guanfanglicheng\r\n"
              "[资源表2]\r\n内容=b\r\n大小=\r\n进度=\r\n下载状态=未完成\r\n目录=\r\n"
              "[记录1]\r\n记录=2\r\n");
    expectEndedWithoutTrayIcon(ui);
}

TEST_F(PageFixture, aSmallerSaveKeepsTheOldSectionsAndRestoresItsOwnCount) {
    writeIniText(gbk::fromUtf8(savedPage(5, "5")));
    addRow({"x1", "1KB", "", "未完成", "d"});
    addRow({"x2", "2KB", "", "未完成", "d"});
    ui.answerNext(ui::kAnswerYes);
    DownloadPage::saveAndExit(ctx);
    EXPECT_EQ(platform::readIni(ctx.paths.iniFile, "记录1", "记录"), "2");
    EXPECT_EQ(platform::readIni(ctx.paths.iniFile, "资源表5", "内容"), "名5");

    app::AppState nextState;
    test::FakeUi nextUi;
    app::Context next{nextState, nextUi, config, ctx.paths};
    DownloadPage::restore(next);
    EXPECT_EQ(nextUi.rows(kList), (Rows{{"x1", "1KB", "", "未完成", "d"}, {"x2", "2KB", "", "未完成", "d"}}));
    EXPECT_EQ(nextState.rowCount, 2);
}

TEST_F(PageFixture, chineseAndAwkwardCellsSurviveARestart) {
    const Rows page = {{"安卓开发 第1课=入门", "1,024KB", "1,024KB/512KB", "已暂停下载", "shipin"},
                       {"", "", "", "", ""},
                       {"€ and ÿ", "x", "y", "正在下载", "z"}};
    for (const auto& row : page)
        addRow(row);
    ui.answerNext(ui::kAnswerYes);
    DownloadPage::saveAndExit(ctx);

    app::AppState nextState;
    test::FakeUi nextUi;
    app::Context next{nextState, nextUi, config, ctx.paths};
    DownloadPage::restore(next);
    Rows expected = page;
    expected[2][0] = "€ and ?"; // GBK has no ÿ
    EXPECT_EQ(nextUi.rows(kList), expected);
    EXPECT_EQ(nextState.rowCount, 3);
}

TEST_F(PageFixture, aSaveThatFailsHalfWayLeavesTheLastSaveAndStillEnds) {
    const std::string earlier = gbk::fromUtf8(savedPage(3, "3"));
    writeIniText(earlier);
    for (int i = 0; i < 20; ++i)
        addRow({"n" + std::to_string(i), "1KB", "", "未完成", "d"});
    ui.answerNext(ui::kAnswerYes);
    platform::testing::failNextIniSaveAfter(100);
    DownloadPage::saveAndExit(ctx);
    EXPECT_EQ(ScratchFolder::readBytes(ctx.paths.iniFile), earlier);
    expectEndedWithoutTrayIcon(ui);
}

TEST_F(PageFixture, aSaveWhereTheFolderIsAFileStillEnds) {
    ScratchFolder::writeBytes(folder.path("config"), "a file where the folder should be");
    addRow({"a", "1KB", "", "未完成", "d"});
    ui.answerNext(ui::kAnswerYes);
    DownloadPage::saveAndExit(ctx);
    EXPECT_EQ(ScratchFolder::readBytes(folder.path("config")), "a file where the folder should be");
    expectEndedWithoutTrayIcon(ui);
}

// --- clear ---------------------------------------------------------------------------------------

class ClearTest : public PageFixture, public ::testing::WithParamInterface<int> {};

TEST_P(ClearTest, emptiesThePageRemovesTheSaveAndTheFilesOnlyOnYes) {
    const bool yes = GetParam() == ui::kAnswerYes;
    writeIniText(gbk::fromUtf8(savedPage(2, "2")));
    DownloadPage::restore(ctx);
    addRow({"未下载", "1KB", "", "未完成", "d"}); // never downloaded: its deletion fails silently
    makeDownloadFolder();
    for (const char* name : {"名1", "名2"})
        ScratchFolder::writeBytes(zipPath(ctx.paths, name), "zip");
    ScratchFolder::writeBytes(partPath(ctx.paths, "名2"), "part");
    ScratchFolder::writeBytes(ctx.paths.downloadFolder + "/other.zip", "not on the page");

    ui.answerNext(GetParam());
    DownloadPage::clearAll(ctx);

    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, "是否删除所有已下载文件");
    EXPECT_EQ(ui.messages()[0].caption, "清空");
    EXPECT_EQ(ui.messages()[0].buttons, ui::kYesNo);
    EXPECT_EQ(ScratchFolder::exists(zipPath(ctx.paths, "名1")), !yes);
    EXPECT_EQ(ScratchFolder::exists(zipPath(ctx.paths, "名2")), !yes);
    EXPECT_FALSE(ScratchFolder::exists(partPath(ctx.paths, "名2")));
    EXPECT_TRUE(ScratchFolder::exists(ctx.paths.downloadFolder + "/other.zip"));
    EXPECT_FALSE(ScratchFolder::exists(ctx.paths.iniFile));
    EXPECT_EQ(ui.rowCount(kList), 0);
    EXPECT_EQ(state.rowCount, 0);

    // The next start shows an empty page.
    app::AppState nextState;
    test::FakeUi nextUi;
    app::Context next{nextState, nextUi, config, ctx.paths};
    DownloadPage::restore(next);
    EXPECT_EQ(nextUi.rowCount(kList), 0);
}

INSTANTIATE_TEST_SUITE_P(Answers, ClearTest, ::testing::Values(ui::kAnswerYes, ui::kAnswerNo),
                         [](const auto& info) { return info.param == ui::kAnswerYes ? "yes" : "no"; });

} // namespace
} // namespace plendrik::downloads
