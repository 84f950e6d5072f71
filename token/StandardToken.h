#pragma once
// What the three operations share on a module without the vendor extension: the one token
// found among the slots, found again by its serial number after an initialisation, its PIN
// limits and its label. Everything comes from the standard token information (its texts:
// token/PaddedText.h).
#include "base/SecureBuffer.h"
#include "token/AttemptProgress.h"
#include "token/AttemptResult.h"
#include "token/Found.h"
#include "token/TokenModule.h"

#include <cstddef>

// The one token found, as the ledger records it and as its information reads.
struct StandardTarget {
    StandardIdentity token;
    CK_TOKEN_INFO info = {};
};

// As on the vendor path: listing failed IDS_INIT_MODULE_FAILED, two or more tokens
// IDS_ONE_TOKEN_ONLY, none IDS_INSERT_TOKEN, one IDS_INITIALISING as progress. A slot whose
// token is neither initialised nor has a serial number is a token never initialised when it is
// the only one, and a module's spare slot (SoftHSM2 keeps one beside its tokens) when another
// token is present; two such alone are IDS_ONE_TOKEN_ONLY. Its serial is empty, which no stock
// list admits. Token information unreadable: the counted failure IDS_NO_DEVICE_INFO. `bShowRunning`
// as on the vendor path.
Found<StandardTarget> FindStandardTarget(TokenModule& module, AttemptProgress& progress,
                                         bool bShowRunning = false);

// Where the token with `serial` is now: some modules move a token to another slot when they
// initialise it. CKR_TOKEN_NOT_PRESENT when no slot holds it.
CK_RV FindSlotBySerial(TokenModule& module, const CK_CHAR (&serial)[16], CK_SLOT_ID& slot,
                       CK_TOKEN_INFO& info);

// Where the token just initialised in `slotBefore` is now, with its information: found again
// by `serialBefore`, or, when it had none, by the serial number the initialisation gave it (read
// in `slotBefore`; a module that gives none leaves it there). CKR_TOKEN_NOT_PRESENT when it is
// not found initialised.
CK_RV FindInitialisedToken(TokenModule& module, CK_SLOT_ID slotBefore, const CK_CHAR (&serialBefore)[16],
                           CK_SLOT_ID& slot, CK_TOKEN_INFO& info);

// The token takes a PIN of `bytes` bytes: a limit the token does not give is no limit. Checked
// before every call that could spend a try.
bool FitsPinLimits(const CK_TOKEN_INFO& info, std::size_t bytes);

// The label read back against the 32-byte field sent: the same text, or the text followed by
// what the module appends to it.
bool LabelMatches(const CK_UTF8CHAR (&read)[32], const SecureBytes& sentField);

// A PIN pad token takes its PINs on its own keys, never from the program.
inline bool HasPinPad(const CK_TOKEN_INFO& info) {
    return (info.flags & CKF_PROTECTED_AUTHENTICATION_PATH) != 0;
}
