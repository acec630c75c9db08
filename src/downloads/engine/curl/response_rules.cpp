#include "downloads/engine/curl/response_rules.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace plendrik::downloads::curl {
namespace {

std::string_view trim(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// A whole non-negative decimal number, nothing around it.
std::optional<std::int64_t> number(std::string_view text) {
    std::int64_t value = 0;
    if (text.empty() || text.front() == '-' || text.front() == '+')
        return std::nullopt;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

bool isStrong(std::string_view etag) {
    return !etag.empty() && !etag.starts_with("W/");
}

// Compares the validators both sides have: the ETag when both carry one, else Last-Modified.
// Nothing to compare counts as a match only when `lenient`.
bool sameEntity(const ResponseHead& head, const Expectation& expected, bool lenient) {
    if (!head.etag.empty() && !expected.etag.empty())
        return head.etag == expected.etag;
    if (!head.lastModified.empty() && !expected.lastModified.empty())
        return head.lastModified == expected.lastModified;
    return lenient;
}

bool retryableStatus(int status) {
    return status == 408 || status == 429 || status == 502 || status == 503 || status == 504;
}

} // namespace

std::optional<ContentRange> parseContentRange(std::string_view value) {
    value = trim(value);
    if (!value.starts_with("bytes "))
        return std::nullopt;
    value = trim(value.substr(6));
    const auto slash = value.find('/');
    if (slash == std::string_view::npos)
        return std::nullopt;
    const std::string_view span = value.substr(0, slash);
    const std::string_view size = value.substr(slash + 1);
    ContentRange range;
    if (size != "*") {
        const auto total = number(size);
        if (!total)
            return std::nullopt;
        range.total = *total;
    }
    if (span == "*")
        return range.total >= 0 ? std::optional(range) : std::nullopt;
    const auto dash = span.find('-');
    if (dash == std::string_view::npos)
        return std::nullopt;
    const auto first = number(span.substr(0, dash));
    const auto last = number(span.substr(dash + 1));
    if (!first || !last || *last < *first || (range.total >= 0 && *last >= range.total))
        return std::nullopt;
    range.first = *first;
    range.last = *last;
    return range;
}

std::optional<int> parseRetryAfter(std::string_view value) {
    const auto seconds = number(trim(value));
    if (!seconds)
        return std::nullopt;
    return static_cast<int>(std::min<std::int64_t>(*seconds, 24 * 3600));
}

bool HeadReader::line(std::string_view line, bool followsRedirects) {
    if (line.starts_with("HTTP/")) {
        // every answer starts over: an interim 100 or a redirect says nothing about the body
        m_head = ResponseHead{};
        const auto space = line.find(' ');
        if (space != std::string_view::npos)
            m_head.status = static_cast<int>(number(line.substr(space + 1, 3)).value_or(0));
        return false;
    }
    const std::string_view text = trim(line);
    if (text.empty()) {
        if (m_head.status >= 100 && m_head.status < 200)
            return false;
        if (followsRedirects && m_head.status >= 300 && m_head.status < 400 && m_head.hasLocation)
            return false;
        return m_head.status != 0;
    }
    const auto colon = text.find(':');
    if (colon == std::string_view::npos)
        return false;
    const std::string_view name = trim(text.substr(0, colon));
    const std::string_view value = trim(text.substr(colon + 1));
    if (sameName(name, "Content-Length"))
        m_head.contentLength = number(value);
    else if (sameName(name, "Content-Range"))
        m_head.contentRange = parseContentRange(value);
    else if (sameName(name, "ETag"))
        m_head.etag = value;
    else if (sameName(name, "Last-Modified"))
        m_head.lastModified = value;
    else if (sameName(name, "Retry-After"))
        m_head.retryAfterSeconds = parseRetryAfter(value);
    else if (sameName(name, "Location"))
        m_head.hasLocation = !value.empty();
    return false;
}

Verdict decide(const ResponseHead& head, const Expectation& expected) {
    const int status = head.status;
    const bool resuming = expected.offset > 0;
    if (status == 416 && resuming) {
        // the range starts at the end: whole only if it is the very file the partial one was cut from
        const bool atEnd = expected.total >= 0 && expected.offset == expected.total &&
                           (!head.contentRange || head.contentRange->total == expected.total);
        return atEnd && sameEntity(head, expected, false) ? Verdict::AlreadyComplete : Verdict::Restart;
    }
    if (retryableStatus(status))
        return Verdict::Retry;
    if (status >= 400 || status < 200 || status >= 300)
        return Verdict::Fail;
    if (status == 200)
        // a ranged request answered with the whole file must not be appended to the partial one
        return resuming ? Verdict::Restart : Verdict::Accept;
    if (status == 206) {
        const auto& range = head.contentRange;
        if (!range || range->first != expected.offset || range->total < 0)
            return Verdict::Restart;
        if (expected.total >= 0 && range->total != expected.total)
            return Verdict::Restart;
        // a server that ignores If-Range must still not mix two versions of the file
        if (resuming && !sameEntity(head, expected, true))
            return Verdict::Restart;
        return Verdict::Accept;
    }
    return Verdict::Fail; // 201, 204 and the like carry no file
}

std::optional<std::string> ifRangeValue(std::string_view etag, std::string_view lastModified) {
    if (isStrong(etag))
        return std::string(etag);
    if (!lastModified.empty())
        return std::string(lastModified);
    return std::nullopt;
}

std::chrono::milliseconds retryDelay(int retry, std::optional<int> retryAfterSeconds) {
    if (retryAfterSeconds)
        return std::min<std::chrono::milliseconds>(std::chrono::seconds(*retryAfterSeconds), kMaxRetryAfter);
    const int shift = std::clamp(retry, 0, 16);
    return std::min<std::chrono::milliseconds>(kFirstBackOff * (1LL << shift), kMaxBackOff);
}

} // namespace plendrik::downloads::curl
