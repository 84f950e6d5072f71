#pragma once
// One attempt to wipe the single present token back to the blank type, after the module has
// checked its current SO PIN.
#include "token/FormatReporter.h"
#include "base/SecureBuffer.h"
#include "token/TokenModule.h"

// The attempt's own copy of the page's values, so the page may reset itself meanwhile.
struct BlankFormatParams {
    SecretText strSoPin; // current SO PIN, sent in the active ANSI code page
    bool bBatch = false;
};

// `module` is the binding read anew for this attempt; null when the module is not bound.
// Returns 6 when not bound, the listing's or the module's result, or 0 when the attempt
// ended without asking the module to wipe. After a wipe answered CKR_OK: 0, or
// CKR_GENERAL_ERROR when the token read back is not blank. CKR_PIN_LOCKED or
// CKR_FUNCTION_CANCELED when the SO PIN guard kept the PIN from being tried.
CK_RV FormatBlankToken(TokenModule* module, const BlankFormatParams& params, BlankFormatReporter& reporter);

// The module's ways of refusing the operator's SO PIN (both shown as IDS_SO_PIN_WRONG): a batch
// run stops there rather than spend one try on every token plugged in after.
bool IsWrongSoPinAnswer(CK_RV rv);
