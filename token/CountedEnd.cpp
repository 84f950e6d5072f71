#include "token/CountedEnd.h"

#include "res/StringIds.h"

#include <utility>

namespace {

AttemptResult OnToken(SeenToken token, AttemptEnd end, CK_RV rv) {
    AttemptResult result;
    result.token = std::move(token);
    result.end = end;
    result.rv = rv;
    return result;
}

} // namespace

AttemptResult CountedEnd(SeenToken token, AttemptKind kind, unsigned messageId) {
    return OnToken(std::move(token), EndMessage{kind, messageId}, CKR_OK);
}

AttemptResult Refused(SeenToken token, unsigned messageId) {
    return OnToken(std::move(token), EndMessage{AttemptKind::Failure, messageId}, CKR_CANCEL);
}

AttemptResult Unreadable(CK_SLOT_ID slot, CK_RV rv) {
    return OnToken(UnreadToken{slot}, EndMessage{AttemptKind::Failure, IDS_NO_DEVICE_INFO}, rv);
}

AttemptResult ModuleAnswer(SeenToken token, CK_RV rv, unsigned successId, const ResultMessage* failures,
                           std::size_t count) {
    if (rv == CKR_OK)
        return OnToken(std::move(token), EndMessage{AttemptKind::Success, successId}, rv);
    for (std::size_t i = 0; i < count; ++i) {
        if (failures[i].rv == rv)
            return OnToken(std::move(token), EndMessage{AttemptKind::Failure, failures[i].messageId}, rv);
    }
    return OnToken(std::move(token), UnknownAnswer{}, rv);
}

AttemptResult AfterReadBack(SeenToken token, const ReadBack& check, unsigned successId,
                            unsigned mismatchPrefixId) {
    switch (check.outcome) {
    case ReadBack::kMismatch:
        return OnToken(std::move(token), ReadBackMismatch{mismatchPrefixId, check.mismatchId},
                       CKR_GENERAL_ERROR);
    case ReadBack::kNotVerified:
        return OnToken(std::move(token), NotVerified{successId, check.rv}, CKR_OK);
    case ReadBack::kVerified:
        break;
    }
    return OnToken(std::move(token), EndMessage{AttemptKind::Success, successId}, CKR_OK);
}
