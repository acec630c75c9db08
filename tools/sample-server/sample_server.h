// A loopback HTTP server for the program and its tests: the sample resource tree, and on request
// the faults a real server shows (see Faults).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace plendrik::sample {

class SampleServer {
public:
    SampleServer();
    ~SampleServer();
    // Binds 127.0.0.1:port (0: a free port) and serves on its own thread. False when it cannot bind.
    bool start(int port = 0);
    void stop();
    int port() const;
    std::string root() const; // "http://127.0.0.1:<port>/"

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace plendrik::sample
