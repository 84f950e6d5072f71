#pragma once
// One attempt to initialise the single present blank or PKI token as a PKI token with new
// PINs, retry limits, label and storage sizes.
#include "token/FormatReporter.h"
#include "pki/PkiInitRecord.h"
#include "token/TokenModule.h"

// `module` is the binding read anew for this attempt; null when the module is not bound.
// `params` is the attempt's own copy of the page's values. Returns 6 when not bound, 1 when
// the label's byte length is out of range, the listing's or the module's result, or 0 when
// the attempt ended without asking the module. After E_InitPkiToken answered CKR_OK: 0, or
// CKR_GENERAL_ERROR when the token read back does not hold what was sent.
CK_RV FormatPkiToken(TokenModule* module, const PkiFormatParams& params, FormatReporter& reporter);
