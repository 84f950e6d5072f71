#include "wipe/WipeReadBack.h"

#include "res/StringIds.h"
#include "token/DeviceType.h"
#include "token/TokenSlots.h"

ReadBack ReadBackWipe(TokenModule& module, CK_SLOT_ID slot) {
    DEVICE_INFO info;
    const CK_RV rv = ReadDeviceInfo(module, slot, info);
    if (rv != CKR_OK)
        return ReadBack::NotVerified(rv);
    if (DeviceTypeOf(info.byDeviceType) != DeviceType::kBlank)
        return ReadBack::Mismatch(IDS_WIPE_VERIFY_FAILED);
    return ReadBack{};
}
