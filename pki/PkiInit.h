#pragma once
// One attempt to initialise the single present blank or PKI token as a PKI token with new
// PINs, retry limits, label and storage sizes.
#include "pki/PkiInitRecord.h"
#include "token/AttemptProgress.h"
#include "token/AttemptResult.h"
#include "token/TokenModule.h"

// `module` is the binding read anew for this attempt; null when the module is not bound.
// `params` is the attempt's own copy of the page's values. A label whose byte length is out of
// range ends the attempt before the module is asked (IDS_LABEL_LENGTH, CKR_CANCEL: the attempt
// gave up on its own). After E_InitPkiToken answered CKR_OK the token is read back.
AttemptResult InitialisePkiToken(TokenModule* module, const PkiInitParams& params, AttemptProgress& progress);
