#pragma once
// The counted ends of an attempt on the token it found: without asking the module, after the
// module's answer, and after the token was read back.
#include "token/AttemptResult.h"
#include "token/ReadBack.h"

#include <cstddef>

// A counted end on `token`, without asking the module.
AttemptResult CountedEnd(SeenToken token, AttemptKind kind, unsigned messageId);
// A counted failure on `token` that the module was never asked about: the attempt gave up on
// its own (CKR_CANCEL), as for a label out of range or a token off the stock list.
AttemptResult Refused(SeenToken token, unsigned messageId);

// A counted failure on the token present in `slot` whose record or information could not be
// read (`rv`): IDS_NO_DEVICE_INFO.
AttemptResult Unreadable(CK_SLOT_ID slot, CK_RV rv);

// A module answer that has a message of its own.
struct ResultMessage {
    CK_RV rv;
    unsigned messageId;
};

// The counted end after the module answered `rv`: CKR_OK a success with `successId`, the listed
// answers failures with their message, any other a failure shown with its code.
AttemptResult ModuleAnswer(SeenToken token, CK_RV rv, unsigned successId, const ResultMessage* failures,
                           std::size_t count);
template <std::size_t N>
AttemptResult ModuleAnswer(SeenToken token, CK_RV rv, unsigned successId,
                           const ResultMessage (&failures)[N]) {
    return ModuleAnswer(std::move(token), rv, successId, failures, N);
}

// The counted end after the module answered CKR_OK and the token was read back: `successId`
// (verified or not), or a failure with CKR_GENERAL_ERROR on a mismatch, shown after
// `mismatchPrefixId` (0: nothing before it).
AttemptResult AfterReadBack(SeenToken token, const ReadBack& check, unsigned successId,
                            unsigned mismatchPrefixId);
