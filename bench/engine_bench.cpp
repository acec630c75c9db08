// The download engine's figures:
//   (a) throughput of a 1 GiB file from nginx on loopback into /dev/shm, against the curl tool in
//       the same run (ratio engine / curl; goal >= 0.95);
//   (b) stopTask latency with a transfer running against a trickling sample server (p99 of 50 stops;
//       goal < 50 ms);
//   (c) bytes the server sent for a file paused at half and continued (goal <= size + 1 MiB).
// Usage: bench_engine_bench [--size-mib N] [--rounds N] [--stops N] [--read-block BYTES]
#include "downloads/engine/curl/curl_engine.h"
#include "sample_server.h"

#include <curl/curl.h>

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <netinet/in.h>
#include <optional>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using namespace plendrik;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

// CPU seconds (user + system) of this process or of its waited-for children.
double cpuSeconds(int who) {
    rusage usage{};
    ::getrusage(who, &usage);
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Waits for the engine's Finished event and keeps its value.
class FinishWaiter final {
public:
    downloads::EngineEventHandler handler() {
        return [this](int code, int, std::int64_t value, std::int64_t, int) {
            if (code == static_cast<int>(downloads::EngineEvent::Finished)) {
                std::lock_guard lock(m_mutex);
                m_finished = value;
                m_changed.notify_all();
            }
            return 0;
        };
    }
    std::optional<std::int64_t> wait(std::chrono::seconds limit = std::chrono::seconds(300)) {
        std::unique_lock lock(m_mutex);
        m_changed.wait_for(lock, limit, [this] { return m_finished.has_value(); });
        auto out = m_finished;
        m_finished.reset();
        return out;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::optional<std::int64_t> m_finished;
};

// An engine whose task reports its finish to a waiter; the waiter outlives the engine.
struct BenchTask {
    FinishWaiter waiter;
    std::unique_ptr<downloads::DownloadEngine> engine = downloads::createCurlEngine();
    downloads::TaskRecord record;

    BenchTask(std::string address, std::string savePath) {
        record.address = std::move(address);
        record.savePath = std::move(savePath);
        record.eventHandler = waiter.handler();
    }
};

int freePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}

pid_t spawn(const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    for (const auto& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return -1;
    return pid;
}

int waitChild(pid_t pid) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool waitForPort(int port) {
    for (int i = 0; i < 500; ++i) {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        const bool up = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        ::close(fd);
        if (up)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

void writePatternFile(const std::string& path, std::int64_t size) {
    std::ofstream out(path, std::ios::binary);
    std::vector<std::uint64_t> block(1 << 17);
    std::uint64_t x = 88172645463325252ull;
    for (std::int64_t written = 0; written < size;) {
        for (auto& word : block) {
            x ^= x << 13;
            x ^= x >> 7;
            x ^= x << 17;
            word = x;
        }
        const auto bytes = std::min<std::int64_t>(size - written, block.size() * sizeof(std::uint64_t));
        out.write(reinterpret_cast<const char*>(block.data()), bytes);
        written += bytes;
    }
}

bool sameFiles(const std::string& a, const std::string& b) {
    std::ifstream x(a, std::ios::binary), y(b, std::ios::binary);
    std::vector<char> p(1 << 20), q(1 << 20);
    while (x && y) {
        x.read(p.data(), p.size());
        y.read(q.data(), q.size());
        if (x.gcount() != y.gcount() || std::memcmp(p.data(), q.data(), x.gcount()) != 0)
            return false;
    }
    return x.eof() && y.eof();
}

// nginx serving one folder on a free loopback port, as a child process for the bench's life.
class Nginx final {
public:
    explicit Nginx(const std::string& prefix) : m_prefix(prefix) {
        m_port = freePort();
        fs::create_directories(prefix + "/www");
        fs::create_directories(prefix + "/logs");
        std::ofstream(prefix + "/nginx.conf")
            << "daemon off;\nworker_processes 1;\npid " << prefix << "/nginx.pid;\nerror_log " << prefix
            << "/logs/error.log;\nevents { worker_connections 64; }\nhttp {\n  access_log off;\n"
            << "  client_body_temp_path " << prefix << "/tmp;\n  proxy_temp_path " << prefix << "/tmp;\n"
            << "  fastcgi_temp_path " << prefix << "/tmp;\n  uwsgi_temp_path " << prefix << "/tmp;\n"
            << "  scgi_temp_path " << prefix << "/tmp;\n"
            << "  server { listen 127.0.0.1:" << m_port << "; root " << prefix << "/www; sendfile on; }\n}\n";
        fs::create_directories(prefix + "/tmp");
        m_pid = spawn({"nginx", "-c", prefix + "/nginx.conf", "-p", prefix + "/"});
        if (m_pid > 0 && !waitForPort(m_port)) {
            stop();
        }
    }
    ~Nginx() { stop(); }
    bool running() const { return m_pid > 0; }
    std::string url(const std::string& name) const {
        return "http://127.0.0.1:" + std::to_string(m_port) + "/" + name;
    }

private:
    void stop() {
        if (m_pid > 0) {
            ::kill(m_pid, SIGTERM);
            waitChild(m_pid);
        }
        m_pid = -1;
    }

    std::string m_prefix;
    int m_port = 0;
    pid_t m_pid = -1;
};

struct Options {
    std::int64_t sizeMiB = 1024;
    int rounds = 3;
    int stops = 50;
    int readBlock = downloads::TaskRecord{}.readBlock;
};

// (a) The engine against the curl tool, alternating, best of `rounds` each.
void throughput(const Options& options) {
    const std::string prefix = "/dev/shm/plendrik-bench-" + std::to_string(::getpid());
    Nginx nginx(prefix);
    if (!nginx.running()) {
        std::printf("(a) throughput: nginx did not start, skipped\n");
        fs::remove_all(prefix);
        return;
    }
    const std::int64_t size = options.sizeMiB * 1024 * 1024;
    writePatternFile(prefix + "/www/big.bin", size);
    const std::string url = nginx.url("big.bin");
    const std::string target = prefix + "/engine.bin";
    const std::string curlTarget = prefix + "/curl.bin";

    BenchTask task(url, target);
    auto& [waiter, engine, record] = task;
    record.readBlock = options.readBlock;

    double bestEngine = 1e9, bestCurl = 1e9;
    double engineCpu = 1e9, curlCpu = 1e9;
    bool whole = true;
    for (int round = 0; round < options.rounds; ++round) {
        fs::remove(target);
        auto start = Clock::now();
        double cpuBefore = cpuSeconds(RUSAGE_SELF);
        engine->addTask(record);
        const auto done = waiter.wait();
        const double engineSeconds = secondsSince(start);
        engineCpu = std::min(engineCpu, cpuSeconds(RUSAGE_SELF) - cpuBefore);
        whole = whole && done == size && sameFiles(target, prefix + "/www/big.bin");
        bestEngine = std::min(bestEngine, engineSeconds);
        fs::remove(target);

        fs::remove(curlTarget);
        start = Clock::now();
        cpuBefore = cpuSeconds(RUSAGE_CHILDREN);
        const pid_t curl = spawn({"curl", "-s", "-o", curlTarget, url});
        const int status = curl > 0 ? waitChild(curl) : -1;
        const double curlSeconds = secondsSince(start);
        curlCpu = std::min(curlCpu, cpuSeconds(RUSAGE_CHILDREN) - cpuBefore);
        if (status == 0)
            bestCurl = std::min(bestCurl, curlSeconds);
        fs::remove(curlTarget);
        std::printf("    round %d: engine %.3f s, curl %.3f s\n", round + 1, engineSeconds, curlSeconds);
    }
    const double mib = static_cast<double>(size) / (1024 * 1024);
    std::printf("(a) %lld MiB from nginx into /dev/shm (best of %d, read block %d)\n",
                static_cast<long long>(options.sizeMiB), options.rounds, options.readBlock);
    std::printf("    %-8s %10s %12s %12s\n", "client", "seconds", "MiB/s", "CPU seconds");
    std::printf("    %-8s %10.3f %12.1f %12.3f\n", "engine", bestEngine, mib / bestEngine, engineCpu);
    std::printf("    %-8s %10.3f %12.1f %12.3f\n", "curl", bestCurl, mib / bestCurl, curlCpu);
    std::printf("    ratio engine/curl = %.3f (goal >= 0.95), file whole: %s\n", bestCurl / bestEngine,
                whole ? "yes" : "NO");
    engine.reset();
    fs::remove_all(prefix);
}

// (b) Latency of stopTask with a transfer receiving from a trickling server.
void stopLatency(const Options& options, sample::SampleServer& server) {
    server.addFile("/files/bench/slow.zip", std::string(4 * 1024 * 1024, 'x'));
    sample::Faults faults;
    faults.trickleBytesPerSecond = 64 * 1024;
    server.setFaults(faults);
    const std::string folder = "/dev/shm/plendrik-stop-" + std::to_string(::getpid());
    fs::create_directories(folder);

    BenchTask task(server.resourceServerBase() + "bench/slow.zip", folder + "/slow.zip");
    auto& [waiter, engine, record] = task;

    std::vector<double> millis;
    for (int i = 0; i < options.stops; ++i) {
        if (!engine->addTask(record))
            continue;
        const auto until = Clock::now() + std::chrono::seconds(30);
        while (engine->doneLength() == 0 && Clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        downloads::TaskState state;
        const auto start = Clock::now();
        engine->stopTask(state, 2);
        millis.push_back(secondsSince(start) * 1000);
        waiter.wait();
    }
    std::sort(millis.begin(), millis.end());
    auto rank = [&](double q) {
        const auto index = static_cast<std::size_t>(std::ceil(q * millis.size())) - 1;
        return millis[std::min(index, millis.size() - 1)];
    };
    std::printf("(b) stopTask with a transfer running, %zu stops (trickle 64 KiB/s)\n", millis.size());
    if (!millis.empty())
        std::printf("    p50 %.3f ms, p99 %.3f ms, max %.3f ms (goal p99 < 50 ms)\n", rank(0.50), rank(0.99),
                    millis.back());
    server.setFaults({});
    fs::remove_all(folder);
}

// (c) Pause at half, continue: what the server sent in all.
void pauseAndContinue(sample::SampleServer& server) {
    const std::int64_t size = 32 * 1024 * 1024;
    server.addFile("/files/bench/half.zip", std::string(size, 'h'));
    sample::Faults faults;
    faults.trickleBytesPerSecond = 16 * 1024 * 1024;
    server.setFaults(faults);
    server.resetStats();
    const std::string folder = "/dev/shm/plendrik-half-" + std::to_string(::getpid());
    fs::create_directories(folder);

    BenchTask task(server.resourceServerBase() + "bench/half.zip", folder + "/half.zip");
    auto& [waiter, engine, record] = task;
    engine->addTask(record);
    const auto until = Clock::now() + std::chrono::seconds(60);
    while (engine->doneLength() < size / 2 && Clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    downloads::TaskState state;
    engine->stopTask(state, 2);
    const auto pausedAt = waiter.wait().value_or(-1);
    server.setFaults({});
    engine->resumeTask(record, state);
    const auto finished = waiter.wait().value_or(-1);
    const auto sent = server.stats().bodyBytesSent;
    std::printf("(c) pause at half and continue, %lld MiB file\n", static_cast<long long>(size >> 20));
    std::printf("    paused at %lld bytes, finished with %lld, server sent %lld bytes = size + %lld "
                "(goal <= size + 1048576)\n",
                static_cast<long long>(pausedAt), static_cast<long long>(finished),
                static_cast<long long>(sent), static_cast<long long>(sent - size));
    fs::remove_all(folder);
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        const long long value = std::atoll(argv[i + 1]);
        if (name == "--size-mib")
            options.sizeMiB = value;
        else if (name == "--rounds")
            options.rounds = static_cast<int>(value);
        else if (name == "--stops")
            options.stops = static_cast<int>(value);
        else if (name == "--read-block")
            options.readBlock = static_cast<int>(value);
    }
    std::signal(SIGPIPE, SIG_IGN);
    curl_global_init(CURL_GLOBAL_ALL);
    throughput(options);
    {
        sample::SampleServer server;
        if (server.start(0)) {
            stopLatency(options, server);
            pauseAndContinue(server);
        } else {
            std::printf("(b), (c): the sample server did not start, skipped\n");
        }
    }
    curl_global_cleanup();
    return 0;
}
