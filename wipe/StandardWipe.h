#pragma once
// The wipe on a module without the vendor extension: the token is initialised again with its
// current SO PIN and an empty label, which destroys every object on it.
#include "wipe/WipeToken.h"

// Called by WipeToken for a module bound without the extension. A token that is not
// initialised counts as done without a call. After C_InitToken answered CKR_OK the token is
// found again by its serial number and read back: initialised, no user PIN, no object left.
AttemptResult WipeStandardToken(TokenModule& module, const WipeParams& params, AttemptProgress& progress);
