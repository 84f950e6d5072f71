#pragma once
// The benchmarks of Vantor.exe under the stand-in module, each measured side by side with its
// baseline in the same run. Each prints its rows and notes and returns false when a figure
// could not be measured at all (a missed target is a FAIL row, not an error).
struct BenchOptions {
    int startupRuns = 11;    // per program, after one unmeasured warm-up start each
    int latencyEvents = 120; // insertions, and as many Stop presses
    int idleSeconds = 60;
    int churnEvents = 10000; // each one attempt: half insertions, half removals
    int warmUpEvents = 1000; // also the events between two empty-outs of the stand-in's journal
};

bool RunStartupBench(const BenchOptions& options);
bool RunLatencyBench(const BenchOptions& options);
bool RunIdleBench(const BenchOptions& options);
bool RunEnduranceBench(const BenchOptions& options);
