#pragma once
// What one token gets of its own, chosen once its serial is known and before anything is
// written to it: the label the stock list gives it, and a random user PIN already sealed where
// the supervisor can recover it.
#include "base/SecureBuffer.h"

#include <optional>
#include <string>

struct TokenIssue {
    std::optional<std::wstring> label; // instead of the job's
    std::optional<SecretText> userPin; // instead of the job's: drawn for this token and sealed
    // Nonzero: the PIN could not be sealed; the token is not touched (a counted failure).
    unsigned failureId = 0;
};
