#include "attempt/OutcomeText.h"

#include "res/StringIds.h"
#include "res/StringTable.h"

std::wstring OutcomeText(const AttemptResult& result) {
    if (std::holds_alternative<UnknownAnswer>(result.end))
        return UnknownResultText(result.rv);
    if (const auto* mismatch = std::get_if<ReadBackMismatch>(&result.end))
        return (mismatch->prefixId != 0 ? LoadStringOrDefault(mismatch->prefixId) : std::wstring()) +
               LoadStringOrDefault(mismatch->mismatchId);
    if (const auto* unverified = std::get_if<NotVerified>(&result.end))
        return LoadStringOrDefault(unverified->successId) + MessageWithCode(IDS_NOT_VERIFIED, unverified->rv);
    const unsigned messageId = std::get<EndMessage>(result.end).messageId;
    return messageId != 0 ? LoadStringOrDefault(messageId) : std::wstring();
}

bool IsShownAsSuccess(const AttemptResult& result) {
    return result.Kind() == AttemptKind::Success || result.Kind() == AttemptKind::NoToken;
}
