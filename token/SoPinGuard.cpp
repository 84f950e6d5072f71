#include "token/SoPinGuard.h"

#include "res/StringIds.h"

namespace {

SoPinGuardVerdict End(AttemptResult& ended, SoPinGuardVerdict verdict, AttemptKind kind, unsigned messageId,
                      CK_RV rv) {
    ended.kind = kind;
    ended.messageId = messageId;
    ended.rv = rv;
    return verdict;
}

} // namespace

SoPinGuardVerdict GuardSoPin(TokenModule& module, AttemptResult& ended, bool bBatch,
                             AttemptProgress& progress) {
    CK_TOKEN_INFO info = {};
    // Tries left, or nothing known: the module's own check of the PIN decides, as it always did.
    if (module.GetTokenInfo(ended.slot, &info) != CKR_OK ||
        !(info.flags & (CKF_SO_PIN_LOCKED | CKF_SO_PIN_FINAL_TRY)))
        return SoPinGuardVerdict::Clear;
    if (info.flags & CKF_SO_PIN_LOCKED)
        return End(ended, SoPinGuardVerdict::Locked, AttemptKind::Failure, IDS_SO_PIN_LOCKED, CKR_PIN_LOCKED);
    if (bBatch)
        return End(ended, SoPinGuardVerdict::FinalTryInBatch, AttemptKind::Failure,
                   IDS_SO_PIN_FINAL_TRY_BATCH, CKR_FUNCTION_CANCELED);
    if (progress.ConfirmFinalTry())
        return SoPinGuardVerdict::FinalTryConfirmed;
    return End(ended, SoPinGuardVerdict::FinalTryDeclined, AttemptKind::Cancelled, IDS_CANCELLED,
               CKR_FUNCTION_CANCELED);
}
