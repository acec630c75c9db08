// Small helpers for the configuration bases and the addresses built from them.
#pragma once

#include <string>
#include <string_view>

namespace plendrik {

// "http://host:port/a/b" gives "host:port".
std::string_view hostPart(std::string_view address);
// The address without one final "/".
std::string_view withoutTrailingSlash(std::string_view address);

} // namespace plendrik
