#include "downloads/engine/curl/curl_options.h"

#include "common/url.h"

#include <algorithm>
#include <cctype>

namespace plendrik::downloads::curl {
namespace {

// libcurl's own bounds for the receive buffer.
constexpr long kMinBuffer = 1024;
constexpr long kMaxBuffer = 10L * 1024 * 1024;

std::string lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

std::string_view schemeOf(std::string_view address) {
    const auto end = address.find("://");
    return end == std::string_view::npos ? std::string_view{} : address.substr(0, end);
}

// The path's extension, ".zip", lower case; empty when the last piece has none.
std::string extensionOf(std::string_view address) {
    const auto schemeEnd = address.find("://");
    std::string_view rest = schemeEnd == std::string_view::npos ? address : address.substr(schemeEnd + 3);
    rest = rest.substr(0, rest.find_first_of("?#"));
    const auto slash = rest.rfind('/');
    if (slash == std::string_view::npos)
        return {};
    const std::string_view name = rest.substr(slash + 1);
    const auto dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string{} : lower(name.substr(dot));
}

bool listedExtension(std::string_view list, std::string_view extension) {
    if (extension.empty())
        return false;
    while (true) {
        const auto bar = list.find('|');
        if (lower(list.substr(0, bar)) == extension)
            return true;
        if (bar == std::string_view::npos)
            return false;
        list.remove_prefix(bar + 1);
    }
}

void setText(CURL* easy, CURLoption option, const std::optional<std::string>& value) {
    if (value)
        curl_easy_setopt(easy, option, value->c_str());
}

} // namespace

bool usableAddress(std::string_view address) {
    const std::string scheme = lower(schemeOf(address));
    if (scheme != "http" && scheme != "https" && scheme != "ftp")
        return false;
    const std::string_view rest = address.substr(scheme.size() + 3);
    const auto hostEnd = rest.find_first_of("/?#");
    const std::string_view host = rest.substr(0, hostEnd);
    return !host.empty() &&
           std::none_of(host.begin(), host.end(), [](unsigned char c) { return c <= 0x20 || c == 0x7F; });
}

CurlOptions curlOptionsFor(const TaskRecord& record) {
    CurlOptions out;
    out.url = encodeUrlPath(record.address);
    out.ftp = lower(schemeOf(record.address)) == "ftp";
    // `options` selects nothing this engine does differently, and libcurl runs one connection per
    // easy handle: every transfer uses a single connection whatever `connections` says.
    out.connectTimeoutMs = std::max(record.connectTimeout, 0);
    if (record.receiveTimeout > 0) {
        out.lowSpeedTimeSeconds = std::max(1, (record.receiveTimeout + 999) / 1000);
        // keep the stall floor below a rate cap, or the cap itself would look like a stall
        out.lowSpeedLimit = kStallBytesPerSecond;
        if (record.rateLimit > 0)
            out.lowSpeedLimit = std::clamp<long>(record.rateLimit / 2, 1, kStallBytesPerSecond);
    }
    out.sendStallMs = std::max(record.sendTimeout, 0);
    out.maxRecvSpeed = std::max(record.rateLimit, 0);
    long block = std::clamp<long>(record.readBlock, kMinBuffer, kMaxBuffer);
    // with a rate cap, smaller reads keep the flow even (the cap wins over the block size)
    if (record.rateLimit > 0)
        block = std::clamp<long>(std::min<long>(block, record.rateLimit), kMinBuffer, kMaxBuffer);
    out.bufferSize = block;
    out.uploadBufferSize = std::max(record.uploadBlock, 0); // libcurl raises it to its minimum
    out.proxy = record.proxy.value_or("");
    out.referer = record.referer;
    if (out.ftp) {
        out.user = record.ftpUser;
        out.password = record.ftpPassword;
        if (!record.ftpExtra.empty())
            out.ftpAccount = record.ftpExtra;
        out.transferText = record.ftpTransferType == 2 ||
                           (record.ftpTransferType == 3 &&
                            !listedExtension(record.binaryExtensions, extensionOf(record.address)));
    }
    out.stopWaitMs = std::max(record.stopWait, 0);
    return out;
}

void applyCurlOptions(CURL* easy, const CurlOptions& options) {
    curl_easy_setopt(easy, CURLOPT_URL, options.url.c_str());
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https,ftp");
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_USERAGENT, "Plendrik/2.5");
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, options.connectTimeoutMs);
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, options.lowSpeedLimit);
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, options.lowSpeedTimeSeconds);
    curl_easy_setopt(easy, CURLOPT_MAX_RECV_SPEED_LARGE, options.maxRecvSpeed);
    curl_easy_setopt(easy, CURLOPT_BUFFERSIZE, options.bufferSize);
    curl_easy_setopt(easy, CURLOPT_UPLOAD_BUFFERSIZE, options.uploadBufferSize);
    curl_easy_setopt(easy, CURLOPT_PROXY, options.proxy.c_str());
    setText(easy, CURLOPT_REFERER, options.referer);
    setText(easy, CURLOPT_USERNAME, options.user);
    setText(easy, CURLOPT_PASSWORD, options.password);
    setText(easy, CURLOPT_FTP_ACCOUNT, options.ftpAccount);
    curl_easy_setopt(easy, CURLOPT_TRANSFERTEXT, options.transferText ? 1L : 0L);
}

} // namespace plendrik::downloads::curl
