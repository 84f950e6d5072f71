#include "attempt/OutcomeText.h"

#include "res/StringIds.h"
#include "res/StringTable.h"

std::wstring OutcomeText(const AttemptResult& result) {
    if (result.bShowCode)
        return UnknownResultText(result.rv);
    if (result.bReadBack && result.readBack.outcome == ReadBack::kMismatch)
        return (result.mismatchPrefixId != 0 ? LoadStringOrDefault(result.mismatchPrefixId)
                                             : std::wstring()) +
               LoadStringOrDefault(result.readBack.mismatchId);
    if (result.messageId == 0)
        return std::wstring();
    std::wstring text = LoadStringOrDefault(result.messageId);
    if (result.bReadBack && result.readBack.outcome == ReadBack::kNotVerified)
        text += MessageWithCode(IDS_NOT_VERIFIED, result.readBack.rv);
    return text;
}

bool IsShownAsSuccess(const AttemptResult& result) {
    return result.kind == AttemptKind::Success || result.kind == AttemptKind::NoToken;
}
