#include "info/DeviceInfoQuery.h"

#include "res/StringIds.h"
#include "token/TokenSlots.h"

namespace {

DeviceInfoResult Failure(unsigned messageId) {
    DeviceInfoResult result;
    result.messageId = messageId;
    return result;
}

} // namespace

DeviceInfoResult QueryDeviceInfo(TokenModule* module) {
    if (!IsModuleBound(module))
        return Failure(IDS_INIT_MODULE_FAILED);
    TokenSlotListing listing = ListTokenSlots(*module);
    if (listing.rv != CKR_OK)
        return Failure(IDS_INIT_MODULE_FAILED);
    if (listing.count >= 2)
        return Failure(IDS_ONE_TOKEN_ONLY);
    if (listing.count == 0)
        return Failure(IDS_INSERT_TOKEN);

    DEVICE_INFO info;
    // The information page shows 112 here, where the initialisation pages show 119.
    if (ReadDeviceInfo(*module, listing.slot, info) != CKR_OK)
        return Failure(IDS_UNKNOWN_ERROR);
    DeviceInfoResult result;
    result.texts = FormatDeviceInfo(info);
    result.slot = listing.slot;
    result.info = info;
    return result;
}
