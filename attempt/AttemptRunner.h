#pragma once
// The one policy every front end applies to an attempt: the text shown, whether it counts, the
// ledger line and its notes, the end of a batch run after the module refused its SO PIN
// (AttemptStop::SoPinRefused), and the console's
// exit code. Pages and the console only show the outcome and answer the final-try question.
#include "attempt/AttemptFrontEnd.h"
#include "attempt/AttemptOutcome.h"
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
};

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
