// One whole-file HTTP GET on libcurl: HTTP/1.0, "Accept: */*", the program's user agent, no proxy,
// never from a cache. Any thread.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace plendrik::platform {

struct HttpGetOptions {
    long connectTimeoutMs = 10000;
    long lowSpeedLimit = 1;    // bytes per second ...
    long lowSpeedTimeSec = 20; // ... for this long ends the transfer
    long maxRedirects = 3;     // http and https only
    // A body that grows past this ends the transfer (a runaway answer must not eat the memory);
    // what arrived so far is the result, as with any break-off.
    std::size_t maxBodyBytes = std::size_t{64} << 20;
};

// The body; empty when the request cannot be made, is refused or answers a status of 300 or
// above (an error page or a redirect left over is never a file). A transfer that breaks off
// gives the bytes received so far.
std::string httpGet(std::string_view address, const HttpGetOptions& options = {});

} // namespace plendrik::platform
