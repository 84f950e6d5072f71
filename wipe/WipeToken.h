#pragma once
// One attempt to wipe the single present token back to the blank type, after the module has
// checked its current SO PIN.
#include "base/SecureBuffer.h"
#include "token/AttemptProgress.h"
#include "token/AttemptResult.h"
#include "token/TokenModule.h"

// The attempt's own copy of the page's values, so the page may reset itself meanwhile.
struct WipeParams {
    SecretText strSoPin; // current SO PIN, sent in the active ANSI code page
    bool bBatch = false;
};

// `module` is the binding read anew for this attempt; null when the module is not bound. A
// blank token counts as done without a wipe; after a wipe answered CKR_OK the token is read
// back and must show the blank type.
AttemptResult WipeToken(TokenModule* module, const WipeParams& params, AttemptProgress& progress);
