#include "token/TokenTarget.h"

#include "res/StringIds.h"
#include "token/DeviceInfoTexts.h"
#include "token/TokenSlots.h"

#include <utility>

namespace {

TokenTarget Ended(AttemptKind kind, unsigned messageId, CK_RV rv = CKR_OK) {
    TokenTarget target;
    target.result = EndedWith(kind, messageId, rv);
    return target;
}

} // namespace

TokenTarget FindTokenTarget(TokenModule* module, AttemptProgress& progress,
                            void (*onListed)(AttemptProgress&)) {
    if (!IsModuleBound(module))
        return Ended(AttemptKind::NoModule, IDS_INIT_MODULE_FAILED, CKR_FUNCTION_FAILED);
    // More than ten tokens make a conforming module answer CKR_BUFFER_TOO_SMALL.
    TokenSlotListing listing = ListTokenSlots(*module);
    if (listing.rv != CKR_OK)
        return Ended(AttemptKind::NoModule, IDS_INIT_MODULE_FAILED, listing.rv);
    if (onListed != nullptr)
        onListed(progress);
    if (listing.count >= 2)
        return Ended(AttemptKind::SeveralTokens, IDS_ONE_TOKEN_ONLY);
    if (listing.count == 0)
        return Ended(AttemptKind::NoToken, IDS_INSERT_TOKEN);

    // Stays on the status line while the token works.
    progress.ShowProgress(IDS_INITIALISING);
    TokenTarget target;
    AttemptResult& result = target.result;
    result.bToken = true;
    result.slot = listing.slot;
    result.rv = ReadDeviceInfo(*module, result.slot, result.info);
    if (result.rv != CKR_OK) {
        result.kind = AttemptKind::Failure;
        result.messageId = IDS_NO_DEVICE_INFO;
        return target;
    }
    result.bInfo = true;
    if (!progress.MayWorkOn(DescribeDeviceInfo(result.info).strSerialNumber)) {
        result = Refused(std::move(result), IDS_NOT_IN_STOCK);
        return target;
    }
    target.bFound = true;
    return target;
}

AttemptResult CountedEnd(AttemptResult token, AttemptKind kind, unsigned messageId) {
    token.kind = kind;
    token.messageId = messageId;
    return token;
}

AttemptResult Refused(AttemptResult token, unsigned messageId) {
    AttemptResult result = CountedEnd(std::move(token), AttemptKind::Failure, messageId);
    result.rv = CKR_CANCEL;
    return result;
}

AttemptResult ModuleAnswer(AttemptResult token, CK_RV rv, unsigned successId, const ResultMessage* failures,
                           std::size_t count) {
    AttemptResult result = std::move(token);
    result.rv = rv;
    result.kind = rv == CKR_OK ? AttemptKind::Success : AttemptKind::Failure;
    result.messageId = successId;
    if (rv == CKR_OK)
        return result;
    for (std::size_t i = 0; i < count; ++i) {
        if (failures[i].rv == rv) {
            result.messageId = failures[i].messageId;
            return result;
        }
    }
    result.messageId = IDS_UNKNOWN_ERROR;
    result.bShowCode = true;
    return result;
}

AttemptResult AfterReadBack(AttemptResult token, const ReadBack& check, unsigned successId,
                            unsigned mismatchPrefixId) {
    AttemptResult result = std::move(token);
    result.bReadBack = true;
    result.readBack = check;
    result.messageId = successId;
    result.kind = AttemptKind::Success;
    result.rv = CKR_OK;
    if (check.outcome == ReadBack::kMismatch) {
        result.kind = AttemptKind::Failure;
        result.rv = CKR_GENERAL_ERROR;
        result.mismatchPrefixId = mismatchPrefixId;
    }
    return result;
}
