// The decisions a transfer takes about a server's answer, kept apart from libcurl so they can be
// checked case by case: which answers may add bytes to the partial file, which start it again,
// which are worth another try and which end the transfer.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace plendrik::downloads::curl {

struct ContentRange {
    std::int64_t first = -1; // -1 for "bytes */N"
    std::int64_t last = -1;
    std::int64_t total = -1; // -1 for ".../*"
};

std::optional<ContentRange> parseContentRange(std::string_view value);
// Delta-seconds only; a date or anything else gives nothing.
std::optional<int> parseRetryAfter(std::string_view value);

struct ResponseHead {
    int status = 0;
    std::optional<std::int64_t> contentLength;
    std::optional<ContentRange> contentRange;
    std::string etag;
    std::string lastModified;
    std::optional<int> retryAfterSeconds;
    bool hasLocation = false;
};

// Collects the header lines libcurl hands over, one response after another (interim answers and
// redirects included), and says when the head of the answer that carries the body is complete.
class HeadReader final {
public:
    // Returns true once the line completes the final answer's head.
    bool line(std::string_view line, bool followsRedirects);
    const ResponseHead& head() const { return m_head; }

private:
    ResponseHead m_head;
};

// What the transfer knows before it asks: how much of the file it holds and what it knew of it.
struct Expectation {
    std::int64_t offset = 0;  // bytes already in the partial file (0: the whole file is asked for)
    std::int64_t total = -1;  // known size of the whole file, -1 unknown
    std::string etag;         // of the partial file's bytes
    std::string lastModified; // of the partial file's bytes
};

enum class Verdict {
    Accept,          // the body continues the partial file at the offset (or starts it at 0)
    Restart,         // empty the partial file and ask for the whole file again
    AlreadyComplete, // the partial file is the whole file
    Retry,           // the server is busy or unwell: try again later
    Fail,            // the server refuses: no byte of this answer is written
};

Verdict decide(const ResponseHead& head, const Expectation& expected);

// A strong ETag when there is one, else Last-Modified, else nothing: the If-Range value.
std::optional<std::string> ifRangeValue(std::string_view etag, std::string_view lastModified);

// Retries after a dropped or failed connection: how many, and how long to wait before each.
inline constexpr int kMaxRetries = 3;
inline constexpr std::chrono::milliseconds kFirstBackOff{250};
inline constexpr std::chrono::milliseconds kMaxBackOff{4000};
inline constexpr std::chrono::seconds kMaxRetryAfter{10};
// How often a transfer may be started again from 0 (a server that cannot resume) before it fails.
inline constexpr int kMaxRestarts = 2;

// 250 ms, 500 ms, 1 s, ... up to kMaxBackOff; a Retry-After from the server wins, up to its cap.
std::chrono::milliseconds retryDelay(int retry, std::optional<int> retryAfterSeconds);

} // namespace plendrik::downloads::curl
