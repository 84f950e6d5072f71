#pragma once
// The read-back after E_InitPkiToken answered CKR_OK: the token information must show the
// label field as sent, an initialised token and a user PIN, and both new PINs must open the
// token in a read/write session (user, then SO), with the very bytes the record carried.
#include "pki/PkiInitRecord.h"
#include "token/ReadBack.h"
#include "token/TokenModule.h"

// Calls, in order: C_GetTokenInfo, C_OpenSession (serial, read/write), C_Login user, C_Logout,
// C_Login SO, C_Logout, C_CloseSession; it stops at the first that fails, and a session it
// opened is always closed.
ReadBack ReadBackPkiToken(TokenModule& module, CK_SLOT_ID slot, const PkiInitRecord& record);

// The same with the bytes sent through standard calls. `bLabelMayGrow`: the label read back may
// carry what the module appends to the text sent.
struct SentPkiValues {
    const SecureBytes& labelField;
    const SecureBytes& soPin;
    const SecureBytes& userPin;
    bool bLabelMayGrow;
};
ReadBack ReadBackPkiToken(TokenModule& module, CK_SLOT_ID slot, const SentPkiValues& sent);
