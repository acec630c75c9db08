// The INI file on disk: reads through the 10,240-byte buffer, sees changes made behind its back,
// and saves atomically.
#include "common/gbk.h"
#include "platform/ini_file.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

namespace plendrik::platform {
namespace {

using test::ScratchFolder;

struct IniFileTest : ::testing::Test {
    ScratchFolder folder;
    std::string file = folder.path("情况.ini");

    std::vector<std::string> filesInFolder() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(ScratchFolder::fsPath(folder.path())))
            names.push_back(e.path().filename().string());
        return names;
    }
};

TEST_F(IniFileTest, missingFileSectionOrKeyReadsEmpty) {
    EXPECT_EQ(readIni(file, "记录1", "记录"), "");
    ScratchFolder::writeBytes(file, "[a]\r\nk=1\r\n");
    EXPECT_EQ(readIni(file, "b", "k"), "");
    EXPECT_EQ(readIni(file, "a", "j"), "");
    EXPECT_EQ(readIni(file, "A", "K"), "1");
}

struct LimitCase {
    const char* what;
    std::string gbkValue;
    std::size_t expectedGbkBytes;
};

class IniReadLimitTest : public IniFileTest, public ::testing::WithParamInterface<LimitCase> {};

TEST_P(IniReadLimitTest, valueIsCutToTheBufferOnACharacterBoundary) {
    const LimitCase& c = GetParam();
    ScratchFolder::writeBytes(file, "[s]\r\nk=" + c.gbkValue + "\r\n");
    const std::string read = gbk::fromUtf8(readIni(file, "s", "k"));
    EXPECT_EQ(read.size(), c.expectedGbkBytes) << c.what;
    EXPECT_EQ(read, c.gbkValue.substr(0, c.expectedGbkBytes)) << c.what;
}

std::string repeat(std::string_view piece, int times) {
    std::string out;
    for (int i = 0; i < times; ++i)
        out += piece;
    return out;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IniReadLimitTest,
    ::testing::Values(LimitCase{"ASCII exactly at the limit", std::string(10239, 'a'), 10239},
                      LimitCase{"ASCII one over", std::string(10240, 'a'), 10239},
                      LimitCase{"double-byte text ends one short", repeat("\xB0\xA1", 5200), 10238},
                      LimitCase{"odd start, double-byte text fits exactly", "a" + repeat("\xB0\xA1", 5200),
                                10239},
                      // 0x80 is one character (the euro sign): what follows stays aligned.
                      LimitCase{"a single-byte 0x80 first", "\x80" + repeat("\xB0\xA1", 5200), 10239},
                      LimitCase{"a short value is whole", "\xB0\xA1xyz", 5}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST_F(IniFileTest, manyKeysAreReadInTheOrderAskedAsSingleReadsGiveThem) {
    const std::vector<IniKey> keys = {
        {"b", "k"}, {"A", "K"}, {"a", "missing"}, {"missing", "k"}, {"b", "long"}};
    EXPECT_EQ(readIniEntries(file, keys), std::vector<std::string>(5)) << "no file";
    ScratchFolder::writeBytes(file, "[a]\r\nk=1\r\n[b]\r\nk= 2 \r\nlong=" + std::string(20000, 'x') + "\r\n");
    const std::vector<std::string> values = readIniEntries(file, keys);
    ASSERT_EQ(values.size(), keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i)
        EXPECT_EQ(values[i], readIni(file, keys[i].section, keys[i].key)) << i;
    EXPECT_EQ((std::vector<std::string>(values.begin(), values.begin() + 4)),
              (std::vector<std::string>{"2", "1", "", ""}));
    EXPECT_EQ(values[4].size(), kIniReadBuffer - 1);
}

TEST_F(IniFileTest, writeIniCreatesFolderAndFileInGbk) {
    const std::string nested = folder.path("Plendrik/情况.ini");
    ASSERT_TRUE(writeIni(nested, "资源表1", "内容", "安卓"));
    EXPECT_EQ(ScratchFolder::readBytes(nested),
              "[\xD7\xCA\xD4\xB4\xB1\xED\x31]\r\n\xC4\xDA\xC8\xDD=\xB0\xB2\xD7\xBF\r\n");
    EXPECT_EQ(readIni(nested, "资源表1", "内容"), "安卓");
}

TEST_F(IniFileTest, readsSeeChangesMadeByOthers) {
    ScratchFolder::writeBytes(file, "[s]\r\nk=1\r\n");
    EXPECT_EQ(readIni(file, "s", "k"), "1");
    // Same size, written in place; the modification time says it changed.
    ScratchFolder::writeBytes(file, "[s]\r\nk=2\r\n");
    const auto path = ScratchFolder::fsPath(file);
    std::filesystem::last_write_time(path, std::filesystem::last_write_time(path) + std::chrono::seconds(2));
    EXPECT_EQ(readIni(file, "s", "k"), "2");
    // Replaced by another file.
    ScratchFolder::writeBytes(file + ".other", "[s]\r\nk=3\r\n");
    std::filesystem::rename(ScratchFolder::fsPath(file + ".other"), path);
    EXPECT_EQ(readIni(file, "s", "k"), "3");
    std::filesystem::remove(path);
    EXPECT_EQ(readIni(file, "s", "k"), "");
    // Our own save is seen at once.
    ASSERT_TRUE(writeIni(file, "s", "k", "4"));
    EXPECT_EQ(readIni(file, "s", "k"), "4");
}

TEST_F(IniFileTest, saveKeepsWhatItDoesNotNameAndLeavesNoTemporaryFile) {
    ScratchFolder::writeBytes(
        file, gbk::fromUtf8("; comment\r\n[资源表1]\r\n内容=old\r\n[资源表9]\r\n内容=nine\r\n"));
    ASSERT_TRUE(
        writeIniEntries(file, {{"资源表1", "内容", "new"}, {"资源表1", "大小", ""}, {"记录1", "记录", "1"}}));
    EXPECT_EQ(
        gbk::toUtf8(ScratchFolder::readBytes(file)),
        "; comment\r\n[资源表1]\r\n内容=new\r\n大小=\r\n[资源表9]\r\n内容=nine\r\n[记录1]\r\n记录=1\r\n");
    EXPECT_EQ(filesInFolder(), std::vector<std::string>{"情况.ini"});
}

TEST_F(IniFileTest, aSaveThatFailsHalfWayLeavesTheOldFileWhole) {
    const std::string old = gbk::fromUtf8("[资源表1]\r\n内容=old\r\n[记录1]\r\n记录=1\r\n");
    ScratchFolder::writeBytes(file, old);
    EXPECT_EQ(readIni(file, "资源表1", "内容"), "old");
    std::vector<IniEntry> entries;
    for (int i = 1; i <= 50; ++i)
        entries.push_back({"资源表" + std::to_string(i), "内容", "new" + std::to_string(i)});
    testing::failNextIniSaveAfter(40);
    EXPECT_FALSE(writeIniEntries(file, entries));
    EXPECT_EQ(ScratchFolder::readBytes(file), old);
    EXPECT_EQ(readIni(file, "资源表1", "内容"), "old");
    EXPECT_EQ(filesInFolder(), std::vector<std::string>{"情况.ini"});
    // The fault was for one save only.
    EXPECT_TRUE(writeIniEntries(file, entries));
    EXPECT_EQ(readIni(file, "资源表50", "内容"), "new50");
}

TEST_F(IniFileTest, saveFailsWhereNoFileCanBeWritten) {
    // A folder in the way of the file's folder, and a folder where the file should be.
    ScratchFolder::writeBytes(folder.path("blocker"), "not a folder");
    EXPECT_FALSE(writeIni(folder.path("blocker/情况.ini"), "s", "k", "v"));
    std::filesystem::create_directory(ScratchFolder::fsPath(file));
    EXPECT_FALSE(writeIni(file, "s", "k", "v"));
    EXPECT_FALSE(writeIni("", "s", "k", "v"));
    EXPECT_EQ(readIni(file, "s", "k"), "");
}

TEST_F(IniFileTest, readsAndSavesFromSeveralThreadsAtOnce) {
    ASSERT_TRUE(writeIni(file, "s", "k", "0"));
    std::vector<std::thread> threads;
    std::atomic<int> badReads{0};
    for (int t = 0; t < 3; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 200; ++i) {
                const std::string v = readIni(file, "s", "k");
                if (v.empty() || v.find_first_not_of("0123456789") != std::string::npos)
                    ++badReads;
            }
        });
    for (int i = 1; i <= 50; ++i)
        ASSERT_TRUE(writeIni(file, "s", "k", std::to_string(i)));
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(badReads, 0) << "a reader saw a half-written file";
    EXPECT_EQ(readIni(file, "s", "k"), "50");
}

} // namespace
} // namespace plendrik::platform
