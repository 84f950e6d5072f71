#pragma once
// One attempt as the console shows it: the ledger's entry of it, and what the console adds.
#include "ledger/LedgerEntry.h"

#include <string>
#include <vector>

struct AttemptRecord {
    // The ledger's fields. An attempt that handled no token is not counted and never written
    // to the ledger; its entry holds what is known and the text shown, its outcome reads "none".
    LedgerEntry entry;
    bool bCounted = false;
    bool bLedgerFailed = false; // the ledger line could not be written
    LedgerTime time;            // the ledger line's time, or when the attempt ended
    std::wstring note;          // shown after the message: the ledger's notes, a batch stop
    // Further fields a human reads below the message (the information page's fields); JSON
    // carries them as extra keys.
    struct Detail {
        const char* key; // JSON key; null: shown to a human only
        std::wstring caption;
        std::wstring value;
    };
    std::vector<Detail> details;
};

// The exit code of a single attempt: 5 when its ledger line was lost (the outcome is in the
// printed line), else 0 success, 1 failure on the token or the final try declined, 3 no single
// token, 4 the module's own trouble (message 106).
int ExitCodeOf(const AttemptRecord& attempt);
