#pragma once
// The counters of a run and what they decide: every counted outcome adds to them; a run ends
// when the SO PIN given for it was refused or its count is reached; and the run's exit code.
// The pages, the station and the console keep their counts here and only show them.
#include "attempt/AttemptOutcome.h"

struct RunCounts {
    unsigned long total = 0;
    unsigned long success = 0;
    unsigned long failure = 0;
};

class RunTally {
  public:
    // `countLimit`: the run ends after this many counted attempts; 0: no limit.
    explicit RunTally(unsigned long countLimit = 0) : m_countLimit(countLimit) {}

    // Counts `outcome` when it counts. True when the run ends with it.
    bool Add(const AttemptOutcome& outcome);
    const RunCounts& Counts() const { return m_counts; }

  private:
    unsigned long m_countLimit;
    RunCounts m_counts;
};

// A run's exit code at its end: 5 when a ledger line was lost, else 0 when no counted attempt
// failed, else 1 (attempt/ExitCode.h).
int RunExitCode(const RunCounts& counts, bool bLedgerFailed);
