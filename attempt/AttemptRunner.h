#pragma once
// The one policy every front end applies to an attempt and a run: the text shown, whether it
// counts, the ledger line and its notes, the end of a run after the module refused its SO PIN
// (AttemptStop::SoPinRefused) or its count was reached, the run's counters and the console's
// exit codes. Pages, the station and the console only show what it decided.
#include "attempt/AttemptFrontEnd.h"
#include "attempt/AttemptOutcome.h"
#include "attempt/Job.h"
#include "attempt/StockGate.h"
#include "ledger/Ledger.h"
#include "token/AttemptProgress.h"
#include "token/AttemptResult.h"

#include <functional>
#include <string>

// Where the note that a batch run stopped goes: the window program records it in the ledger
// line's message, before the ledger's own notes; the console shows it after them and keeps the
// message as the operation gave it.
enum class StopNote { InMessage, AfterNotes };

struct AttemptSetting {
    LedgerOperation operation = LedgerOperation::Wipe;
    LedgerMode mode = LedgerMode::Single;
    std::wstring label;       // PKI initialisation
    Ledger* ledger = nullptr; // null: nothing is written, no note is added
    StopNote stopNote = StopNote::InMessage;
    StockGate* stock = nullptr; // null, or no list in force: every token is worked on
    // A PKI initialisation: each token's own user PIN, sealed (attempt/TokenIssuer.h).
    RandomUserPin randomUserPin;
};

// The setting of an attempt of `job` in `mode`: its operation and label recorded in `ledger`,
// its tokens admitted by `stock`.
AttemptSetting JobSetting(const Job& job, LedgerMode mode, Ledger* ledger, StockGate* stock,
                          StopNote stopNote = StopNote::InMessage);

using AttemptOperation = std::function<AttemptResult(AttemptProgress& progress)>;

// Runs `operation`, passing its progress and question to `frontEnd`, then records the counted
// outcome in the ledger and only then shows it.
AttemptOutcome RunAndRecordAttempt(const AttemptOperation& operation, const AttemptSetting& setting,
                                   AttemptFrontEnd& frontEnd);

// An information query's result: a success is recorded (its message empty: the page has no
// status line); nothing is shown.
AttemptOutcome RecordInfoQuery(const AttemptResult& result, Ledger* ledger);

// vantor-cli's exit code of one attempt (attempt/ExitCode.h).
int ExitCodeOf(const AttemptOutcome& outcome);

// The counters of a run and what they decide: every counted outcome adds to them; a run ends
// when the SO PIN given for it was refused or its count is reached; and the run's exit code.
// The pages, the station and the console keep their counts here and only show them.
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
