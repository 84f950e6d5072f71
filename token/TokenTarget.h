#pragma once
// The start both initialisation attempts share on the maker's module: the binding is there,
// exactly one token is present and its hardware record has been read.
#include "token/AttemptProgress.h"
#include "token/AttemptResult.h"
#include "token/Found.h"
#include "token/TokenModule.h"

// Not bound or listing failed: IDS_INIT_MODULE_FAILED (NoModule). Two or more tokens:
// IDS_ONE_TOKEN_ONLY. None: IDS_INSERT_TOKEN. One: IDS_INITIALISING as progress, then the record;
// unreadable: IDS_NO_DEVICE_INFO, a counted failure; refused by `progress` (MayWorkOn):
// IDS_NOT_IN_STOCK with CKR_CANCEL, a counted failure. `bShowRunning` (a batch run's wipe): the
// run shows as running once the listing succeeded, before the token count is looked at.
Found<VendorRecord> FindTokenTarget(TokenModule* module, AttemptProgress& progress,
                                    bool bShowRunning = false);
