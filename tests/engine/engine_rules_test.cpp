// The engine's decisions that need no server: the resume state format, what an answer may do to the
// partial file, the retry timing, and how a task record becomes libcurl options.
#include "downloads/engine/curl/curl_options.h"
#include "downloads/engine/curl/response_rules.h"
#include "downloads/engine/curl/resume_state.h"

#include <gtest/gtest.h>

namespace plendrik::downloads::curl {
namespace {

using namespace std::chrono_literals;

ResumeState sampleState() {
    return {"http://127.0.0.1:8080/files/例程/demo 1.zip",
            "/tmp/下载/demo 1.zip",
            4096,
            10000,
            "\"abc-123\"",
            "Tue, 01 Dec 2026 10:00:00 GMT"};
}

TEST(ResumeStateTest, roundTrip_keepsEveryField) {
    const ResumeState state = sampleState();
    EXPECT_EQ(decodeState(encodeState(state)), state);

    ResumeState unknownTotal = state;
    unknownTotal.total = -1;
    unknownTotal.offset = 0;
    unknownTotal.etag.clear();
    unknownTotal.lastModified.clear();
    EXPECT_EQ(decodeState(encodeState(unknownTotal)), unknownTotal);
}

TEST(ResumeStateTest, everyTruncation_isRejected) {
    const TaskState bytes = encodeState(sampleState());
    for (std::size_t length = 0; length < bytes.size(); ++length)
        EXPECT_FALSE(decodeState(std::string_view(bytes).substr(0, length))) << "cut at " << length;
}

TEST(ResumeStateTest, foreignOrDamaged_isRejected) {
    const TaskState good = encodeState(sampleState());
    TaskState otherVersion = good;
    otherVersion[4] = 2;
    TaskState hugeLength = good;
    hugeLength[24] = '\x7F'; // the address length's high byte
    ResumeState pastTheEnd = sampleState();
    pastTheEnd.offset = pastTheEnd.total + 1;
    ResumeState noAddress = sampleState();
    noAddress.address.clear();

    const std::vector<std::pair<const char*, TaskState>> cases = {
        {"plain text", "http://127.0.0.1/a.zip"},
        {"other version", otherVersion},
        {"length beyond the data", hugeLength},
        {"trailing byte", good + "x"},
        {"offset past the total", encodeState(pastTheEnd)},
        {"no address", encodeState(noAddress)},
    };
    for (const auto& [name, bytes] : cases)
        EXPECT_FALSE(decodeState(bytes)) << name;
}

TEST(ContentRangeTest, parsesWellFormedAndRejectsTheRest) {
    struct Case {
        const char* text;
        std::optional<ContentRange> range;
    };
    const Case cases[] = {
        {"bytes 0-9/10", ContentRange{0, 9, 10}},
        {"bytes 100-199/1000", ContentRange{100, 199, 1000}},
        {"bytes */1000", ContentRange{-1, -1, 1000}},
        {"bytes 5-9/*", ContentRange{5, 9, -1}},
        {"bytes 9-0/10", std::nullopt},
        {"bytes 0-10/10", std::nullopt},
        {"bytes */*", std::nullopt},
        {"bytes 0-9", std::nullopt},
        {"items 0-9/10", std::nullopt},
        {"bytes -1-9/10", std::nullopt},
        {"bytes 0-9/1x", std::nullopt},
    };
    for (const auto& c : cases) {
        const auto range = parseContentRange(c.text);
        ASSERT_EQ(range.has_value(), c.range.has_value()) << c.text;
        if (range) {
            EXPECT_EQ(range->first, c.range->first) << c.text;
            EXPECT_EQ(range->last, c.range->last) << c.text;
            EXPECT_EQ(range->total, c.range->total) << c.text;
        }
    }
}

TEST(HeadReaderTest, judgesOnlyTheAnswerThatCarriesTheBody) {
    HeadReader reader;
    const std::pair<const char*, bool> lines[] = {
        {"HTTP/1.1 100 Continue\r\n", false},
        {"\r\n", false},
        {"HTTP/1.1 302 Found\r\n", false},
        {"Location: /elsewhere.zip\r\n", false},
        {"ETag: \"old\"\r\n", false},
        {"\r\n", false},
        {"HTTP/1.1 206 Partial Content\r\n", false},
        {"content-range: bytes 5-9/10\r\n", false},
        {"ETAG:  \"new\" \r\n", false},
        {"Retry-After: 3\r\n", false},
        {"\r\n", true},
    };
    for (const auto& [line, completes] : lines)
        EXPECT_EQ(reader.line(line, true), completes) << line;
    const ResponseHead& head = reader.head();
    EXPECT_EQ(head.status, 206);
    ASSERT_TRUE(head.contentRange);
    EXPECT_EQ(head.contentRange->first, 5);
    EXPECT_EQ(head.contentRange->total, 10);
    EXPECT_EQ(head.etag, "\"new\"");
    EXPECT_EQ(head.retryAfterSeconds, 3);
}

TEST(HeadReaderTest, redirectWithoutFollowing_isTheFinalAnswer) {
    HeadReader reader;
    reader.line("HTTP/1.1 301 Moved\r\n", false);
    reader.line("Location: /x\r\n", false);
    EXPECT_TRUE(reader.line("\r\n", false));
    EXPECT_EQ(reader.head().status, 301);
}

ResponseHead answer(int status, std::optional<ContentRange> range = std::nullopt, std::string etag = {},
                    std::string modified = {}) {
    ResponseHead head;
    head.status = status;
    head.contentRange = range;
    head.etag = std::move(etag);
    head.lastModified = std::move(modified);
    return head;
}

TEST(DecideTest, table) {
    const Expectation fresh{};
    const Expectation half{500, 1000, "\"v1\"", "Mon"};
    const Expectation atEnd{1000, 1000, "\"v1\"", "Mon"};
    const Expectation halfNoValidators{500, 1000, "", ""};
    struct Case {
        const char* name;
        ResponseHead head;
        Expectation expected;
        Verdict verdict;
    };
    const Case cases[] = {
        {"whole file, fresh", answer(200), fresh, Verdict::Accept},
        {"whole file to a ranged request", answer(200, {}, "\"v1\""), half, Verdict::Restart},
        {"continues at the offset", answer(206, ContentRange{500, 999, 1000}, "\"v1\""), half,
         Verdict::Accept},
        {"same file known by date", answer(206, ContentRange{500, 999, 1000}, "", "Mon"), half,
         Verdict::Accept},
        {"another offset", answer(206, ContentRange{600, 999, 1000}, "\"v1\""), half, Verdict::Restart},
        {"another total", answer(206, ContentRange{500, 1099, 1100}, "\"v1\""), half, Verdict::Restart},
        {"If-Range ignored, file changed", answer(206, ContentRange{500, 999, 1000}, "\"v2\""), half,
         Verdict::Restart},
        {"206 without Content-Range", answer(206, {}, "\"v1\""), half, Verdict::Restart},
        {"206 total unknown", answer(206, ContentRange{500, 999, -1}, "\"v1\""), half, Verdict::Restart},
        {"nothing to compare", answer(206, ContentRange{500, 999, 1000}), halfNoValidators, Verdict::Accept},
        {"416 at the end, same file", answer(416, ContentRange{-1, -1, 1000}, "\"v1\""), atEnd,
         Verdict::AlreadyComplete},
        {"416 at the end, file changed", answer(416, ContentRange{-1, -1, 1000}, "\"v2\""), atEnd,
         Verdict::Restart},
        {"416 at the end, size changed", answer(416, ContentRange{-1, -1, 1200}, "\"v1\""), atEnd,
         Verdict::Restart},
        {"416 at the end, nothing to compare", answer(416, ContentRange{-1, -1, 1000}), atEnd,
         Verdict::Restart},
        {"416 before the end", answer(416, ContentRange{-1, -1, 1000}, "\"v1\""), half, Verdict::Restart},
        {"416 without a range asked", answer(416), fresh, Verdict::Fail},
        {"404", answer(404), fresh, Verdict::Fail},
        {"500", answer(500), half, Verdict::Fail},
        {"401", answer(401), fresh, Verdict::Fail},
        {"503", answer(503), fresh, Verdict::Retry},
        {"429", answer(429), half, Verdict::Retry},
        {"204", answer(204), fresh, Verdict::Fail},
        {"redirect not followed", answer(302), fresh, Verdict::Fail},
    };
    for (const auto& c : cases)
        EXPECT_EQ(decide(c.head, c.expected), c.verdict) << c.name;
}

TEST(IfRangeTest, strongEtagFirstThenDate) {
    EXPECT_EQ(ifRangeValue("\"v1\"", "Mon"), "\"v1\"");
    EXPECT_EQ(ifRangeValue("W/\"v1\"", "Mon"), "Mon"); // a weak ETag may not be used in If-Range
    EXPECT_EQ(ifRangeValue("", "Mon"), "Mon");
    EXPECT_EQ(ifRangeValue("W/\"v1\"", ""), std::nullopt);
}

TEST(RetryDelayTest, doublesUpToTheCapAndHonoursRetryAfter) {
    EXPECT_EQ(retryDelay(0, std::nullopt), 250ms);
    EXPECT_EQ(retryDelay(1, std::nullopt), 500ms);
    EXPECT_EQ(retryDelay(2, std::nullopt), 1000ms);
    EXPECT_EQ(retryDelay(10, std::nullopt), kMaxBackOff);
    EXPECT_EQ(retryDelay(0, 2), 2000ms);
    EXPECT_EQ(retryDelay(0, 3600), kMaxRetryAfter);
    EXPECT_EQ(parseRetryAfter("Wed, 21 Oct 2026 07:28:00 GMT"), std::nullopt);
}

TEST(CurlOptionsTest, defaultRecord) {
    TaskRecord record;
    record.address = "http://127.0.0.1:9/files/例程/a b.zip";
    const CurlOptions options = curlOptionsFor(record);
    EXPECT_EQ(options.url, "http://127.0.0.1:9/files/%E4%BE%8B%E7%A8%8B/a%20b.zip");
    EXPECT_FALSE(options.ftp);
    EXPECT_EQ(options.connectTimeoutMs, 20000);
    EXPECT_EQ(options.lowSpeedTimeSeconds, 20);
    EXPECT_EQ(options.lowSpeedLimit, kStallBytesPerSecond);
    EXPECT_EQ(options.sendStallMs, 20000);
    EXPECT_EQ(options.maxRecvSpeed, 0);
    EXPECT_EQ(options.bufferSize, 20480);
    EXPECT_EQ(options.proxy, ""); // direct, whatever the environment says
    EXPECT_EQ(options.referer, std::nullopt);
    EXPECT_EQ(options.user, std::nullopt); // the FTP login never goes to an HTTP server
    EXPECT_EQ(options.password, std::nullopt);
    EXPECT_FALSE(options.transferText);
    EXPECT_EQ(options.stopWaitMs, 1000);
}

TEST(CurlOptionsTest, setFields) {
    TaskRecord record;
    record.address = "http://host/a.zip";
    record.proxy = "http://proxy:3128";
    record.referer = "http://host/";
    record.rateLimit = 50;
    record.receiveTimeout = 1500;
    record.connectTimeout = 700;
    record.readBlock = 1 << 30;
    const CurlOptions options = curlOptionsFor(record);
    EXPECT_EQ(options.proxy, "http://proxy:3128");
    EXPECT_EQ(options.referer, "http://host/");
    EXPECT_EQ(options.maxRecvSpeed, 50);
    EXPECT_EQ(options.lowSpeedLimit, 25); // below the cap, so the cap never reads as a stall
    EXPECT_EQ(options.lowSpeedTimeSeconds, 2);
    EXPECT_EQ(options.connectTimeoutMs, 700);
    EXPECT_EQ(options.bufferSize, 1024); // a block no bigger than a second's worth, within libcurl's bounds

    record.receiveTimeout = 0;
    EXPECT_EQ(curlOptionsFor(record).lowSpeedTimeSeconds, 0);
}

TEST(CurlOptionsTest, ftpLoginAndTransferType) {
    struct Case {
        const char* address;
        int type;
        bool text;
    };
    const Case cases[] = {
        {"ftp://host/a.zip", 1, false},     {"ftp://host/a.txt", 1, false}, {"ftp://host/a.zip", 2, true},
        {"ftp://host/a.ZIP", 3, false},     {"ftp://host/a.txt", 3, true},  {"ftp://host/readme", 3, true},
        {"ftp://host/a.mp3?x=1", 3, false},
    };
    for (const auto& c : cases) {
        TaskRecord record;
        record.address = c.address;
        record.ftpTransferType = c.type;
        record.ftpExtra = "acct";
        const CurlOptions options = curlOptionsFor(record);
        EXPECT_TRUE(options.ftp) << c.address;
        EXPECT_EQ(options.user, "anonymous");
        EXPECT_EQ(options.password, record.ftpPassword);
        EXPECT_EQ(options.ftpAccount, "acct");
        EXPECT_EQ(options.transferText, c.text) << c.address << " type " << c.type;
    }
}

TEST(CurlOptionsTest, usableAddresses) {
    const std::pair<const char*, bool> cases[] = {
        {"http://127.0.0.1:1/a.zip", true},
        {"HTTPS://host/a", true},
        {"ftp://host/a.zip", true},
        {"file:///etc/passwd", false},
        {"gopher://host/", false},
        {"http:///a.zip", false},
        {"http://", false},
        {"", false},
        {"/files/a.zip", false},
        {"http://ho st/a", false},
    };
    for (const auto& [address, usable] : cases)
        EXPECT_EQ(usableAddress(address), usable) << address;
}

} // namespace
} // namespace plendrik::downloads::curl
