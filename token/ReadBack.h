#pragma once
// What reading a token back after an initialisation the module answered with CKR_OK found,
// and how that attempt is then reported. A token that shows something else than was sent is
// a failure; a module that cannot answer the read-back leaves the success standing.
#include "token/FormatReporter.h"
#include "token/TokenModule.h"

#include <string>

struct ReadBack {
    enum Outcome { kVerified, kMismatch, kNotVerified };
    Outcome outcome = kVerified;
    unsigned mismatchId = 0; // kMismatch: the message naming what the token got wrong
    CK_RV rv = CKR_OK;       // kNotVerified: the answer of the call that could not be made

    static ReadBack Mismatch(unsigned messageId) { return ReadBack{kMismatch, messageId, CKR_OK}; }
    static ReadBack NotVerified(CK_RV rv) { return ReadBack{kNotVerified, 0, rv}; }
};

// The attempt's final, counted report: `successId` (followed by "（未能校验，code =0x…）" when
// not verified) and CKR_OK, or `failurePrefix` and the mismatch text in red and
// CKR_GENERAL_ERROR.
CK_RV ReportReadBack(const ReadBack& check, unsigned successId, const std::wstring& failurePrefix,
                     FormatReporter& reporter);
