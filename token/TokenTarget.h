#pragma once
// The start and the end both initialisation attempts share: the binding is there, exactly one
// token is present and its hardware record has been read; and the module's answer, or the
// read-back after its CKR_OK, as the attempt's result.
#include "token/AttemptProgress.h"
#include "token/AttemptResult.h"
#include "token/TokenModule.h"

#include <cstddef>

struct TokenTarget {
    bool bFound = false;  // the attempt goes on with result.slot and result.info
    AttemptResult result; // the token found so far; when not found, how the attempt ended
};

// A counted end on the token found, without asking the module.
AttemptResult CountedEnd(AttemptResult token, AttemptKind kind, unsigned messageId);
// A counted failure on the token found that the module was never asked about: the attempt
// gave up on its own (CKR_CANCEL), as for a label out of range or a token off the stock list.
AttemptResult Refused(AttemptResult token, unsigned messageId);

// A module answer that has a message of its own.
struct ResultMessage {
    CK_RV rv;
    unsigned messageId;
};

// Not bound or listing failed: IDS_INIT_MODULE_FAILED (NoModule). Two or more tokens:
// IDS_ONE_TOKEN_ONLY. None: IDS_INSERT_TOKEN. One: IDS_INITIALISING as progress, then the record;
// unreadable: IDS_NO_DEVICE_INFO, a counted failure; refused by `progress` (MayWorkOn):
// IDS_NOT_IN_STOCK with CKR_CANCEL, a counted failure. `onListed` runs after a
// successful listing, before the token count is looked at.
TokenTarget FindTokenTarget(TokenModule* module, AttemptProgress& progress,
                            void (*onListed)(AttemptProgress&) = nullptr);

// The counted end after the module answered `rv`: CKR_OK a success with `successId`, the listed
// answers failures with their message, any other a failure shown with its code.
AttemptResult ModuleAnswer(AttemptResult token, CK_RV rv, unsigned successId, const ResultMessage* failures,
                           std::size_t count);
template <std::size_t N>
AttemptResult ModuleAnswer(AttemptResult token, CK_RV rv, unsigned successId,
                           const ResultMessage (&failures)[N]) {
    return ModuleAnswer(std::move(token), rv, successId, failures, N);
}

// The counted end after the module answered CKR_OK and the token was read back: `successId`
// (verified or not), or a failure with CKR_GENERAL_ERROR on a mismatch, shown after
// `mismatchPrefixId` (0: nothing before it).
AttemptResult AfterReadBack(AttemptResult token, const ReadBack& check, unsigned successId,
                            unsigned mismatchPrefixId);
