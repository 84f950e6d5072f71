#include "token/StandardToken.h"

#include "res/StringIds.h"
#include "token/CountedEnd.h"
#include "token/PaddedText.h"
#include "token/TokenSlots.h"

#include <cstring>

namespace {

bool IsSpareSlot(const CK_TOKEN_INFO& info) {
    return !(info.flags & CKF_TOKEN_INITIALIZED) &&
           PaddedText(info.serialNumber, sizeof info.serialNumber).empty();
}

} // namespace

Found<StandardTarget> FindStandardTarget(TokenModule& module, AttemptProgress& progress, bool bShowRunning) {
    const SlotList listing = ListSlots(module, kSlotListPlaces);
    if (listing.rv != CKR_OK)
        return EndedWith(AttemptKind::NoModule, IDS_INIT_MODULE_FAILED, listing.rv);
    if (bShowRunning)
        progress.ShowRunning();

    // A token never initialised has no serial number yet and looks like a spare slot: it is the
    // token only when no other is present (SoftHSM2 keeps a spare beside every token it holds).
    struct Seen {
        CK_SLOT_ID slot = 0;
        CK_RV rv = CKR_OK; // reading its information
        CK_TOKEN_INFO info = {};
    } token, spare;
    std::size_t tokens = 0, spares = 0;
    for (CK_SLOT_ID slot : listing.slots) {
        Seen seen{slot, CKR_OK, {}};
        seen.rv = module.GetTokenInfo(slot, &seen.info);
        const bool bSpare = seen.rv == CKR_OK && IsSpareSlot(seen.info);
        if (!bSpare && ++tokens > 1)
            return EndedWith(AttemptKind::SeveralTokens, IDS_ONE_TOKEN_ONLY);
        spares += bSpare ? 1 : 0;
        (bSpare ? spare : token) = seen;
    }
    if (tokens == 0 && spares > 1) // which of them is meant cannot be told
        return EndedWith(AttemptKind::SeveralTokens, IDS_ONE_TOKEN_ONLY);
    if (tokens == 0 && spares == 0)
        return EndedWith(AttemptKind::NoToken, IDS_INSERT_TOKEN);
    if (tokens == 0)
        token = spare;

    // Stays on the status line while the token works.
    progress.ShowProgress(IDS_INITIALISING);
    if (token.rv != CKR_OK)
        return Unreadable(token.slot, token.rv);
    StandardTarget target;
    target.token.slot = token.slot;
    target.token.serial = PaddedText(token.info.serialNumber, sizeof token.info.serialNumber);
    target.token.version = VersionText(token.info.firmwareVersion);
    target.info = token.info;
    if (!progress.MayWorkOn(target.token.serial))
        return Refused(target.token, IDS_NOT_IN_STOCK);
    return target;
}

CK_RV FindSlotBySerial(TokenModule& module, const CK_CHAR (&serial)[16], CK_SLOT_ID& slot,
                       CK_TOKEN_INFO& info) {
    const SlotList listing = ListSlots(module, kSlotListPlaces);
    if (listing.rv != CKR_OK)
        return listing.rv;
    for (CK_SLOT_ID listed : listing.slots) {
        CK_TOKEN_INFO read = {};
        if (module.GetTokenInfo(listed, &read) == CKR_OK &&
            std::memcmp(read.serialNumber, serial, sizeof serial) == 0) {
            slot = listed;
            info = read;
            return CKR_OK;
        }
    }
    return CKR_TOKEN_NOT_PRESENT;
}

CK_RV FindInitialisedToken(TokenModule& module, CK_SLOT_ID slotBefore, const CK_CHAR (&serialBefore)[16],
                           CK_SLOT_ID& slot, CK_TOKEN_INFO& info) {
    if (!PaddedText(serialBefore, sizeof serialBefore).empty())
        return FindSlotBySerial(module, serialBefore, slot, info);
    CK_TOKEN_INFO read = {};
    if (module.GetTokenInfo(slotBefore, &read) != CKR_OK || !(read.flags & CKF_TOKEN_INITIALIZED))
        return CKR_TOKEN_NOT_PRESENT;
    if (!PaddedText(read.serialNumber, sizeof read.serialNumber).empty())
        return FindSlotBySerial(module, read.serialNumber, slot, info);
    slot = slotBefore;
    info = read;
    return CKR_OK;
}

bool FitsPinLimits(const CK_TOKEN_INFO& info, std::size_t bytes) {
    const bool bMaxGiven = info.ulMaxPinLen != 0 && info.ulMaxPinLen != CK_UNAVAILABLE_INFORMATION;
    return bytes >= info.ulMinPinLen && (!bMaxGiven || bytes <= info.ulMaxPinLen);
}

bool LabelMatches(const CK_UTF8CHAR (&read)[32], const SecureBytes& sentField) {
    std::size_t sent = sentField.size() < sizeof read ? sentField.size() : sizeof read;
    while (sent > 0 && sentField.data()[sent - 1] == ' ')
        --sent;
    return std::memcmp(read, sentField.data(), sent) == 0;
}
