#pragma once
// The commands over the console's workbench (its binding, ledger and stock list). Each returns
// the program's exit code.
#include "attempt/AttemptRunner.h"
#include "attempt/Job.h"
#include "attempt/StockGate.h"
#include "cli/OutcomeWriter.h"
#include "workbench/Workbench.h"

#include <string>
#include <vector>

// What one wipe or PKI attempt needs: the operation and its values. The PINs are the run's
// own copies, wiped when it ends.
struct TokenJob {
    Job job;
    bool bProfileSetsLimits = false;
};

int RunInfo(Workbench& bench, OutcomeWriter& writer);
int RunJobOnce(Workbench& bench, const TokenJob& job, OutcomeWriter& writer);

struct WatchLimits {
    unsigned long count = 0;       // counted attempts; 0: no limit
    unsigned long idleSeconds = 0; // without a slot event; 0: no limit
};
// 4 when the run could not start, 5 when a ledger line was lost, otherwise 0 when every
// counted attempt succeeded and 1 when one failed.
int RunWatch(Workbench& bench, const TokenJob& job, const WatchLimits& limits, bool bJson,
             OutcomeWriter& writer);

// The end of a watch or station run: the counters shown (on standard error with --json), and
// 5 when a ledger line was lost, otherwise 0 when no counted attempt failed and 1 when one did.
int EndRun(const RunCounts& counts, bool bJson, const OutcomeWriter& writer);

// What a station run takes besides the job: the options its children get and its ends.
struct StationRun {
    std::wstring modulePath;                // as the operator named it; empty: the program's own search
    WatchLimits limits;                     // count: tokens taken; idle: without a token taken or ended
    unsigned long limitSeconds = 0;         // 0: the station's default limit
    std::vector<std::wstring> pinVariables; // the PINs' environment variables: none reaches a child
};
// Every present token handled at once, each in a child process of this program; exit codes
// as RunWatch.
int RunStation(Workbench& bench, const TokenJob& job, const StationRun& run, bool bJson,
               OutcomeWriter& writer);

// An attempt's outcome as the console writes it: with the stock list's progress while one is
// in force.
AttemptRecord RecordOf(const AttemptOutcome& outcome, const StockGate& stock);
