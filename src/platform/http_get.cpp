#include "platform/http_get.h"

#include "common/url.h"

#include <curl/curl.h>

#include <memory>
#include <mutex>

namespace plendrik::platform {
namespace {

constexpr const char* kUserAgent = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";

struct EasyCloser {
    void operator()(CURL* c) const { curl_easy_cleanup(c); }
};
struct ListCloser {
    void operator()(curl_slist* l) const { curl_slist_free_all(l); }
};

struct Sink {
    std::string body;
    std::size_t limit = 0;
};

std::size_t writeBody(char* data, std::size_t size, std::size_t count, void* user) {
    auto* sink = static_cast<Sink*>(user);
    const std::size_t bytes = size * count;
    const std::size_t room = sink->limit - sink->body.size();
    if (bytes > room) {
        sink->body.append(data, room);
        return 0; // ends the transfer: the body is as long as it may be
    }
    sink->body.append(data, bytes);
    return bytes;
}

// main() initialises libcurl before any thread; this covers tests and tools that do not.
void ensureGlobalInit() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

} // namespace

std::string httpGet(std::string_view address, const HttpGetOptions& options) {
    ensureGlobalInit();
    std::unique_ptr<CURL, EasyCloser> curl(curl_easy_init());
    if (!curl)
        return {};
    std::unique_ptr<curl_slist, ListCloser> headers;
    for (const char* h : {"Accept: */*", "Cache-Control: no-cache", "Pragma: no-cache"}) {
        curl_slist* grown = curl_slist_append(headers.get(), h);
        if (!grown)
            return {};
        if (!headers)
            headers.reset(grown); // later appends keep the same head
    }

    const std::string url = encodeUrlPath(address);
    Sink sink;
    sink.limit = options.maxBodyBytes;
    CURL* h = curl.get();
    curl_easy_setopt(h, CURLOPT_URL, url.c_str());
    curl_easy_setopt(h, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
    curl_easy_setopt(h, CURLOPT_USERAGENT, kUserAgent);
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers.get());
    // An empty proxy also overrides the proxy environment variables.
    curl_easy_setopt(h, CURLOPT_PROXY, "");
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, options.maxRedirects > 0 ? 1L : 0L);
    curl_easy_setopt(h, CURLOPT_MAXREDIRS, options.maxRedirects);
    curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, options.connectTimeoutMs);
    // A stalled server ends the fetch; a slow but moving one may take as long as it needs.
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, options.lowSpeedLimit);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, options.lowSpeedTimeSec);
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, writeBody);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &sink);

    const CURLcode result = curl_easy_perform(h);
    long status = 0;
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status);
    // Whatever arrived of a good answer counts, also when the transfer broke off; an error page
    // or an unfollowed redirect is no file.
    if (status >= 300 || result == CURLE_TOO_MANY_REDIRECTS)
        return {};
    return std::move(sink.body);
}

} // namespace plendrik::platform
