#include "pages.h"

#include <string_view>

namespace plendrik::sample {
namespace {

constexpr std::string_view kStyle =
    "body{margin:0;font-family:'Noto Sans CJK SC','Microsoft YaHei',sans-serif;background:#eef4f7;"
    "color:#23313a}header{background:linear-gradient(#2b7fb8,#1f6a9c);color:#fff;padding:14px 24px}"
    "header h1{margin:0;font-size:20px}header p{margin:4px 0 0;font-size:13px;opacity:.85}"
    "main{max-width:900px;margin:18px auto;padding:0 16px}"
    ".card{background:#fff;border:1px solid #d3e1ea;border-radius:8px;padding:14px 18px;margin-bottom:12px}"
    ".card h2{margin:0 0 6px;font-size:16px;color:#1f6a9c}.meta{font-size:12px;color:#6b7f8c}"
    "table{border-collapse:collapse;width:100%}td,th{border-bottom:1px solid #e2ebf0;padding:8px;"
    "text-align:left;font-size:14px}th{background:#f4f8fb}a{color:#1f7a8c}"
    ".badge{display:inline-block;background:#2aa198;color:#fff;border-radius:10px;padding:1px 8px;"
    "font-size:12px}.video{background:#17252e;color:#9fc3d6;height:320px;border-radius:8px;display:flex;"
    "align-items:center;justify-content:center;font-size:40px}"
    "footer{text-align:center;font-size:12px;color:#8aa0ad;padding:20px}";

std::string escape(std::string_view text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string page(std::string_view title, std::string_view subtitle, const std::string& body) {
    std::string out = "<!DOCTYPE html>\n<html lang=\"zh-CN\"><head><meta charset=\"utf-8\"><title>";
    out += escape(title);
    out += "</title><style>";
    out += kStyle;
    out += "</style></head><body><header><h1>";
    out += escape(title);
    out += "</h1><p>";
    out += escape(subtitle);
    out += "</p></header><main>";
    out += body;
    out += "</main><footer>Harnoc教育 · 本地示例站点</footer></body></html>\n";
    return out;
}

std::string card(std::string_view heading, std::string_view text, std::string_view meta = {}) {
    std::string out = "<div class=\"card\"><h2>" + escape(heading) + "</h2><p>" + escape(text) + "</p>";
    if (!meta.empty())
        out += "<div class=\"meta\">" + escape(meta) + "</div>";
    return out + "</div>";
}

std::string forumIndex() {
    std::string body = card("欢迎来到Vantoro编程论坛", "交流安卓程序开发经验，分享例程、工具与学习心得。");
    body += "<table><tr><th>版块</th><th>主题</th><th>最后发表</th></tr>"
            "<tr><td><a href=\"forum-40-1.html\">有问必答</a></td><td>1268</td><td>2014-05-01</td></tr>"
            "<tr><td><a href=\"forum-46-1.html\">软件建议</a></td><td>342</td><td>2014-04-28</td></tr>"
            "<tr><td><a href=\"thread-2792-1-1.html\">资源分享</a></td><td>865</td><td>2014-04-30</td></tr>"
            "<tr><td><a href=\"thread-2009-1-1.html\">赞助论坛</a></td><td>57</td><td>2014-04-11</td></tr>"
            "</table>";
    return page("Vantoro编程论坛", "Harnoc教育官方交流社区", body);
}

std::string questionBoard(std::string_view board) {
    std::string body;
    const char* questions[][3] = {
        {"按钮点击后程序闪退怎么办？", "已解决", "检查事件里访问的组件是否已创建，附上日志截图更容易定位。"},
        {"如何把数据保存到SQLite数据库？", "已解决", "先建表再插入，记得在程序退出前关闭数据库。"},
        {"编译时提示找不到JAR包", "待解答", "把JAR包放到工程的libs目录，再重新编译一次。"},
        {"列表框怎样显示网络图片？", "已解决", "在子线程里下载图片，回到界面线程再设置到列表项。"},
        {"Vantoro能不能调用摄像头？", "待解答", "可以，申请相机权限后使用相机组件。"}};
    for (const auto& q : questions)
        body += card(q[0], q[2], std::string("状态：") + q[1]);
    return page(std::string("Vantoro编程论坛 - ") + std::string(board), "有问必答 · 提问前请先搜索", body);
}

std::string threadPage(std::string_view path) {
    struct Thread {
        std::string_view file, title, text;
    };
    static const Thread threads[] = {
        {"thread-2775-1-1.html", "Plendrik资源盒 最新版本发布",
         "新版本修正了下载页面的若干问题，请在本帖下载更新。"},
        {"thread-1804-1-1.html", "论坛讲师招聘", "欢迎熟悉Vantoro开发的朋友加入讲师团队，分享你的经验。"},
        {"thread-2009-1-1.html", "赞助论坛，支持我们走得更远", "您的每一份赞助都会用于服务器与教程制作。"},
        {"thread-2792-1-1.html", "资源分享专帖", "在这里分享你的例程、工具和学习笔记，审核后收录进资源盒。"}};
    for (const auto& t : threads)
        if (path == t.file)
            return page(t.title, "Vantoro编程论坛", card(t.title, t.text, "楼主 · 2014-05-01"));
    return page("Vantoro编程论坛", "帖子", card("帖子内容", "这是本地示例站点中的一个帖子。"));
}

std::string forumPage(std::string_view rest) {
    if (rest.empty() || rest == "index.html" || rest == "forum.php")
        return forumIndex();
    if (rest == "forum-40-1.html")
        return questionBoard("有问必答");
    if (rest == "forum-46-1.html")
        return questionBoard("软件建议");
    if (rest == "plugin.php")
        return page("每日签到", "Vantoro编程论坛",
                    card("签到成功", "今天已签到，获得金币 5 枚。", "连续签到 3 天"));
    return threadPage(rest);
}

std::string videoPage(int number, const SampleTree& tree) {
    for (const auto& [list, courses] : tree.courseLists)
        for (const auto& c : courses)
            if (c.page == number)
                return page(c.name, "Plendrik视频教学系统",
                            "<div class=\"video\">&#9654;</div>" + card(c.name, c.description));
    return page("视频课程", "Plendrik视频教学系统", "<div class=\"video\">&#9654;</div>");
}

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

} // namespace

std::optional<std::string> pageAt(const std::string& path, const SampleTree& tree) {
    const std::string_view p = path;
    if (startsWith(p, "/forum/"))
        return forumPage(p.substr(7));
    if (startsWith(p, "/forum2/"))
        return page("ZQ9官方论坛", "常见问题",
                    card("如何赞助正版ZQ9？", "在赞助页面选择赞助方式，完成后联系客服领取正版授权。") +
                        card("忘记密码怎么办？", "在登录页点击“找回密码”，按提示重设。"));
    if (startsWith(p, "/tasks/"))
        return page("免费任务", "完成任务领取奖励",
                    card("每日签到", "连续签到领取金币。", "奖励：金币 5") +
                        card("分享资源", "分享一个原创例程。", "奖励：金币 20"));
    if (startsWith(p, "/course/"))
        return page("Harnoc在线课堂", "Vantoro安卓开发系列课程",
                    card("Vantoro基础培训", "从零开始学习安卓程序开发。", "正在直播") +
                        card("Vantoro强化培训", "数据库、网络与多线程实战。") +
                        card("JAVA基础培训", "为深入开发打好JAVA语言基础。"));
    if (startsWith(p, "/video/")) {
        const std::string_view rest = p.substr(7);
        int number = 0;
        for (char c : rest) {
            if (c < '0' || c > '9')
                break;
            number = number * 10 + (c - '0');
        }
        return videoPage(number, tree);
    }
    return std::nullopt;
}

std::string errorPage(int status) {
    return page(std::to_string(status) + " 错误", "服务器无法完成请求",
                card("出错了", "服务器返回状态 " + std::to_string(status) + "，请稍后再试。"));
}

} // namespace plendrik::sample
