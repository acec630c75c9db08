// How a TaskRecord becomes libcurl options. The mapping is a plain value so it can be checked field
// by field; applyCurlOptions puts it on an easy handle.
#pragma once

#include "downloads/engine/download_engine.h"

#include <curl/curl.h>

#include <optional>
#include <string>
#include <string_view>

namespace plendrik::downloads::curl {

// A receive slower than this many bytes per second for the whole receive time-out counts as stalled.
inline constexpr long kStallBytesPerSecond = 64;

struct CurlOptions {
    std::string url;              // percent-encoded path
    bool ftp = false;             // login and transfer type apply to ftp:// only
    long connectTimeoutMs = 0;    // CURLOPT_CONNECTTIMEOUT_MS; 0: libcurl's default
    long lowSpeedLimit = 0;       // CURLOPT_LOW_SPEED_LIMIT, bytes per second
    long lowSpeedTimeSeconds = 0; // CURLOPT_LOW_SPEED_TIME; 0: no stall check
    long sendStallMs = 0;         // the engine's own limit for getting the request out; 0: none
    curl_off_t maxRecvSpeed = 0;  // CURLOPT_MAX_RECV_SPEED_LARGE; 0: none
    long bufferSize = 0;          // CURLOPT_BUFFERSIZE
    long uploadBufferSize = 0;    // CURLOPT_UPLOAD_BUFFERSIZE
    std::string proxy;            // CURLOPT_PROXY; "" means a direct connection
    std::optional<std::string> referer;
    std::optional<std::string> user;     // ftp only
    std::optional<std::string> password; // ftp only
    std::optional<std::string> ftpAccount;
    bool transferText = false; // CURLOPT_TRANSFERTEXT (asks the FTP server for ASCII mode)
    int stopWaitMs = 0;        // how long stopTask waits for the transfer to let go of its files
};

// An address the engine can fetch: http://, https:// or ftp:// with a host.
bool usableAddress(std::string_view address);

CurlOptions curlOptionsFor(const TaskRecord& record);
void applyCurlOptions(CURL* easy, const CurlOptions& options);

} // namespace plendrik::downloads::curl
