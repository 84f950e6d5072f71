#pragma once
// The one place where an attempt's result becomes the Chinese text that is shown on a status
// line, printed by the console and recorded in the ledger.
#include "token/AttemptResult.h"

#include <string>

// The message with its arguments: the code of an answer without a message of its own, the
// read-back's "not verified" code or the mismatch after its prefix. Empty for a result without
// a message (a successful information query).
std::wstring OutcomeText(const AttemptResult& result);

// Shown in the status colour (black): a success, and the request to insert a token. Everything
// else is shown in red.
bool IsShownAsSuccess(const AttemptResult& result);
