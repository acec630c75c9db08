// Every address outside the program that it shows or opens: a configuration base plus a fixed
// path, built in one place so that no command spells a path of its own.
#pragma once

#include "app/context.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace plendrik::web {

enum class Address : std::uint8_t {
    CoursePage,      // main page 1 browser, main toolbar "课程培训"
    ResourceShare,   // main toolbar "资源分享"
    Suggestions,     // main toolbar "软件建议"
    DownloadThread,  // end of the share text; the update check and "检测更新"
    SponsorThread,   // main toolbar "论坛赞助", tray "赞助论坛"
    RecruitThread,   // tray "人才应聘", video toolbar "讲师招聘"
    FreeTasks,       // tray "免费任务"
    SupportContact,  // tray "联系客服", handed to the desktop
    QuestionBoard,   // the forum window's browser
    ForumHome,       // video toolbar "官方论坛", about window's first link
    SecondForumHome, // about window's second link
    DailySignIn,     // video toolbar "每日签到"
    GenuineSponsor,  // video toolbar "ZQ9正版赞助"
    VersionFile,     // the update check's version file on the file server
};

struct AddressRow {
    Address id;
    std::string (*build)(const app::Config&);
};

std::span<const AddressRow> addressTable();
std::string address(const app::Config& config, Address id);

// The recommendation text that the main toolbar copies to the clipboard.
std::string shareText(const app::Config& config);

// The about window's two hyperlinks: the caption shown and the address a click opens.
struct HyperLink {
    std::string caption;
    std::string address;
};
HyperLink aboutForumLink(const app::Config& config);
HyperLink aboutSecondForumLink(const app::Config& config);

} // namespace plendrik::web
