// The table of outside addresses: each one from its base, never from a base spelled in the code.
#include "support/app_fixture.h"
#include "web/addresses.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <set>

namespace plendrik::web {
namespace {

TEST(AddressTable, everyRowIsItsBasePlusItsPath) {
    const app::Config config = test::unusualBases();
    const std::map<Address, std::string> expected = {
        {Address::CoursePage, "http://classroom.test/c?id=7"},
        {Address::ResourceShare, "https://bbs.test:8443/q/thread-2792-1-1.html"},
        {Address::Suggestions, "https://bbs.test:8443/q/forum-46-1.html"},
        {Address::DownloadThread, "https://bbs.test:8443/q/thread-2775-1-1.html"},
        {Address::SponsorThread, "https://bbs.test:8443/q/thread-2009-1-1.html"},
        {Address::RecruitThread, "https://bbs.test:8443/q/thread-1804-1-1.html"},
        {Address::FreeTasks, "http://tasks.test/t/home.php?mod=task"},
        {Address::SupportContact, "tencent://Message/?uin=5550123"},
        {Address::QuestionBoard, "https://bbs.test:8443/q/forum-40-1.html"},
        {Address::ForumHome, "https://bbs.test:8443/q/"},
        {Address::SecondForumHome, "http://second.test/w/"},
        {Address::DailySignIn, "https://bbs.test:8443/q/plugin.php?id=dsu_paulsign:sign"},
        {Address::GenuineSponsor, "http://second.test/w/misc.php?mod=faq&action=faq&id=4"},
        {Address::VersionFile, "http://files.test:7001/r/update.txt"},
    };
    std::set<Address> seen;
    for (const AddressRow& row : addressTable()) {
        EXPECT_TRUE(seen.insert(row.id).second) << "row twice: " << static_cast<int>(row.id);
        ASSERT_TRUE(expected.contains(row.id)) << static_cast<int>(row.id);
        EXPECT_EQ(row.build(config), expected.at(row.id));
        EXPECT_EQ(address(config, row.id), expected.at(row.id));
    }
    EXPECT_EQ(seen.size(), expected.size());
}

TEST(AddressTable, shareTextEndsInTheDownloadThreadWithNothingBetween) {
    EXPECT_EQ(shareText(test::unusualBases()), "我目前正在使用Plendrik，使我开发安卓程序更加方便，大家快来试"
                                               "试吧：https://bbs.test:8443/q/thread-2775-1-1.html");
}

TEST(AddressTable, aboutLinksShowHostsAndOpenTheSites) {
    const app::Config config = test::unusualBases();
    const HyperLink first = aboutForumLink(config);
    EXPECT_EQ(first.caption, "ZQ9编程平台：bbs.test:8443");
    EXPECT_EQ(first.address, "https://bbs.test:8443/q/");
    const HyperLink second = aboutSecondForumLink(config);
    EXPECT_EQ(second.caption, "ZQ9官方论坛：second.test/");
    EXPECT_EQ(second.address, "http://second.test/w/");
}

} // namespace
} // namespace plendrik::web
