#include "ui/layouts.h"

#include "common/address.h"
#include "web/addresses.h"

namespace plendrik::ui {
namespace {

ControlSpec control(std::string name, ControlKind kind, Rect place, std::string text = {}) {
    ControlSpec spec;
    spec.name = std::move(name);
    spec.kind = kind;
    spec.place = place;
    spec.text = std::move(text);
    return spec;
}

ControlSpec onPage(ControlSpec spec, std::string parent, int page) {
    spec.parent = std::move(parent);
    spec.page = page;
    return spec;
}

ControlSpec picture(std::string name, Rect place, std::string pictureName, bool enabled = true) {
    ControlSpec spec = control(std::move(name), ControlKind::PictureButton, place);
    spec.picture = std::move(pictureName);
    spec.enabled = enabled;
    return spec;
}

ControlSpec hidden(ControlSpec spec) {
    spec.visible = false;
    return spec;
}

// The three small buttons standing in for the system's caption buttons.
void addTitleButtons(std::vector<ControlSpec>& controls, int left, int top) {
    controls.push_back(picture("图形按钮3", {left, top, 29, 18}, "title_minimise"));
    controls.push_back(picture("图形按钮4", {left + 29, top, 29, 18}, "title_maximise_disabled", false));
    controls.push_back(picture("图形按钮2", {left + 58, top, 29, 18}, "title_close"));
}

ControlSpec titleLabel(Rect place, std::string text, int pixelSize) {
    ControlSpec spec = control("透明标签1", ControlKind::TransparentLabel, place, std::move(text));
    spec.font = FontSpec{kaiFamilies(), pixelSize, true};
    return spec;
}

ControlSpec list(std::string name, Rect place, std::vector<ColumnSpec> columns, bool wholeRow) {
    ControlSpec spec = control(std::move(name), ControlKind::List, place);
    spec.columns = std::move(columns);
    spec.wholeRowSelection = wholeRow;
    return spec;
}

ControlSpec tree(Rect place, std::vector<TreeItemSpec> items) {
    ControlSpec spec = control("树型框1", ControlKind::Tree, place);
    spec.treeItems = std::move(items);
    return spec;
}

std::string mainAddressLabel(const app::Config& config) {
    return "官方网站：" + std::string(withoutTrailingSlash(config.forumBase));
}

WindowLayout mainLayout(const app::Config& config) {
    WindowLayout w{WindowId::Main, "Plendrik V2.5", 860, 540, FrameKind::Frameless, "background", {}};
    auto& c = w.controls;
    c.push_back(titleLabel({18, 6, 224, 24}, "(ZQ9)Plendrik V2.5", 19));
    addTitleButtons(c, 772, 1);

    ControlSpec toolbar = control("工具条1", ControlKind::Toolbar, {11, 38, 592, 89});
    toolbar.toolbarIconSize = 64;
    // Button, image list index, caption, tip; buttons 0 to 2 are the view group.
    toolbar.buttons = {
        {3, "toolbar_3", "下载页面", "腾讯课堂大量免费公开课进行IT培训", true},
        {6, "toolbar_6", "课程培训", "系统软件 - 首页介绍", true},
        {7, "toolbar_7", "ZQ9资源", "聚集精品资源", true},
        {2, "toolbar_2", "资源分享", "享受分享快乐，分享精品资源", false},
        {1, "toolbar_1", "软件建议", "论坛与软件的问题反馈", false},
        {0, "toolbar_0", "Kessik推广", "将软件推广喜爱编程的朋友", false},
        {5, "toolbar_5", "论坛赞助", "支持赞助论坛的发展", false},
        {4, "toolbar_4", "视频教育", "在线视频教学社区", false},
    };
    c.push_back(std::move(toolbar));

    ControlSpec pages = control("选择夹1", ControlKind::Pages, {7, 133, 847, 385});
    pages.pageCaptions = {"一", "二"};
    c.push_back(std::move(pages));
    c.push_back(onPage(control("编辑框1", ControlKind::Edit, {1, 3, 133, 25}), "选择夹1", 0));
    c.push_back(onPage(control("按钮1", ControlKind::PushButton, {135, 4, 40, 24}, "查找"), "选择夹1", 0));
    c.push_back(onPage(tree({1, 30, 175, 347},
                            {
                                {0, "下载页面（资源信息）", true, false, 45},
                                {0, "Harnoc教育-有问必答", false, false, 15},
                                {0, "Vantoro接口资源", true, true, 24},
                                {1, "VantoroJAR包", false, false, 22},
                                {0, "Vantoro学习例程", true, true, 24},
                                {1, "官方例程", false, false, 22},
                                {1, "精品例程", false, false, 22},
                                {0, "常用编程工具", true, true, 24},
                                {1, "精品编程工具", false, false, 22},
                                {0, "原创编程考题", true, true, 24},
                                {1, "计算机考题", false, false, 22},
                                {1, "Vantoro考题", false, false, 22},
                                {0, "Vantoro编程视频", true, true, 24},
                                {1, "Vantoro基础-深入", false, false, 22},
                                {1, "Vantoro编程相关视频", false, false, 22},
                            }),
                       "选择夹1", 0));
    // The download list comes after the resource list: same rectangle, stacked above it.
    c.push_back(onPage(list("超级列表框1", {176, 4, 666, 373},
                            {{"资源内容（双击任务添加到下载页面）", 230},
                             {"资源大小", 100},
                             {"更新时间", 150},
                             {"请支持我们", 200}},
                            true),
                       "选择夹1", 0));
    c.push_back(onPage(list("超级列表框2", {176, 4, 666, 373},
                            {{"下载内容（左键单击任务即可下载）", 230},
                             {"资源大小", 100},
                             {"下载进度(资源大小/已下载大小)", 200},
                             {"下载状态", 150},
                             {"加密数据", 0}},
                            false),
                       "选择夹1", 0));
    c.push_back(onPage(control("超文本浏览框1", ControlKind::Browser, {2, 4, 841, 373}), "选择夹1", 1));

    c.push_back(control("标签2", ControlKind::Label, {48, 517, 136, 22}, "主程序版本：2.5 正式版"));
    c.push_back(hidden(control("标签4", ControlKind::Label, {384, 517, 64, 22}, "下载进度：")));
    ControlSpec bar = hidden(control("进度条1", ControlKind::ProgressBar, {442, 521, 179, 16}));
    bar.maximum = 100;
    c.push_back(std::move(bar));
    c.push_back(control("标签1", ControlKind::Label, {643, 517, 181, 22}, mainAddressLabel(config)));
    c.push_back(hidden(control("编辑框2", ControlKind::Edit, {624, 96, 133, 25})));
    c.push_back(control("气球提示框1", ControlKind::Balloon, {}));
    c.push_back(control("气球提示框2", ControlKind::Balloon, {}));
    return w;
}

WindowLayout videoLayout(const app::Config& config) {
    WindowLayout w{WindowId::Video,
                   "(ZQ9)Plendrik视频教学系统 - V2.5",
                   711,
                   535,
                   FrameKind::Frameless,
                   "video_background",
                   {}};
    auto& c = w.controls;
    c.push_back(titleLabel({12, 10, 368, 24}, "(ZQ9)Plendrik视频教学系统 - V2.5", 19));
    addTitleButtons(c, 620, 3);

    ControlSpec toolbar = control("工具条1", ControlKind::Toolbar, {24, 48, 376, 88});
    toolbar.toolbarIconSize = 56;
    toolbar.buttons = {
        {0, "video_toolbar_0", "主窗口", "转到Plendrik主页面", false},
        {1, "video_toolbar_1", "讲师招聘", "应聘论坛讲师", false},
        {2, "video_toolbar_2", "每日签到", "论坛签到领取金币", false},
        {3, "video_toolbar_3", "ZQ9正版赞助", "支持正版ZQ9，赞助正版产品", false},
        {4, "video_toolbar_4", "官方论坛", "Vantoro编程论坛", false},
    };
    c.push_back(std::move(toolbar));
    c.push_back(tree({3, 148, 175, 347}, {
                                             {0, "Vantoro编程视频", true, true, 24},
                                             {1, "Vantoro基础培训", false, false, 22},
                                             {1, "Vantoro强化培训", false, false, 22},
                                             {0, "JAVA编程视频", true, true, 24},
                                             {1, "JAVA基础培训", false, false, 22},
                                             {1, "JAVA进阶培训", false, false, 22},
                                             {1, "JAVA强化培训", false, false, 22},
                                         }));
    c.push_back(list("超级列表框2", {178, 148, 530, 347},
                     {{"视频教学名称", 230}, {"视频内容", 300}, {"加密数据", 0}}, true));
    c.push_back(control("气球提示框1", ControlKind::Balloon, {}));
    c.push_back(control("标签2", ControlKind::Label, {48, 503, 136, 22}, "主程序版本：2.5 正式版"));
    c.push_back(control("标签1", ControlKind::Label, {496, 504, 181, 22}, mainAddressLabel(config)));
    return w;
}

WindowLayout playerLayout() {
    WindowLayout w{
        WindowId::Player, "(ZQ9)Plendrik在线视频教学系统 - V2.5", 822, 546, FrameKind::Resizable, "", {}};
    w.controls.push_back(control("超文本浏览框1", ControlKind::Browser, {1, 1, 136, 112}));
    return w;
}

WindowLayout forumLayout() {
    WindowLayout w{
        WindowId::Forum, "Harnoc论坛 - Askory（讲师定时回答问题）", 1032, 473, FrameKind::Resizable, "", {}};
    w.controls.push_back(control("超文本浏览框1", ControlKind::Browser, {0, 0, 960, 408}));
    return w;
}

WindowLayout aboutLayout(const app::Config& config) {
    WindowLayout w{WindowId::About, "关于作者", 250, 214, FrameKind::FixedCloseOnly, "", {}};
    auto& c = w.controls;
    c.push_back(control("分组框1", ControlKind::GroupBox, {7, 8, 232, 176}, "关于作者"));
    auto link = [&](std::string name, Rect place, std::string text, const std::string& address) {
        ControlSpec spec = control(std::move(name), ControlKind::Hyperlink, place, std::move(text));
        spec.parent = "分组框1";
        spec.address = address;
        return spec;
    };
    const web::HyperLink forum = web::aboutForumLink(config);
    const web::HyperLink secondForum = web::aboutSecondForumLink(config);
    c.push_back(link("超级链接框1", {25, 24, 152, 24}, forum.caption, forum.address));
    c.push_back(link("超级链接框2", {25, 56, 176, 24}, secondForum.caption, secondForum.address));
    ControlSpec authors = control("标签2", ControlKind::Label, {25, 86, 168, 24}, "作    者：林小舟、周雨桐");
    authors.parent = "分组框1";
    c.push_back(std::move(authors));
    ControlSpec words = control("标签3", ControlKind::Label, {15, 120, 208, 48},
                                "ZQ9中文编程平台，新手交流的园地。\n感谢论坛每一位朋友的支持！");
    words.parent = "分组框1";
    c.push_back(std::move(words));
    return w;
}

} // namespace

const std::vector<std::string>& kaiFamilies() {
    static const std::vector<std::string> families{"KaiTi", "AR PL UKai CN", "Noto Sans CJK SC"};
    return families;
}

const std::vector<std::string>& textFamilies() {
    static const std::vector<std::string> families{"Noto Sans CJK SC", "Microsoft YaHei",
                                                   "WenQuanYi Micro Hei"};
    return families;
}

WindowLayout windowLayout(WindowId window, const app::Config& config) {
    switch (window) {
    case WindowId::Main:
        return mainLayout(config);
    case WindowId::Video:
        return videoLayout(config);
    case WindowId::Player:
        return playerLayout();
    case WindowId::Forum:
        return forumLayout();
    case WindowId::About:
        return aboutLayout(config);
    }
    return {};
}

const ControlSpec* findControl(const WindowLayout& layout, std::string_view name) {
    for (const auto& spec : layout.controls)
        if (spec.name == name)
            return &spec;
    return nullptr;
}

std::string treeItemPicture(int image) {
    return "tree_" + std::to_string(image);
}

} // namespace plendrik::ui
