#pragma once
// What the runner made of one attempt: the operation's result, the ledger line as written, the
// notes shown after it, and whether a run ends with it.
#include "ledger/LedgerEntry.h"
#include "token/AttemptResult.h"

#include <string>

struct AttemptOutcome {
    AttemptResult result;
    // The ledger's fields: as written for a counted attempt; for an uncounted one what is
    // known, with the text shown as its message.
    LedgerEntry entry;
    std::wstring note;          // shown after the entry's message: the ledger's notes, a batch stop
    bool bLedgerFailed = false; // the ledger line could not be written
    LedgerTime time;            // the ledger line's time, or when the attempt ended
    bool bStopBatch = false;    // a batch run ends here; a station takes no new token

    bool IsCounted() const { return result.IsCounted(); }
    // The text a front end shows: the message and its notes.
    std::wstring ShownText() const { return entry.message + note; }
};
