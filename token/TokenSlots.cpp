#include "token/TokenSlots.h"

#include "token/DeviceInfoTexts.h"
#include "token/PaddedText.h"

#include <cstring>

SlotList ListSlots(TokenModule& module, CK_ULONG places) {
    SlotList list;
    list.slots.assign(places, 0);
    CK_ULONG count = places;
    list.rv = module.GetSlotList(list.slots.data(), &count);
    list.slots.resize(list.rv != CKR_OK ? 0 : count < places ? count : places);
    return list;
}

CK_RV ReadDeviceInfo(TokenModule& module, CK_SLOT_ID slot, DEVICE_INFO& info) {
    std::memset(&info, 0, sizeof info);
    return module.GetDeviceInfo(slot, &info);
}

std::wstring ReadTokenSerial(TokenModule& module, CK_SLOT_ID slot) {
    // The maker's module: the hardware record's serial, which its token information need not
    // carry in the same form.
    if (!module.IsStandard()) {
        DEVICE_INFO record;
        return ReadDeviceInfo(module, slot, record) == CKR_OK ? DescribeDeviceInfo(record).strSerialNumber
                                                              : std::wstring();
    }
    CK_TOKEN_INFO info = {};
    if (module.GetTokenInfo(slot, &info) != CKR_OK)
        return std::wstring();
    return PaddedText(info.serialNumber, sizeof info.serialNumber);
}

bool HasUnnumberedToken(TokenModule& module, CK_SLOT_ID slot) {
    CK_TOKEN_INFO info = {};
    return module.IsStandard() && module.GetTokenInfo(slot, &info) == CKR_OK &&
           PaddedText(info.serialNumber, sizeof info.serialNumber).empty();
}
