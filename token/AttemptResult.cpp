#include "token/AttemptResult.h"

std::optional<CK_SLOT_ID> SlotOf(const SeenToken& token) {
    if (const auto* unread = std::get_if<UnreadToken>(&token))
        return unread->slot;
    if (const auto* record = std::get_if<VendorRecord>(&token))
        return record->slot;
    if (const auto* identity = std::get_if<StandardIdentity>(&token))
        return identity->slot;
    return std::nullopt;
}

AttemptKind AttemptResult::Kind() const {
    if (const auto* message = std::get_if<EndMessage>(&end))
        return message->kind;
    return std::holds_alternative<NotVerified>(end) ? AttemptKind::Success : AttemptKind::Failure;
}
