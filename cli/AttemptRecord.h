#pragma once
// One attempt as the console shows it: the runner's outcome, and what the console adds.
#include "attempt/AttemptRunner.h"

#include <string>
#include <vector>

struct AttemptRecord {
    // An attempt that handled no token is not counted and never written to the ledger; its
    // entry holds what is known and the text shown, its outcome reads "none".
    AttemptOutcome outcome;
    // Further fields a human reads below the message (the information page's fields); JSON
    // carries them as extra keys.
    struct Detail {
        const char* key; // JSON key; null: shown to a human only
        std::wstring caption;
        std::wstring value;
    };
    std::vector<Detail> details;
};
