#include "sample_server.h"

#include "pages.h"
#include "sample_tree.h"
#include "zip_maker.h"

#include "common/gbk.h"

#include <httplib.h>
#include <sys/socket.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <ctime>
#include <map>
#include <mutex>
#include <thread>

namespace plendrik::sample {
namespace {

constexpr std::time_t kModified = 1398931200; // 2014-05-01 08:00:00 GMT
constexpr std::size_t kZipCacheBytes = 64u << 20;
constexpr std::size_t kChunk = 64u << 10;

// What a URL path names. Faults act on files (zips and added files) only.
struct Served {
    std::shared_ptr<const std::string> bytes;
    int status = 200;
    bool isFile = false;
    std::string contentType;
    std::uint64_t tag = 0;
};

std::string httpDate(std::time_t t) {
    std::tm tm{};
    gmtime_r(&t, &tm);
    char buffer[64];
    std::strftime(buffer, sizeof buffer, "%a, %d %b %Y %H:%M:%S GMT", &tm);
    return buffer;
}

std::string hex(std::uint64_t v) {
    static const char digits[] = "0123456789abcdef";
    std::string out(16, '0');
    for (int i = 15; i >= 0; --i, v >>= 4)
        out[static_cast<std::size_t>(i)] = digits[v & 0xF];
    return out;
}

struct ByteRange {
    std::int64_t first = 0;
    std::int64_t last = -1;   // -1: to the end
    std::int64_t suffix = -1; // "bytes=-N"
};

// One range only; a list of ranges is answered with the whole file, as a server may.
std::optional<ByteRange> parseRange(const std::string& header) {
    const std::string prefix = "bytes=";
    if (header.compare(0, prefix.size(), prefix) != 0 || header.find(',') != std::string::npos)
        return std::nullopt;
    const std::string spec = header.substr(prefix.size());
    const std::size_t dash = spec.find('-');
    if (dash == std::string::npos)
        return std::nullopt;
    auto number = [](const std::string& text, std::int64_t& out) {
        if (text.empty() || text.size() > 18 || !std::all_of(text.begin(), text.end(), ::isdigit))
            return false;
        out = std::stoll(text);
        return true;
    };
    ByteRange range;
    const std::string a = spec.substr(0, dash);
    const std::string b = spec.substr(dash + 1);
    if (a.empty()) {
        if (!number(b, range.suffix))
            return std::nullopt;
        return range;
    }
    if (!number(a, range.first))
        return std::nullopt;
    if (!b.empty() && (!number(b, range.last) || range.last < range.first))
        return std::nullopt;
    return range;
}

std::string contentTypeOf(const std::string& path, const std::string& bytes) {
    if (path.size() > 4 && path.compare(path.size() - 4, 4, ".zip") == 0)
        return "application/zip";
    if (path.size() > 4 && path.compare(path.size() - 4, 4, ".txt") == 0)
        return "text/plain";
    if (!bytes.empty() && bytes.front() == '<')
        return "text/html; charset=utf-8";
    return "application/octet-stream";
}

} // namespace

struct SampleServer::Impl {
    SampleTree tree;
    std::map<std::string, std::shared_ptr<const std::string>> catalogues; // GBK, by folder
    std::map<std::string, const SampleResource*> resources;               // "folder/name"

    std::unique_ptr<httplib::Server> server;
    std::thread thread;
    std::atomic<bool> stopping{false};
    std::atomic<bool> listenEnded{false};
    int port = 0;

    mutable std::mutex mutex; // guards everything below
    Faults faults;
    int drops = 0;
    std::uint64_t etagSerial = 0;
    std::string latest = "V2.5";
    std::map<std::string, Served> added;
    mutable std::map<std::string, std::shared_ptr<const std::string>> zipCache;
    mutable std::size_t zipCacheBytes = 0;

    std::atomic<int> requests{0};
    std::atomic<std::int64_t> bodyBytes{0};

    Impl() {
        tree = loadSampleTree(PLENDRIK_SAMPLE_DATA);
        for (const auto& [folder, list] : tree.catalogues) {
            catalogues[folder] = std::make_shared<const std::string>(gbk::fromUtf8(catalogueText(list)));
            for (const auto& r : list)
                resources[folder + "/" + r.name] = &r;
        }
    }

    std::string root() const { return "http://127.0.0.1:" + std::to_string(port) + "/"; }

    std::shared_ptr<const std::string> zipFor(const std::string& key, const SampleResource& r) const {
        {
            std::lock_guard lock(mutex);
            if (auto it = zipCache.find(key); it != zipCache.end())
                return it->second;
        }
        const std::string entry = r.name + ".txt";
        auto bytes = std::make_shared<const std::string>(
            makeZip(entry, hash64(key), static_cast<std::size_t>(r.sizeKb) * 1024));
        std::lock_guard lock(mutex);
        if (zipCacheBytes + bytes->size() > kZipCacheBytes) {
            zipCache.clear();
            zipCacheBytes = 0;
        }
        if (zipCache.emplace(key, bytes).second)
            zipCacheBytes += bytes->size();
        return bytes;
    }

    std::optional<Served> resolve(const std::string& path) const {
        {
            std::lock_guard lock(mutex);
            if (auto it = added.find(path); it != added.end())
                return it->second;
        }
        const std::string files = "/files/";
        if (path.compare(0, files.size(), files) == 0) {
            const std::string rest = path.substr(files.size());
            if (rest == "update.txt") {
                std::lock_guard lock(mutex);
                const std::string text = gbk::fromUtf8("1|" + latest + "|2");
                return Served{std::make_shared<const std::string>(text), 200, false, "text/plain",
                              hash64(text)};
            }
            const std::size_t slash = rest.find('/');
            if (slash == std::string::npos)
                return std::nullopt;
            const std::string folder = rest.substr(0, slash);
            const std::string file = rest.substr(slash + 1);
            if (folder == "zaixianshiping" && file.size() > 4 && file.ends_with(".txt")) {
                auto it = tree.courseLists.find(file.substr(0, file.size() - 4));
                if (it == tree.courseLists.end())
                    return std::nullopt;
                const std::string text = gbk::fromUtf8(courseListText(it->second, root()));
                return Served{std::make_shared<const std::string>(text), 200, false, "text/plain",
                              hash64(text)};
            }
            if (file == "123.txt") {
                auto it = catalogues.find(folder);
                if (it == catalogues.end())
                    return std::nullopt;
                return Served{it->second, 200, false, "text/plain", hash64(folder)};
            }
            if (file.size() > 4 && file.ends_with(".zip")) {
                const std::string key = folder + "/" + file.substr(0, file.size() - 4);
                auto it = resources.find(key);
                if (it == resources.end())
                    return std::nullopt;
                return Served{zipFor(key, *it->second), 200, true, "application/zip", hash64(key)};
            }
            return std::nullopt;
        }
        if (auto html = pageAt(path, tree)) {
            const std::uint64_t tag = hash64(*html);
            return Served{std::make_shared<const std::string>(std::move(*html)), 200, false,
                          "text/html; charset=utf-8", tag};
        }
        return std::nullopt;
    }

    // Sleeps in short steps so that a stop is never held up by a pause.
    bool pause(std::chrono::milliseconds total) const {
        const auto until = std::chrono::steady_clock::now() + total;
        while (!stopping.load()) {
            const auto now = std::chrono::steady_clock::now();
            if (now >= until)
                return true;
            std::this_thread::sleep_for(
                std::min<std::chrono::steady_clock::duration>(until - now, std::chrono::milliseconds(10)));
        }
        return false;
    }

    void sendHtml(httplib::Response& res, int status, const std::string& html) {
        res.status = status;
        res.set_content(html, "text/html; charset=utf-8");
        bodyBytes += static_cast<std::int64_t>(html.size());
    }

    void handle(const httplib::Request& req, httplib::Response& res);
    void sendBody(httplib::Response& res, const Served& served, std::int64_t first, std::int64_t length,
                  const Faults& f, bool drop);
};

void SampleServer::Impl::handle(const httplib::Request& req, httplib::Response& res) {
    ++requests;
    // The ranges are answered here, faults included; httplib must not apply them a second time.
    const_cast<httplib::Request&>(req).ranges.clear();

    const auto served = resolve(req.path);
    if (!served) {
        sendHtml(res, 404, errorPage(404));
        return;
    }
    Faults f;
    std::uint64_t serial = 0;
    if (served->isFile) {
        std::lock_guard lock(mutex);
        f = faults;
        if (f.changeEtag)
            serial = ++etagSerial;
    }
    if (f.headerDelayMs > 0 && !pause(std::chrono::milliseconds(f.headerDelayMs))) {
        sendHtml(res, 503, errorPage(503)); // stopped while the client waited
        return;
    }
    if (f.status != 0) {
        sendHtml(res, f.status, errorPage(f.status));
        return;
    }

    const auto total = static_cast<std::int64_t>(served->bytes->size());
    const std::string etag = "\"" + hex(served->tag) + "-" + std::to_string(total) +
                             (serial ? "-" + std::to_string(serial) : "") + "\"";
    const std::string modified = httpDate(kModified + static_cast<std::time_t>(serial));
    res.status = served->status;
    if (served->status == 200) {
        res.set_header("ETag", etag);
        res.set_header("Last-Modified", modified);
        res.set_header("Accept-Ranges", "bytes");
    }

    std::int64_t first = 0;
    std::int64_t length = total;
    const auto range = served->status == 200 && req.has_header("Range")
                           ? parseRange(req.get_header_value("Range"))
                           : std::nullopt;
    const bool ifRangeMatches = !req.has_header("If-Range") || req.get_header_value("If-Range") == etag ||
                                req.get_header_value("If-Range") == modified;
    if (range && ifRangeMatches && !f.ignoreRange) {
        std::int64_t start =
            range->suffix >= 0 ? std::max<std::int64_t>(0, total - range->suffix) : range->first;
        std::int64_t last =
            range->suffix >= 0 || range->last < 0 ? total - 1 : std::min(range->last, total - 1);
        if (f.answer416 || start >= total || (range->suffix == 0)) {
            res.status = 416;
            res.set_header("Content-Range", "bytes */" + std::to_string(total));
            res.set_content(errorPage(416), "text/html; charset=utf-8");
            return;
        }
        if (f.rangeShift != 0) {
            start = std::clamp<std::int64_t>(start + f.rangeShift, 0, total - 1);
            last = std::clamp<std::int64_t>(last + f.rangeShift, start, total - 1);
        }
        res.status = 206;
        res.set_header("Content-Range", "bytes " + std::to_string(start) + "-" + std::to_string(last) + "/" +
                                            std::to_string(total));
        first = start;
        length = last - start + 1;
    }

    bool drop = false;
    if (served->isFile && f.dropAfterBytes >= 0 && f.dropAfterBytes < length) {
        std::lock_guard lock(mutex);
        if (faults.dropCount < 0 || drops < faults.dropCount) {
            ++drops;
            drop = true;
        }
    }
    sendBody(res, *served, first, length, f, drop);
}

void SampleServer::Impl::sendBody(httplib::Response& res, const Served& served, std::int64_t first,
                                  std::int64_t length, const Faults& f, bool drop) {
    if (length == 0) {
        res.set_content("", served.contentType);
        return;
    }
    const auto started = std::chrono::steady_clock::now();
    auto bytes = served.bytes;
    const std::int64_t dropAt = drop ? f.dropAfterBytes : -1;
    const std::int64_t rate = f.trickleBytesPerSecond;
    res.set_content_provider(
        static_cast<std::size_t>(length), served.contentType,
        [this, bytes, first, dropAt, rate, started](std::size_t offset, std::size_t,
                                                    httplib::DataSink& sink) {
            if (stopping.load())
                return false;
            const auto at = static_cast<std::int64_t>(offset);
            if (dropAt >= 0 && at >= dropAt)
                return false; // the promised Content-Length is never reached
            std::int64_t chunk = static_cast<std::int64_t>(kChunk);
            if (rate > 0) {
                // keep the sent total on the line rate * elapsed
                chunk = std::max<std::int64_t>(1, std::min<std::int64_t>(chunk, rate / 20));
                const auto due = started + std::chrono::microseconds(at * 1000000 / rate);
                const auto wait = due - std::chrono::steady_clock::now();
                if (wait > std::chrono::steady_clock::duration::zero() &&
                    !pause(std::chrono::duration_cast<std::chrono::milliseconds>(wait) +
                           std::chrono::milliseconds(1)))
                    return false;
            }
            const auto remaining = static_cast<std::int64_t>(bytes->size()) - (first + at);
            chunk = std::min(chunk, remaining);
            if (dropAt >= 0)
                chunk = std::min(chunk, dropAt - at);
            if (chunk <= 0)
                return false;
            // counted first: a client that has the bytes must find them counted
            bodyBytes += chunk;
            if (sink.write(bytes->data() + first + at, static_cast<std::size_t>(chunk)))
                return true;
            bodyBytes -= chunk;
            return false;
        });
}

SampleServer::SampleServer() : m_impl(std::make_unique<Impl>()) {}

SampleServer::~SampleServer() {
    stop();
}

bool SampleServer::start(int port) {
    if (m_impl->server)
        return false;
    auto server = std::make_unique<httplib::Server>();
    // short waits so that stop() never hangs on an idle connection for long
    server->set_keep_alive_timeout(1);
    server->set_read_timeout(2);
    server->set_write_timeout(5);
    // no SO_REUSEPORT: a second server must not share a port that is in use
    server->set_socket_options([](socket_t sock) {
        int yes = 1;
        ::setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    server->Get(R"(/.*)", [impl = m_impl.get()](const httplib::Request& req, httplib::Response& res) {
        impl->handle(req, res);
    });
    int bound = -1;
    if (port == 0)
        bound = server->bind_to_any_port("127.0.0.1");
    else if (server->bind_to_port("127.0.0.1", port))
        bound = port;
    if (bound <= 0)
        return false;
    m_impl->port = bound;
    m_impl->stopping = false;
    m_impl->listenEnded = false;
    m_impl->server = std::move(server);
    m_impl->thread = std::thread([impl = m_impl.get()] {
        impl->server->listen_after_bind();
        impl->listenEnded = true;
    });
    // stop() only takes effect once the server runs
    while (!m_impl->server->is_running() && !m_impl->listenEnded)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return true;
}

void SampleServer::stop() {
    if (!m_impl->server)
        return;
    m_impl->stopping = true;
    m_impl->server->stop();
    m_impl->thread.join();
    m_impl->server.reset();
    m_impl->stopping = false;
}

int SampleServer::port() const {
    return m_impl->port;
}

std::string SampleServer::root() const {
    return m_impl->root();
}

std::string SampleServer::resourceServerBase() const {
    return root() + "files/";
}

void SampleServer::setFaults(const Faults& faults) {
    std::lock_guard lock(m_impl->mutex);
    m_impl->faults = faults;
    m_impl->drops = 0;
}

void SampleServer::addFile(std::string urlPath, std::string bytes, int status) {
    const std::string type = contentTypeOf(urlPath, bytes);
    const std::uint64_t tag = hash64(bytes);
    std::lock_guard lock(m_impl->mutex);
    m_impl->added[std::move(urlPath)] =
        Served{std::make_shared<const std::string>(std::move(bytes)), status, true, type, tag};
}

std::optional<std::string> SampleServer::fileBytes(std::string_view urlPath) const {
    std::string path(urlPath);
    if (auto query = path.find('?'); query != std::string::npos)
        path.resize(query);
    if (auto served = m_impl->resolve(path))
        return *served->bytes;
    return std::nullopt;
}

void SampleServer::setLatestVersion(std::string label) {
    std::lock_guard lock(m_impl->mutex);
    m_impl->latest = std::move(label);
}

Stats SampleServer::stats() const {
    return {m_impl->requests.load(), m_impl->bodyBytes.load()};
}

void SampleServer::resetStats() {
    m_impl->requests = 0;
    m_impl->bodyBytes = 0;
}

} // namespace plendrik::sample
