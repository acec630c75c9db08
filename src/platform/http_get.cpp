#include "platform/http_get.h"

namespace plendrik::platform {

// Placeholder until the fetch on libcurl lands.
std::string httpGet(std::string_view, const HttpGetOptions&) { return {}; }

} // namespace plendrik::platform
