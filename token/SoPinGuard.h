#pragma once
// Before a token's SO PIN is tried (a wipe, or through standard calls an initialisation of a
// token initialised before): its retry state decides whether the operator's PIN may be tried
// at all. A locked PIN is never tried; a PIN at its final try, which a typing
// error would lock for good, is tried only in a single run after the operator says yes.
#include "token/AttemptProgress.h"
#include "token/AttemptResult.h"
#include "token/TokenModule.h"

#include <optional>

// Nothing when the PIN of `token` (one seen in its slot) may be tried (tries left, the module cannot
// tell, or the operator said yes to the final try). Otherwise the attempt's end on `token`:
// the counted failure IDS_SO_PIN_LOCKED with CKR_PIN_LOCKED, the counted failure
// IDS_SO_PIN_FINAL_TRY_BATCH or, when the operator answered No, the cancelled IDS_CANCELLED,
// both with CKR_FUNCTION_CANCELED.
std::optional<AttemptResult> GuardSoPin(TokenModule& module, const SeenToken& token, bool bBatch,
                                        AttemptProgress& progress);
