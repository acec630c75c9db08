// The whole-file fetch against a loopback server that records what it was asked.
#include "platform/http_get.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <cstdlib>
#include <mutex>
#include <thread>

namespace plendrik::platform {
namespace {

struct Seen {
    std::string version, userAgent, accept, cacheControl, pragma, path;
};

class HttpGetTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_server.Get("/file", [](const httplib::Request&, httplib::Response& res) {
            res.set_content("0123456789", "text/plain");
        });
        m_server.Get(R"(/u/.*)", [this](const httplib::Request& req, httplib::Response& res) {
            std::lock_guard lock(m_mutex);
            m_seen = {req.version,
                      req.get_header_value("User-Agent"),
                      req.get_header_value("Accept"),
                      req.get_header_value("Cache-Control"),
                      req.get_header_value("Pragma"),
                      req.path};
            res.set_content("ok", "text/plain");
        });
        m_server.Get("/missing", [](const httplib::Request&, httplib::Response& res) {
            res.status = 404;
            res.set_content("<html>not here</html>", "text/html");
        });
        m_server.Get("/broken", [](const httplib::Request&, httplib::Response& res) {
            res.status = 500;
            res.set_content("<html>oops</html>", "text/html");
        });
        m_server.Get("/moved",
                     [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/file"); });
        m_server.Get("/loop",
                     [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/loop"); });
        // Promises 100 bytes, sends 10, closes.
        m_server.Get("/cut", [](const httplib::Request&, httplib::Response& res) {
            res.set_content_provider(100, "application/octet-stream",
                                     [](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                                         if (offset > 0)
                                             return false;
                                         sink.write("abcdefghij", 10);
                                         return true;
                                     });
        });
        m_port = m_server.bind_to_any_port("127.0.0.1");
        ASSERT_GT(m_port, 0);
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        while (!m_server.is_running())
            std::this_thread::yield();
    }
    void TearDown() override {
        m_server.stop();
        if (m_thread.joinable())
            m_thread.join();
    }
    std::string url(std::string_view path) const {
        return "http://127.0.0.1:" + std::to_string(m_port) + std::string(path);
    }
    Seen seen() {
        std::lock_guard lock(m_mutex);
        return m_seen;
    }

    httplib::Server m_server;
    std::thread m_thread;
    int m_port = 0;
    std::mutex m_mutex;
    Seen m_seen;
};

TEST_F(HttpGetTest, asksAsAnOldBrowserWouldAndNeverFromACache) {
    EXPECT_EQ(httpGet(url("/u/x")), "ok");
    const Seen s = seen();
    EXPECT_EQ(s.version, "HTTP/1.0");
    EXPECT_EQ(s.userAgent, "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)");
    EXPECT_EQ(s.accept, "*/*");
    EXPECT_EQ(s.cacheControl, "no-cache");
    EXPECT_EQ(s.pragma, "no-cache");
}

TEST_F(HttpGetTest, sendsUtf8PathPiecesPercentEncoded) {
    EXPECT_EQ(httpGet(url("/u/官方 例程/资源.txt")), "ok");
    EXPECT_EQ(seen().path, "/u/官方 例程/资源.txt"); // as the server decodes it
}

TEST_F(HttpGetTest, goesDirectlyWhateverTheProxyVariablesSay) {
    ::setenv("http_proxy", "http://127.0.0.1:1", 1);
    ::setenv("HTTP_PROXY", "http://127.0.0.1:1", 1);
    const std::string body = httpGet(url("/file"));
    ::unsetenv("http_proxy");
    ::unsetenv("HTTP_PROXY");
    EXPECT_EQ(body, "0123456789");
}

struct StatusCase {
    const char* path;
    std::string expected;
};

class HttpGetAnswers : public HttpGetTest, public ::testing::WithParamInterface<StatusCase> {};

TEST_P(HttpGetAnswers, givesTheBodyOfAGoodAnswerOnly) {
    EXPECT_EQ(httpGet(url(GetParam().path)), GetParam().expected) << GetParam().path;
}

INSTANTIATE_TEST_SUITE_P(Statuses, HttpGetAnswers,
                         ::testing::Values(StatusCase{"/file", "0123456789"},
                                           StatusCase{"/missing", ""},         // error page is no file
                                           StatusCase{"/broken", ""},          // nor is a server error
                                           StatusCase{"/moved", "0123456789"}, // a redirect is followed
                                           StatusCase{"/loop", ""},            // but not for ever
                                           StatusCase{"/cut", "abcdefghij"})); // what came before the break

TEST_F(HttpGetTest, refusedConnectionGivesNothing) {
    m_server.stop();
    m_thread.join();
    EXPECT_EQ(httpGet(url("/file")), "");
}

TEST_F(HttpGetTest, aBodyPastTheLimitIsCutThere) {
    HttpGetOptions options;
    options.maxBodyBytes = 4;
    EXPECT_EQ(httpGet(url("/file"), options), "0123");
}

} // namespace
} // namespace plendrik::platform
