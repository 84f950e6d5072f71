#include "blank/SoPinGuard.h"

#include "res/StringIds.h"
#include "res/StringTable.h"

CK_RV GuardSoPin(TokenModule& module, CK_SLOT_ID slot, bool bBatch, BlankFormatReporter& reporter) {
    CK_TOKEN_INFO info = {};
    if (module.GetTokenInfo(slot, &info) != CKR_OK)
        return CKR_OK; // nothing known: the module's own check of the PIN decides, as it always did
    if (info.flags & CKF_SO_PIN_LOCKED) {
        reporter.ReportFailure(true, LoadStringOrDefault(IDS_SO_PIN_LOCKED));
        return CKR_PIN_LOCKED;
    }
    if (!(info.flags & CKF_SO_PIN_FINAL_TRY))
        return CKR_OK;
    if (bBatch) {
        reporter.ReportFailure(true, LoadStringOrDefault(IDS_SO_PIN_FINAL_TRY_BATCH));
        return CKR_FUNCTION_CANCELED;
    }
    if (reporter.ConfirmFinalTry())
        return CKR_OK;
    reporter.ReportFailure(false, LoadStringOrDefault(IDS_CANCELLED));
    return CKR_FUNCTION_CANCELED;
}
