#include "token/FormatTarget.h"

#include "res/StringIds.h"
#include "res/StringTable.h"
#include "token/TokenSlots.h"

namespace {

FormatTarget Ended(CK_RV rv) {
    FormatTarget target;
    target.rv = rv;
    return target;
}

} // namespace

FormatTarget FindFormatTarget(TokenModule* module, FormatReporter& reporter, SlotListingHook* hook) {
    if (!IsModuleBound(module)) {
        reporter.ReportFailure(false, LoadStringOrDefault(IDS_INIT_MODULE_FAILED));
        return Ended(CKR_FUNCTION_FAILED);
    }
    // More than ten tokens make a conforming module answer CKR_BUFFER_TOO_SMALL.
    TokenSlotListing listing = ListTokenSlots(*module);
    if (listing.rv != CKR_OK) {
        reporter.ReportFailure(false, LoadStringOrDefault(IDS_INIT_MODULE_FAILED));
        return Ended(listing.rv);
    }
    if (hook != nullptr)
        hook->OnSlotsListed();
    if (listing.count >= 2) {
        reporter.ReportFailure(false, LoadStringOrDefault(IDS_ONE_TOKEN_ONLY));
        return Ended(CKR_OK);
    }
    if (listing.count == 0) {
        reporter.ReportSuccess(false, LoadStringOrDefault(IDS_INSERT_TOKEN));
        return Ended(CKR_OK);
    }

    // Stays on the status line while the token works.
    reporter.ReportSuccess(false, LoadStringOrDefault(IDS_INITIALISING));
    FormatTarget target;
    target.slot = listing.slot;
    target.rv = ReadDeviceInfo(*module, target.slot, target.info);
    reporter.NoteToken(target.slot, target.rv == CKR_OK ? &target.info : nullptr);
    if (target.rv != CKR_OK) {
        reporter.ReportFailure(true, LoadStringOrDefault(IDS_NO_DEVICE_INFO));
        return target;
    }
    target.bFound = true;
    return target;
}

void ReportModuleResult(CK_RV rv, unsigned successId, const ResultMessage* failures, std::size_t count,
                        FormatReporter& reporter) {
    if (rv == CKR_OK) {
        reporter.ReportSuccess(true, LoadStringOrDefault(successId));
        return;
    }
    for (std::size_t i = 0; i < count; ++i) {
        if (failures[i].rv == rv) {
            reporter.ReportFailure(true, LoadStringOrDefault(failures[i].messageId));
            return;
        }
    }
    reporter.ReportFailure(true, FormatUnknownResult(rv));
}
