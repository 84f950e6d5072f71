#pragma once
// What one attempt on a token did, as data. Operations return it; the attempt runner turns it
// into the text shown and recorded, the counters, the ledger line and the exit code. Each part
// holds only what its case has, so that no result says two things at once.
#include "token/AuxFunctionList.h"

#include <optional>
#include <string>
#include <variant>

enum class AttemptKind {
    Success,       // counted; the token is as asked
    Failure,       // counted; the token refused or could not be handled
    NoModule,      // not counted: the binding is missing or the listing failed
    NoToken,       // not counted: no token present
    SeveralTokens, // not counted: more than one token present
    Cancelled,     // not counted: the operator declined the SO PIN's final try
};

// The token the attempt worked on, as far as it was seen (std::monostate: none).
struct UnreadToken { // present, but its record or token information could not be read
    CK_SLOT_ID slot = 0;
};
struct VendorRecord { // the maker's module: its hardware record (serial, COS version, type before)
    CK_SLOT_ID slot = 0;
    DEVICE_INFO info = {};
};
struct StandardIdentity { // through standard calls: serial and firmware version of its information
    CK_SLOT_ID slot = 0;
    std::wstring serial;
    std::wstring version;
};
using SeenToken = std::variant<std::monostate, UnreadToken, VendorRecord, StandardIdentity>;

// The slot of the token seen; nothing when none was.
std::optional<CK_SLOT_ID> SlotOf(const SeenToken& token);

// How the attempt ended and what is shown for it.
struct EndMessage { // the string-table message; 0: nothing shown (a successful information query)
    AttemptKind kind = AttemptKind::NoToken;
    unsigned messageId = 0;
};
// A counted failure on an answer without a message of its own: IDS_UNKNOWN_ERROR followed by
// the result's rv as "%s,code =0x%08X".
struct UnknownAnswer {};
struct ReadBackMismatch {  // a counted failure: the token read back is not what was sent
    unsigned prefixId = 0; // shown before the mismatch; 0: nothing
    unsigned mismatchId = 0;
};
struct NotVerified { // a counted success the read-back could not confirm
    unsigned successId = 0;
    CK_RV rv = CKR_OK; // the answer of the read-back call that could not be made
};
using AttemptEnd = std::variant<EndMessage, UnknownAnswer, ReadBackMismatch, NotVerified>;

// Why a batch run or station given one SO PIN for every token ends after this attempt.
enum class AttemptStop {
    None,
    // The module refused the SO PIN the attempt spent: a wipe's, or the current one a standard
    // initialisation of a token initialised before hands to C_InitToken.
    SoPinRefused,
};

struct AttemptResult {
    AttemptEnd end;
    // The module's answer as it gave it; CKR_FUNCTION_FAILED without a binding, CKR_OK when
    // the attempt ended without asking the module.
    CK_RV rv = CKR_OK;
    SeenToken token;
    AttemptStop stop = AttemptStop::None;

    AttemptKind Kind() const;
    bool IsCounted() const { return Kind() == AttemptKind::Success || Kind() == AttemptKind::Failure; }
};

// The module's ways of refusing an SO PIN it was given (the vendor's wipe also answers
// CKR_ARGUMENTS_BAD); both are shown as IDS_SO_PIN_WRONG.
inline bool IsSoPinRefusal(CK_RV rv) {
    return rv == CKR_PIN_INCORRECT || rv == CKR_ARGUMENTS_BAD;
}

// An attempt that ended with `messageId` and `rv`, before or without the module's answer.
inline AttemptResult EndedWith(AttemptKind kind, unsigned messageId, CK_RV rv = CKR_OK) {
    AttemptResult result;
    result.end = EndMessage{kind, messageId};
    result.rv = rv;
    return result;
}
