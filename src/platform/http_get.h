// One whole-file HTTP GET on libcurl: HTTP/1.0, "Accept: */*", the program's user agent, no proxy,
// never from a cache. Any thread.
#pragma once

#include <string>
#include <string_view>

namespace plendrik::platform {

struct HttpGetOptions {
    long connectTimeoutMs = 10000;
    long lowSpeedLimit = 1;     // bytes per second ...
    long lowSpeedTimeSec = 20;  // ... for this long ends the transfer
};

// The body; empty when the request cannot be made, is refused or answers a status of 400 or
// above. A transfer that breaks off gives the bytes received so far.
std::string httpGet(std::string_view address, const HttpGetOptions& options = {});

} // namespace plendrik::platform
