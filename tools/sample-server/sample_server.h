// A loopback HTTP server for the program and its tests: the sample resource tree (GBK catalogues,
// zip files, update.txt, course lists, simple pages), files a test adds, and on request the faults
// a real server shows.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace plendrik::sample {

// Misbehaviour, applied to the zip files and to files added with addFile (not to pages, and not to
// the sample catalogues, update.txt or course lists: a test that wants a bad one adds it).
struct Faults {
    std::int64_t dropAfterBytes = -1;       // close the connection after this many body bytes; -1 never
    int dropCount = -1;                     // how many responses drop before the server behaves; -1 all
    bool ignoreRange = false;               // answer a ranged request with 200 and the whole file
    bool answer416 = false;                 // answer every ranged request with 416
    std::int64_t rangeShift = 0;            // answer 206 from (asked offset + shift) instead
    bool changeEtag = false;                // every response carries a new ETag and Last-Modified
    int status = 0;                         // answer every request with this status and an HTML body
    std::int64_t trickleBytesPerSecond = 0; // send the body no faster than this; 0 no limit
    int headerDelayMs = 0;                  // wait this long before answering at all
};

struct Stats {
    int requests = 0;
    std::int64_t bodyBytesSent = 0;
};

class SampleServer {
public:
    SampleServer();
    ~SampleServer();
    SampleServer(const SampleServer&) = delete;
    SampleServer& operator=(const SampleServer&) = delete;

    // Binds 127.0.0.1:port (0: a free port) and serves on its own threads. False when it cannot bind.
    bool start(int port = 0);
    void stop();
    int port() const;
    std::string root() const;               // "http://127.0.0.1:<port>/"
    std::string resourceServerBase() const; // root() + "files/"

    // Takes effect for the next response; the drop count starts again.
    void setFaults(const Faults& faults);
    // Serves bytes at the URL path (e.g. "/files/test/123.txt") with the given status.
    void addFile(std::string urlPath, std::string bytes, int status = 200);
    // The bytes served at the URL path (percent-decoded UTF-8 path), when it names a file.
    std::optional<std::string> fileBytes(std::string_view urlPath) const;
    // The version label that update.txt names ("V2.5" unless changed).
    void setLatestVersion(std::string label);
    Stats stats() const;
    void resetStats();

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace plendrik::sample
