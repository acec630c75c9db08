// The shared main of the benchmarks that need a QApplication: takes the benchmark's own flags
// ("--name=value"), hands the rest to Google Benchmark, and runs offscreen when there is no display.
#pragma once

#include <benchmark/benchmark.h>

#include <QApplication>

#include <cstdlib>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace plendrik::bench {

struct BenchFlag {
    std::string_view prefix; // "--lines="
    std::function<void(const char* value)> set;
};

[[noreturn]] inline void runQtBenchmarks(int argc, char** argv, std::initializer_list<BenchFlag> flags) {
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i) {
        const std::string_view arg = argv[i];
        bool taken = false;
        for (const BenchFlag& flag : flags)
            if (arg.substr(0, flag.prefix.size()) == flag.prefix) {
                flag.set(argv[i] + flag.prefix.size());
                taken = true;
            }
        if (!taken)
            rest.push_back(argv[i]);
    }
    int restCount = static_cast<int>(rest.size());
    rest.push_back(nullptr);
    benchmark::Initialize(&restCount, rest.data());
    QApplication application(restCount, rest.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::_Exit(0); // windows, engines and servers end with the process
}

} // namespace plendrik::bench
