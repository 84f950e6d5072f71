#pragma once
// Before a PKI token is wiped: its SO PIN's retry state decides whether the wipe may try the
// operator's PIN at all. A locked PIN is never tried; a PIN at its final try, which a typing
// error would lock for good, is tried only in a single run after the operator says yes.
#include "blank/BlankFormat.h"

// CKR_OK: go on and wipe (also when C_GetTokenInfo cannot tell). Otherwise the attempt has
// been reported and ends with this result: CKR_PIN_LOCKED after the counted failure "locked",
// CKR_FUNCTION_CANCELED after the counted failure "final try, batch mode" or, in a single run
// the operator answered No, the uncounted "已取消".
CK_RV GuardSoPin(TokenModule& module, CK_SLOT_ID slot, bool bBatch, BlankFormatReporter& reporter);
