#include "info/DeviceInfoQuery.h"

#include "res/StringIds.h"
#include "token/TokenSlots.h"

namespace {

DeviceInfoResult Ended(AttemptKind kind, unsigned messageId, CK_RV rv = CKR_OK) {
    DeviceInfoResult result;
    result.attempt = EndedWith(kind, messageId, rv);
    return result;
}

} // namespace

DeviceInfoResult QueryDeviceInfo(TokenModule* module) {
    if (!IsModuleBound(module))
        return Ended(AttemptKind::NoModule, IDS_INIT_MODULE_FAILED, CKR_FUNCTION_FAILED);
    TokenSlotListing listing = ListTokenSlots(*module);
    if (listing.rv != CKR_OK)
        return Ended(AttemptKind::NoModule, IDS_INIT_MODULE_FAILED, listing.rv);
    if (listing.count >= 2)
        return Ended(AttemptKind::SeveralTokens, IDS_ONE_TOKEN_ONLY);
    if (listing.count == 0)
        return Ended(AttemptKind::NoToken, IDS_INSERT_TOKEN);

    DeviceInfoResult result;
    AttemptResult& attempt = result.attempt;
    attempt.bToken = true;
    attempt.slot = listing.slot;
    attempt.rv = ReadDeviceInfo(*module, listing.slot, attempt.info);
    // The information page shows 112 here, where the initialisation pages show 119.
    if (attempt.rv != CKR_OK) {
        attempt.kind = AttemptKind::Failure;
        attempt.messageId = IDS_UNKNOWN_ERROR;
        return result;
    }
    attempt.kind = AttemptKind::Success;
    attempt.bInfo = true;
    result.texts = FormatDeviceInfo(attempt.info);
    return result;
}
