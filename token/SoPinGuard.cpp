#include "token/SoPinGuard.h"

#include "res/StringIds.h"

namespace {

AttemptResult End(const SeenToken& token, AttemptKind kind, unsigned messageId, CK_RV rv) {
    AttemptResult ended = EndedWith(kind, messageId, rv);
    ended.token = token;
    return ended;
}

} // namespace

std::optional<AttemptResult> GuardSoPin(TokenModule& module, const SeenToken& token, bool bBatch,
                                        AttemptProgress& progress) {
    const std::optional<CK_SLOT_ID> slot = SlotOf(token);
    CK_TOKEN_INFO info = {};
    // Tries left, or nothing known: the module's own check of the PIN decides, as it always did.
    if (!slot || module.GetTokenInfo(*slot, &info) != CKR_OK ||
        !(info.flags & (CKF_SO_PIN_LOCKED | CKF_SO_PIN_FINAL_TRY)))
        return std::nullopt;
    if (info.flags & CKF_SO_PIN_LOCKED)
        return End(token, AttemptKind::Failure, IDS_SO_PIN_LOCKED, CKR_PIN_LOCKED);
    if (bBatch)
        return End(token, AttemptKind::Failure, IDS_SO_PIN_FINAL_TRY_BATCH, CKR_FUNCTION_CANCELED);
    if (progress.ConfirmFinalTry())
        return std::nullopt;
    return End(token, AttemptKind::Cancelled, IDS_CANCELLED, CKR_FUNCTION_CANCELED);
}
