// VantorBench [startup] [latency] [idle] [endurance] [--runs=N] [--events=N] [--idle=S]
//             [--churn=N] [--warm-up=N]
// Runs the named benchmarks (all of them without a name) against Vantor.exe and the stand-in
// module in <build>/bin and prints their rows. Exit code 0 when every figure was measured.
#include "bench/Benches.h"
#include "bench/Figures.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Bench {
    const char* name;
    bool (*run)(const BenchOptions&);
};

const Bench kBenches[] = {
    {"startup", RunStartupBench},
    {"latency", RunLatencyBench},
    {"idle", RunIdleBench},
    {"endurance", RunEnduranceBench},
};

// "--key=N" into `value`; false when `arg` is not that option.
bool Option(const char* arg, const char* key, int& value) {
    std::size_t length = std::strlen(key);
    if (std::strncmp(arg, key, length) != 0 || arg[length] != '=')
        return false;
    value = std::atoi(arg + length + 1);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    BenchOptions options;
    std::vector<std::string> chosen;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (Option(arg, "--runs", options.startupRuns) || Option(arg, "--events", options.latencyEvents) ||
            Option(arg, "--idle", options.idleSeconds) || Option(arg, "--churn", options.churnEvents) ||
            Option(arg, "--warm-up", options.warmUpEvents))
            continue;
        chosen.push_back(arg);
    }
    if (options.startupRuns < 1 || options.latencyEvents < 1 || options.idleSeconds < 1 ||
        options.churnEvents < 2 || options.warmUpEvents < 2) {
        std::fprintf(stderr, "every count must be positive (churn and warm-up at least 2)\n");
        return 2;
    }
    int failures = 0;
    for (const Bench& bench : kBenches) {
        bool wanted = chosen.empty();
        for (const std::string& name : chosen)
            wanted = wanted || name == bench.name;
        if (!wanted)
            continue;
        if (!bench.run(options)) {
            PrintRow(bench.name, "not measured", "-", Verdict::kFail);
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
