// The video course window: course topics, the course list of a topic, and its toolbar.
#pragma once

#include "app/context.h"

#include <optional>
#include <span>
#include <string_view>

namespace plendrik::video {

// A topic of the tree and the course list file it loads (the group items load none).
struct Topic {
    int treeIndex;
    std::string_view text;
    std::string_view courseListFile; // empty for a group item
};
std::span<const Topic> topics();
// The course list file of a tree item, or nothing for a group item or no selection.
std::optional<std::string_view> courseListFileFor(int treeIndex);

namespace VideoWindow {

void onCreated(app::Context& ctx);
void onTopicDoubleClick(app::Context& ctx);
// Fetches the file on the calling (user-interface) thread and fills the course list with it.
void loadCourseList(app::Context& ctx, std::string_view filePath);
void onCourseActivated(app::Context& ctx);
void onToolbarClick(app::Context& ctx, int button);
void onMinimiseClick(app::Context& ctx);
void onCloseClick(app::Context& ctx);

} // namespace VideoWindow
} // namespace plendrik::video
