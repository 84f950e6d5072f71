#pragma once
// What reading a token back after an initialisation the module answered with CKR_OK found. A
// token that shows something else than was sent is a failure; a module that cannot answer the
// read-back leaves the success standing.
#include "token/Pkcs11.h"

struct ReadBack {
    enum Outcome { kVerified, kMismatch, kNotVerified };
    Outcome outcome = kVerified;
    unsigned mismatchId = 0; // kMismatch: the message naming what the token got wrong
    CK_RV rv = CKR_OK;       // kNotVerified: the answer of the call that could not be made

    static ReadBack Mismatch(unsigned messageId) { return ReadBack{kMismatch, messageId, CKR_OK}; }
    static ReadBack NotVerified(CK_RV rv) { return ReadBack{kNotVerified, 0, rv}; }
};
