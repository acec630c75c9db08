#include "web/addresses.h"

#include "common/address.h"

#include <array>

namespace plendrik::web {
namespace {

using app::Config;

constexpr std::array kTable{
    AddressRow{Address::CoursePage, [](const Config& c) { return c.coursePageAddress; }},
    AddressRow{Address::ResourceShare, [](const Config& c) { return c.forumBase + "thread-2792-1-1.html"; }},
    AddressRow{Address::Suggestions, [](const Config& c) { return c.forumBase + "forum-46-1.html"; }},
    AddressRow{Address::DownloadThread, [](const Config& c) { return c.forumBase + "thread-2775-1-1.html"; }},
    AddressRow{Address::SponsorThread, [](const Config& c) { return c.forumBase + "thread-2009-1-1.html"; }},
    AddressRow{Address::RecruitThread, [](const Config& c) { return c.forumBase + "thread-1804-1-1.html"; }},
    AddressRow{Address::FreeTasks, [](const Config& c) { return c.taskSiteBase + "home.php?mod=task"; }},
    AddressRow{Address::SupportContact,
               [](const Config& c) { return "tencent://Message/?uin=" + c.supportContactNumber; }},
    AddressRow{Address::QuestionBoard, [](const Config& c) { return c.forumBase + "forum-40-1.html"; }},
    AddressRow{Address::ForumHome, [](const Config& c) { return c.forumBase; }},
    AddressRow{Address::SecondForumHome, [](const Config& c) { return c.secondForumBase; }},
    AddressRow{Address::DailySignIn,
               [](const Config& c) { return c.forumBase + "plugin.php?id=dsu_paulsign:sign"; }},
    AddressRow{Address::GenuineSponsor,
               [](const Config& c) { return c.secondForumBase + "misc.php?mod=faq&action=faq&id=4"; }},
    AddressRow{Address::VersionFile, [](const Config& c) { return c.resourceServerBase + "update.txt"; }},
};

} // namespace

std::span<const AddressRow> addressTable() {
    return kTable;
}

std::string address(const Config& config, Address id) {
    for (const AddressRow& row : kTable)
        if (row.id == id)
            return row.build(config);
    return {};
}

std::string shareText(const Config& config) {
    return "我目前正在使用Plendrik，使我开发安卓程序更加方便，大家快来试试吧：" +
           address(config, Address::DownloadThread);
}

HyperLink aboutForumLink(const Config& config) {
    return {"ZQ9编程平台：" + std::string(hostPart(config.forumBase)), address(config, Address::ForumHome)};
}

HyperLink aboutSecondForumLink(const Config& config) {
    return {"ZQ9官方论坛：" + std::string(hostPart(config.secondForumBase)) + "/",
            address(config, Address::SecondForumHome)};
}

} // namespace plendrik::web
