// plendrik-sample-server: the sample resource tree on loopback, with optional faults.
#include "sample_server.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char* const kUsage = "usage: plendrik-sample-server [options]\n"
                           "  --port N              port on 127.0.0.1 (default 28500, 0 = any free port)\n"
                           "  --latest-version V    the label update.txt names (default V2.5)\n"
                           "faults, applied to zip files:\n"
                           "  --drop-after N        close the connection after N body bytes\n"
                           "  --drop-count N        only the first N responses drop (default: all)\n"
                           "  --ignore-range        answer ranged requests with 200 and the whole file\n"
                           "  --answer-416          answer every ranged request with 416\n"
                           "  --range-shift N       answer 206 from the asked offset + N\n"
                           "  --change-etag         every response carries a new ETag and Last-Modified\n"
                           "  --status N            answer every request with status N\n"
                           "  --trickle BPS         send bodies at most BPS bytes per second\n"
                           "  --header-delay MS     wait MS milliseconds before answering\n"
                           "  --help                this text\n";

long long numberArg(int& i, int argc, char** argv) {
    if (i + 1 >= argc) {
        std::fprintf(stderr, "%s needs a value\n%s", argv[i], kUsage);
        std::exit(2);
    }
    char* end = nullptr;
    const long long value = std::strtoll(argv[++i], &end, 10);
    if (end == argv[i] || *end != '\0') {
        std::fprintf(stderr, "%s: not a number: %s\n", argv[i - 1], argv[i]);
        std::exit(2);
    }
    return value;
}

} // namespace

int main(int argc, char** argv) {
    int port = 28500;
    std::string latest;
    plendrik::sample::Faults faults;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (arg == "--port") {
            port = static_cast<int>(numberArg(i, argc, argv));
        } else if (arg == "--latest-version" && i + 1 < argc) {
            latest = argv[++i];
        } else if (arg == "--drop-after") {
            faults.dropAfterBytes = numberArg(i, argc, argv);
        } else if (arg == "--drop-count") {
            faults.dropCount = static_cast<int>(numberArg(i, argc, argv));
        } else if (arg == "--ignore-range") {
            faults.ignoreRange = true;
        } else if (arg == "--answer-416") {
            faults.answer416 = true;
        } else if (arg == "--range-shift") {
            faults.rangeShift = numberArg(i, argc, argv);
        } else if (arg == "--change-etag") {
            faults.changeEtag = true;
        } else if (arg == "--status") {
            faults.status = static_cast<int>(numberArg(i, argc, argv));
        } else if (arg == "--trickle") {
            faults.trickleBytesPerSecond = numberArg(i, argc, argv);
        } else if (arg == "--header-delay") {
            faults.headerDelayMs = static_cast<int>(numberArg(i, argc, argv));
        } else {
            std::fprintf(stderr, "unknown option: %s\n%s", argv[i], kUsage);
            return 2;
        }
    }

    // Block the stop signals before any server thread exists, then wait for one here.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    plendrik::sample::SampleServer server;
    if (!latest.empty())
        server.setLatestVersion(latest);
    server.setFaults(faults);
    if (!server.start(port)) {
        std::fprintf(stderr, "cannot listen on 127.0.0.1:%d\n", port);
        return 1;
    }
    // the word lists are read from the source tree at run time
    if (server.fileBytes("/files/jar/123.txt").value_or("").empty())
        std::fprintf(stderr, "warning: no sample data in %s: the catalogues are empty\n",
                     PLENDRIK_SAMPLE_DATA);
    std::printf("listening on %s\n", server.root().c_str());
    std::fflush(stdout);

    int received = 0;
    sigwait(&signals, &received);
    server.stop();
    return 0;
}
