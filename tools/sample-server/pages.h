// The small offline HTML pages that stand in for the forum, task, classroom and video sites.
#pragma once

#include "sample_tree.h"

#include <optional>
#include <string>

namespace plendrik::sample {

// The UTF-8 HTML page at the URL path (query removed), or nothing when no page lives there.
std::optional<std::string> pageAt(const std::string& path, const SampleTree& tree);
// A page for an error status, served when a fault asks for one.
std::string errorPage(int status);

} // namespace plendrik::sample
