#pragma once
// What one attempt on a token did, as data. Operations return it; the attempt runner turns it
// into the text shown and recorded, the counters, the ledger line and the exit code.
#include "token/AuxFunctionList.h"
#include "token/ReadBack.h"

#include <string>

enum class AttemptKind {
    Success,       // counted; the token is as asked
    Failure,       // counted; the token refused or could not be handled
    NoModule,      // not counted: the binding is missing or the listing failed
    NoToken,       // not counted: no token present
    SeveralTokens, // not counted: more than one token present
    Cancelled,     // not counted: the operator declined the SO PIN's final try
};

// What the SO PIN guard found before a wipe tried the operator's PIN.
enum class SoPinGuardVerdict {
    NotAsked,          // no wipe reached the guard
    Clear,             // tries left (or the module could not tell): the PIN was tried
    Locked,            // the PIN is locked: not tried
    FinalTryInBatch,   // one try left in a batch run: not tried
    FinalTryConfirmed, // one try left, the operator said Yes: tried
    FinalTryDeclined,  // one try left, the operator said No: not tried
};

struct AttemptResult {
    AttemptKind kind = AttemptKind::NoToken;
    // The string-table message of what happened. With bShowCode it is followed by `rv` as
    // "%s,code =0x%08X" (IDS_UNKNOWN_ERROR for an answer without a message of its own).
    unsigned messageId = 0;
    bool bShowCode = false;
    // The module's answer as it gave it; CKR_FUNCTION_FAILED without a binding, CKR_OK when
    // the attempt ended without asking the module.
    CK_RV rv = CKR_OK;

    // The one token worked on: its slot and, when it could be read, its record (serial, COS
    // version, type before the attempt).
    bool bToken = false;
    CK_SLOT_ID slot = 0;
    bool bInfo = false;
    DEVICE_INFO info = {};
    // A token handled through standard calls has no hardware record (bInfo stays false): its
    // serial number and firmware version as its token information gives them.
    bool bStandard = false;
    std::wstring strSerial;
    std::wstring strVersion;

    // After an initialisation the module answered CKR_OK: what reading the token back found.
    // A mismatch is shown after `mismatchPrefixId` (0: none).
    bool bReadBack = false;
    ReadBack readBack;
    unsigned mismatchPrefixId = 0;
    SoPinGuardVerdict guard = SoPinGuardVerdict::NotAsked;
    // The module refused the SO PIN the attempt tried: a wipe's, or the current one a standard
    // initialisation of a token initialised before hands to C_InitToken. A batch run or station
    // given that PIN for every token ends here.
    bool bSoPinRefused = false;

    bool IsCounted() const { return kind == AttemptKind::Success || kind == AttemptKind::Failure; }
};

// The module's ways of refusing an SO PIN it was given (the vendor's wipe also answers
// CKR_ARGUMENTS_BAD); both are shown as IDS_SO_PIN_WRONG.
inline bool IsSoPinRefusal(CK_RV rv) {
    return rv == CKR_PIN_INCORRECT || rv == CKR_ARGUMENTS_BAD;
}

// An attempt that ended with `messageId` and `rv`, before or without the module's answer.
inline AttemptResult EndedWith(AttemptKind kind, unsigned messageId, CK_RV rv = CKR_OK) {
    AttemptResult result;
    result.kind = kind;
    result.messageId = messageId;
    result.rv = rv;
    return result;
}
