#include "token/TokenTarget.h"

#include "res/StringIds.h"
#include "token/CountedEnd.h"
#include "token/DeviceInfoTexts.h"
#include "token/TokenSlots.h"

Found<VendorRecord> FindTokenTarget(TokenModule* module, AttemptProgress& progress, bool bShowRunning) {
    if (!IsModuleBound(module))
        return EndedWith(AttemptKind::NoModule, IDS_INIT_MODULE_FAILED, CKR_FUNCTION_FAILED);
    // More than ten tokens make a conforming module answer CKR_BUFFER_TOO_SMALL.
    const SlotList listing = ListSlots(*module, kSlotListPlaces);
    if (listing.rv != CKR_OK)
        return EndedWith(AttemptKind::NoModule, IDS_INIT_MODULE_FAILED, listing.rv);
    if (bShowRunning)
        progress.ShowRunning();
    if (listing.slots.size() >= 2)
        return EndedWith(AttemptKind::SeveralTokens, IDS_ONE_TOKEN_ONLY);
    if (listing.slots.empty())
        return EndedWith(AttemptKind::NoToken, IDS_INSERT_TOKEN);

    // Stays on the status line while the token works.
    progress.ShowProgress(IDS_INITIALISING);
    VendorRecord token;
    token.slot = listing.slots[0];
    const CK_RV rv = ReadDeviceInfo(*module, token.slot, token.info);
    if (rv != CKR_OK)
        return Unreadable(token.slot, rv);
    if (!progress.MayWorkOn(DescribeDeviceInfo(token.info).strSerialNumber))
        return Refused(token, IDS_NOT_IN_STOCK);
    return token;
}
