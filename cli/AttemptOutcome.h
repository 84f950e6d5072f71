#pragma once
// One attempt as the ledger records it: what was done to which token and how it ended.
// Fields not known in an attempt stay empty.
#include "token/Pkcs11.h"

#include <optional>
#include <string>
#include <vector>

// `kNone`: no token was handled (none or several present, module trouble); such an attempt
// is shown but never counted.
enum class Outcome { kSuccess, kFailure, kNone };

struct AttemptOutcome {
    std::wstring operation; // wipe, pki or info
    std::wstring mode;      // single or batch
    std::wstring slot;
    std::wstring serial;
    std::wstring cosVersion;
    std::wstring typeBefore; // pki, blank, lock or unknown(N)
    std::wstring label;      // PKI initialisation only
    Outcome outcome = Outcome::kNone;
    std::optional<CK_RV> rv;
    std::wstring message; // the status text shown
    // Further fields a human reads below the message (the information page's fields);
    // JSON carries them as extra keys.
    struct Detail {
        const char* key; // JSON key; null: shown to a human only
        std::wstring caption;
        std::wstring value;
    };
    std::vector<Detail> details;
};

// The exit code of a single attempt: 0 success, 1 failure on the token, 3 no single token,
// 4 the module's own trouble (message 106).
int ExitCodeOf(const AttemptOutcome& attempt);
