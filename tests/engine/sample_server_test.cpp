// The sample server speaks the file server's formats and shows each fault it is asked for.
#include "sample_server.h"

#include "common/gbk.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <functional>
#include <set>
#include <thread>

namespace plendrik::sample {
namespace {

std::vector<std::string> split(const std::string& text, const std::string& separator) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (std::size_t at = text.find(separator); at != std::string::npos; at = text.find(separator, start)) {
        out.push_back(text.substr(start, at - start));
        start = at + separator.size();
    }
    if (start < text.size())
        out.push_back(text.substr(start));
    return out;
}

std::string percentEncode(const std::string& utf8) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : utf8) {
        if (std::isalnum(c) || c == '/' || c == '.' || c == '-' || c == '_') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += digits[c >> 4];
            out += digits[c & 0xF];
        }
    }
    return out;
}

std::uint32_t le32(const std::string& bytes, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return v;
}

class SampleServerTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_server.start(0)); }

    httplib::Client client() const {
        httplib::Client c("127.0.0.1", m_server.port());
        c.set_read_timeout(10);
        return c;
    }

    std::string get(const std::string& path) {
        auto res = client().Get(path);
        EXPECT_TRUE(res) << path;
        EXPECT_EQ(res ? res->status : 0, 200) << path;
        return res ? res->body : std::string();
    }

    // Lines of a category's catalogue, each split at "|".
    std::vector<std::vector<std::string>> catalogue(const std::string& folder) {
        const std::string utf8 = gbk::toUtf8(get("/files/" + folder + "/123.txt"));
        std::vector<std::vector<std::string>> lines;
        for (const auto& line : split(utf8, "\r\n"))
            lines.push_back(split(line, "|"));
        return lines;
    }

    // The first resource of a category whose size is in [minKb, maxKb].
    std::pair<std::string, int> resource(const std::string& folder, int minKb, int maxKb) {
        for (const auto& fields : catalogue(folder)) {
            const int kb = std::stoi(fields.at(1));
            if (kb >= minKb && kb <= maxKb)
                return {"/files/" + folder + "/" + fields[0] + ".zip", kb};
        }
        ADD_FAILURE() << "no resource of " << minKb << ".." << maxKb << " KB in " << folder;
        return {};
    }

    SampleServer m_server;
};

const std::vector<std::string> kFolders = {
    "jar",           "guanfanglicheng", "jingpinlicheng",     "jingpinbianchenggongju",
    "jisuanjikaoti", "vantorokaoti",    "vantorojichushenru", "vantoroxiangguanshiping"};

TEST_F(SampleServerTest, catalogues_areGbkLinesOfFourUniqueFields) {
    for (const auto& folder : kFolders) {
        SCOPED_TRACE(folder);
        const std::string raw = get("/files/" + folder + "/123.txt");
        ASSERT_GE(raw.size(), 2u);
        EXPECT_EQ(raw.substr(raw.size() - 2), "\r\n");
        // GBK bytes survive a round trip and hold double-byte characters
        EXPECT_EQ(gbk::fromUtf8(gbk::toUtf8(raw)), raw);
        EXPECT_EQ(gbk::toUtf8(raw).find("\xEF\xBF\xBD"), std::string::npos);
        EXPECT_NE(raw, gbk::toUtf8(raw));

        const auto lines = catalogue(folder);
        if (folder == "vantorojichushenru")
            EXPECT_GE(lines.size(), 2000u);
        else
            EXPECT_TRUE(lines.size() >= 10 && lines.size() <= 60) << lines.size();
        std::set<std::string> names;
        for (const auto& fields : lines) {
            ASSERT_EQ(fields.size(), 4u);
            EXPECT_TRUE(names.insert(fields[0]).second) << "duplicate " << fields[0];
            EXPECT_EQ(fields[0].find_first_of("/\\"), std::string::npos) << fields[0];
            const int kb = std::stoi(fields[1]);
            EXPECT_TRUE(kb >= 1 && kb <= 8192) << kb;
            EXPECT_EQ(fields[2].size(), 10u) << fields[2];
            EXPECT_FALSE(fields[3].empty());
        }
    }
}

TEST_F(SampleServerTest, zip_hasCatalogueSizeAndIsAValidArchive) {
    for (const auto& [path, kb] : {resource("jar", 1, 512), resource("vantorojichushenru", 2048, 8192),
                                   resource("jisuanjikaoti", 1, 512)}) {
        SCOPED_TRACE(path);
        auto res = client().Get(percentEncode(path));
        ASSERT_TRUE(res);
        ASSERT_EQ(res->status, 200);
        const std::string& zip = res->body;
        ASSERT_EQ(zip.size(), static_cast<std::size_t>(kb) * 1024);
        EXPECT_EQ(zip.substr(0, 4), std::string("PK\x03\x04", 4));
        EXPECT_EQ(zip.substr(zip.size() - 22, 4), std::string("PK\x05\x06", 4));
        // the end record points at the central directory, as an archive tool reads it
        const std::uint32_t centralOffset = le32(zip, zip.size() - 6);
        ASSERT_LT(centralOffset, zip.size());
        EXPECT_EQ(zip.substr(centralOffset, 4), std::string("PK\x01\x02", 4));
        // the stored entry's CRC matches its data
        const std::uint32_t dataSize = le32(zip, 18);
        const std::size_t nameSize = static_cast<unsigned char>(zip[26]);
        const std::string data = zip.substr(30 + nameSize, dataSize);
        EXPECT_EQ(
            le32(zip, 14), static_cast<std::uint32_t>(~0u) ^ [&] {
                std::uint32_t c = ~0u;
                for (unsigned char b : data)
                    for (int k = 0; k < 8; ++k, b >>= 1)
                        c = ((c ^ b) & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
                return c;
            }());
        EXPECT_EQ(res->get_header_value("Content-Length"), std::to_string(zip.size()));
        EXPECT_EQ(m_server.fileBytes(path), zip);
    }
}

TEST_F(SampleServerTest, zip_isTheSameOnEveryServer) {
    const auto path = resource("guanfanglicheng", 1, 512).first;
    SampleServer other;
    EXPECT_EQ(other.fileBytes(path), m_server.fileBytes(path));
    EXPECT_EQ(m_server.fileBytes("/files/guanfanglicheng/no such thing.zip"), std::nullopt);
}

struct RangeCase {
    const char* range;
    int status;
    std::int64_t first; // -1: no body range expected
    std::int64_t last;
};

TEST_F(SampleServerTest, ranges_answerTheAskedBytesOr416) {
    std::string body;
    for (int i = 0; i < 5000; ++i)
        body += static_cast<char>('a' + i % 26);
    m_server.addFile("/t/file.bin", body);
    const RangeCase cases[] = {
        {"bytes=100-", 206, 100, 4999},   {"bytes=100-199", 206, 100, 199}, {"bytes=4999-", 206, 4999, 4999},
        {"bytes=0-99999", 206, 0, 4999},  {"bytes=-10", 206, 4990, 4999},   {"bytes=5000-", 416, -1, -1},
        {"bytes=9000-9100", 416, -1, -1}, {"bytes=0-1,5-9", 200, 0, 4999},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.range);
        auto res = client().Get("/t/file.bin", {{"Range", c.range}});
        ASSERT_TRUE(res);
        EXPECT_EQ(res->status, c.status);
        if (c.status == 416) {
            EXPECT_EQ(res->get_header_value("Content-Range"), "bytes */5000");
            continue;
        }
        EXPECT_EQ(res->body, body.substr(static_cast<std::size_t>(c.first),
                                         static_cast<std::size_t>(c.last - c.first + 1)));
        if (c.status == 206) {
            EXPECT_EQ(res->get_header_value("Content-Range"),
                      "bytes " + std::to_string(c.first) + "-" + std::to_string(c.last) + "/5000");
        }
    }
}

TEST_F(SampleServerTest, ifRange_withAnotherValidator_answersTheWholeFile) {
    m_server.addFile("/t/file.bin", std::string(3000, 'q'));
    auto first = client().Get("/t/file.bin");
    ASSERT_TRUE(first);
    const std::string etag = first->get_header_value("ETag");
    const std::string modified = first->get_header_value("Last-Modified");
    ASSERT_EQ(etag.front(), '"'); // strong
    ASSERT_FALSE(modified.empty());

    for (const auto& [validator, status] : std::vector<std::pair<std::string, int>>{
             {etag, 206}, {modified, 206}, {"\"stale\"", 200}, {"Thu, 01 Jan 2009 00:00:00 GMT", 200}}) {
        SCOPED_TRACE(validator);
        auto res = client().Get("/t/file.bin", {{"Range", "bytes=1000-"}, {"If-Range", validator}});
        ASSERT_TRUE(res);
        EXPECT_EQ(res->status, status);
        EXPECT_EQ(res->body.size(), status == 206 ? 2000u : 3000u);
    }
}

// One fault per row: what is set, and how a client sees it.
struct FaultCase {
    const char* name;
    Faults faults;
    std::function<void(SampleServer&, httplib::Client&, const std::string& body)> check;
};

const std::string kFaultPath = "/t/fault.bin";

std::vector<FaultCase> faultCases() {
    auto faults = [](auto set) {
        Faults f;
        set(f);
        return f;
    };
    return {
        {"dropAfterBytes_firstResponseOnly", faults([](Faults& f) {
             f.dropAfterBytes = 1000;
             f.dropCount = 1;
         }),
         [](SampleServer&, httplib::Client& c, const std::string& body) {
             std::string got;
             auto broken = c.Get(kFaultPath, [&](const char* data, std::size_t n) {
                 got.append(data, n);
                 return true;
             });
             EXPECT_FALSE(broken && broken->status == 200 && got.size() == body.size());
             EXPECT_EQ(got, body.substr(0, got.size()));
             EXPECT_LE(got.size(), 1000u);
             auto whole = c.Get(kFaultPath);
             ASSERT_TRUE(whole);
             EXPECT_EQ(whole->body, body);
         }},
        {"dropAfterBytes_everyResponse", faults([](Faults& f) { f.dropAfterBytes = 0; }),
         [](SampleServer&, httplib::Client& c, const std::string&) {
             for (int i = 0; i < 3; ++i) {
                 auto res = c.Get(kFaultPath);
                 EXPECT_FALSE(res && res->body.size() == 40000u);
             }
         }},
        {"ignoreRange", faults([](Faults& f) { f.ignoreRange = true; }),
         [](SampleServer&, httplib::Client& c, const std::string& body) {
             auto res = c.Get(kFaultPath, {{"Range", "bytes=100-"}});
             ASSERT_TRUE(res);
             EXPECT_EQ(res->status, 200);
             EXPECT_EQ(res->body, body);
         }},
        {"answer416", faults([](Faults& f) { f.answer416 = true; }),
         [](SampleServer&, httplib::Client& c, const std::string&) {
             auto res = c.Get(kFaultPath, {{"Range", "bytes=100-"}});
             ASSERT_TRUE(res);
             EXPECT_EQ(res->status, 416);
             EXPECT_EQ(res->get_header_value("Content-Range"), "bytes */40000");
         }},
        {"rangeShift", faults([](Faults& f) { f.rangeShift = 7; }),
         [](SampleServer&, httplib::Client& c, const std::string& body) {
             auto res = c.Get(kFaultPath, {{"Range", "bytes=100-"}});
             ASSERT_TRUE(res);
             EXPECT_EQ(res->status, 206);
             EXPECT_EQ(res->get_header_value("Content-Range"), "bytes 107-39999/40000");
             EXPECT_EQ(res->body, body.substr(107));
         }},
        {"changeEtag", faults([](Faults& f) { f.changeEtag = true; }),
         [](SampleServer&, httplib::Client& c, const std::string& body) {
             auto first = c.Get(kFaultPath);
             auto second = c.Get(kFaultPath);
             ASSERT_TRUE(first && second);
             EXPECT_NE(first->get_header_value("ETag"), second->get_header_value("ETag"));
             EXPECT_NE(first->get_header_value("Last-Modified"), second->get_header_value("Last-Modified"));
             auto resumed =
                 c.Get(kFaultPath, {{"Range", "bytes=100-"}, {"If-Range", second->get_header_value("ETag")}});
             ASSERT_TRUE(resumed);
             EXPECT_EQ(resumed->status, 200);
             EXPECT_EQ(resumed->body, body);
         }},
        {"status", faults([](Faults& f) { f.status = 500; }),
         [](SampleServer&, httplib::Client& c, const std::string&) {
             auto res = c.Get(kFaultPath);
             ASSERT_TRUE(res);
             EXPECT_EQ(res->status, 500);
             EXPECT_NE(res->body.find("<html"), std::string::npos);
         }},
        {"trickle_sendsPartsOfTheBodyOverTime", faults([](Faults& f) { f.trickleBytesPerSecond = 20000; }),
         [](SampleServer& server, httplib::Client& c, const std::string&) {
             std::int64_t sentAtFirstPiece = -1;
             c.Get(kFaultPath, [&](const char*, std::size_t) {
                 sentAtFirstPiece = server.stats().bodyBytesSent;
                 return false; // enough seen
             });
             EXPECT_GT(sentAtFirstPiece, 0);
             EXPECT_LT(sentAtFirstPiece, 40000);
         }},
        {"headerDelay_stopEndsTheWait", faults([](Faults& f) { f.headerDelayMs = 60000; }),
         [](SampleServer& server, httplib::Client& c, const std::string&) {
             std::thread stopper([&] {
                 while (server.stats().requests == 0)
                     std::this_thread::sleep_for(std::chrono::milliseconds(5));
                 server.stop();
             });
             auto res = c.Get(kFaultPath);
             stopper.join();
             EXPECT_FALSE(res && res->status == 200);
         }},
    };
}

class SampleServerFaultTest : public SampleServerTest, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(SampleServerFaultTest, faultIsObservable) {
    std::string body;
    for (int i = 0; i < 40000; ++i)
        body += static_cast<char>(i * 7 % 251);
    m_server.addFile(kFaultPath, body);
    m_server.setFaults(GetParam().faults);
    auto c = client();
    GetParam().check(m_server, c, body);
}

INSTANTIATE_TEST_SUITE_P(Faults, SampleServerFaultTest, ::testing::ValuesIn(faultCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SampleServerTest, faults_leavePagesAndCataloguesAlone) {
    Faults f;
    f.status = 500;
    m_server.setFaults(f);
    EXPECT_FALSE(get("/files/jar/123.txt").empty());
    EXPECT_FALSE(get("/forum/forum-40-1.html").empty());
    auto res = client().Get(percentEncode(resource("jar", 1, 512).first));
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 500);
}

TEST_F(SampleServerTest, addedFile_keepsItsStatusAndBodyAndHidesTheSampleFile) {
    const std::string html = "<html><body>not found</body></html>";
    m_server.addFile("/files/jar/123.txt", html, 404);
    auto res = client().Get("/files/jar/123.txt");
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 404);
    EXPECT_EQ(res->body, html);
    EXPECT_EQ(m_server.fileBytes("/files/jar/123.txt"), html);
}

TEST_F(SampleServerTest, updateFile_namesTheLatestVersion) {
    EXPECT_EQ(get("/files/update.txt"), "1|V2.5|2");
    m_server.setLatestVersion("V2.6");
    EXPECT_EQ(get("/files/update.txt"), "1|V2.6|2");
}

TEST_F(SampleServerTest, courseLists_pointAtServedVideoPages) {
    for (const char* list : {"zq9jichupeixun", "zq9qianghuapeixun", "jjichu", "jjinjie", "jqianghua"}) {
        SCOPED_TRACE(list);
        const std::string raw = get(std::string("/files/zaixianshiping/") + list + ".txt");
        EXPECT_EQ(raw.substr(raw.size() - 2), "\r\n");
        const auto lines = split(gbk::toUtf8(raw), "\r\n");
        EXPECT_GE(lines.size(), 3u);
        for (const auto& line : lines) {
            const auto fields = split(line, "|");
            ASSERT_EQ(fields.size(), 3u) << line;
            ASSERT_EQ(fields[2].rfind(m_server.root() + "video/", 0), 0u) << fields[2];
            const std::string page = get("/" + fields[2].substr(m_server.root().size()));
            EXPECT_NE(page.find(fields[0]), std::string::npos);
        }
    }
}

TEST_F(SampleServerTest, pages_existForEveryOutsideAddress) {
    for (const char* path :
         {"/forum/", "/forum/thread-2775-1-1.html", "/forum/thread-1804-1-1.html",
          "/forum/thread-2009-1-1.html", "/forum/thread-2792-1-1.html", "/forum/forum-46-1.html",
          "/forum/forum-40-1.html", "/forum/plugin.php?id=dsu_paulsign:sign", "/forum2/",
          "/forum2/misc.php?mod=faq&action=faq&id=4", "/tasks/home.php?mod=task", "/course/index.html",
          "/video/1.html"}) {
        SCOPED_TRACE(path);
        auto res = client().Get(path);
        ASSERT_TRUE(res);
        EXPECT_EQ(res->status, 200);
        EXPECT_NE(res->get_header_value("Content-Type").find("charset=utf-8"), std::string::npos);
        EXPECT_NE(res->body.find("<meta charset=\"utf-8\">"), std::string::npos);
    }
    auto missing = client().Get("/nowhere.html");
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->status, 404);
}

TEST_F(SampleServerTest, http10Request_isAnswered) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(m_server.port()));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    const std::string request = "GET /files/update.txt HTTP/1.0\r\nAccept: */*\r\n\r\n";
    ASSERT_EQ(::send(fd, request.data(), request.size(), 0), static_cast<ssize_t>(request.size()));
    std::string answer;
    char buffer[4096];
    for (ssize_t n; (n = ::recv(fd, buffer, sizeof buffer, 0)) > 0;)
        answer.append(buffer, static_cast<std::size_t>(n));
    ::close(fd);
    EXPECT_EQ(answer.substr(0, 12), "HTTP/1.1 200");
    EXPECT_EQ(answer.substr(answer.size() - 8), "1|V2.5|2");
}

TEST_F(SampleServerTest, stats_countRequestsAndBodyBytes) {
    m_server.addFile("/t/a.bin", std::string(1234, 'a'));
    m_server.resetStats();
    get("/t/a.bin");
    get("/t/a.bin");
    EXPECT_EQ(m_server.stats().requests, 2);
    EXPECT_EQ(m_server.stats().bodyBytesSent, 2468);
}

TEST(SampleServerLifecycle, startAndStop_manyTimes) {
    for (int i = 0; i < 20; ++i) {
        SampleServer server;
        ASSERT_TRUE(server.start(0));
        httplib::Client c("127.0.0.1", server.port());
        auto res = c.Get("/files/update.txt");
        ASSERT_TRUE(res);
        EXPECT_EQ(res->status, 200);
        if (i % 2)
            server.stop(); // the destructor stops the others
    }
}

TEST(SampleServerLifecycle, secondServerOnTakenPort_fails) {
    SampleServer first;
    ASSERT_TRUE(first.start(0));
    SampleServer second;
    EXPECT_FALSE(second.start(first.port()));
}

} // namespace
} // namespace plendrik::sample
