#pragma once
// The start both format attempts share: the binding is there, exactly one token is present,
// and its hardware record has been read. Every way this can fail is reported here.
#include "token/FormatReporter.h"
#include "token/TokenModule.h"

#include <cstddef>

struct FormatTarget {
    bool bFound = false; // the attempt goes on with slot and info
    CK_RV rv = CKR_OK;   // what the attempt returns when it ends here
    CK_SLOT_ID slot = 0;
    DEVICE_INFO info = {};
};

// Hook run after a successful listing, before the token count is looked at.
class SlotListingHook {
  public:
    virtual void OnSlotsListed() = 0;

  protected:
    ~SlotListingHook() = default;
};

// A module answer that has a message of its own.
struct ResultMessage {
    CK_RV rv;
    unsigned messageId;
};

// The final, counted report of a module call: CKR_OK as a success with `successId`, the listed
// answers as failures with their message, any other as an unknown error with its code.
void ReportModuleResult(CK_RV rv, unsigned successId, const ResultMessage* failures, std::size_t count,
                        FormatReporter& reporter);
template <std::size_t N>
void ReportModuleResult(CK_RV rv, unsigned successId, const ResultMessage (&failures)[N],
                        FormatReporter& reporter) {
    ReportModuleResult(rv, successId, failures, N, reporter);
}

// Not bound or listing failed: 106, uncounted. Two or more tokens: 108, uncounted. None: 113,
// uncounted. One: 123 (uncounted progress), then the record; unreadable: 119, counted.
FormatTarget FindFormatTarget(TokenModule* module, FormatReporter& reporter, SlotListingHook* hook = nullptr);
