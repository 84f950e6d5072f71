#pragma once
// The PKI initialisation on a module without the vendor extension: C_InitToken with the SO PIN
// and the label, then the user PIN set in an SO session and, on a token initialised before, the
// new SO PIN in place of its current one. Retry limits and storage sizes cannot be set so.
#include "pki/PkiInitRecord.h"
#include "token/AttemptProgress.h"
#include "token/AttemptResult.h"
#include "token/TokenModule.h"

// Called by InitialisePkiToken for a module bound without the extension. A token initialised
// before needs params.strCurrentSoPin (otherwise the counted failure IDS_STD_CURRENT_SO_PIN);
// the SO PIN guard reads its flags first. After C_InitToken the token is found again by its
// serial number (a token never initialised by the one it was just given, which the result then
// carries) and, after the last write, read back as on the vendor path.
AttemptResult InitStandardToken(TokenModule& module, const PkiInitParams& params, AttemptProgress& progress);
