#include "info/StandardInfo.h"

#include "res/InfoCaptions.h"
#include "res/StringIds.h"
#include "res/StringTable.h"
#include "token/StandardToken.h"

namespace {

// Total or free bytes of both areas; the module may not know them.
std::wstring Bytes(CK_ULONG publicBytes, CK_ULONG privateBytes) {
    if (publicBytes == CK_UNAVAILABLE_INFORMATION || privateBytes == CK_UNAVAILABLE_INFORMATION)
        return LoadStringOrDefault(IDS_STD_NOT_AVAILABLE);
    return std::to_wstring(static_cast<unsigned long long>(publicBytes) + privateBytes);
}

} // namespace

StandardInfoResult QueryStandardInfo(TokenModule& module, AttemptProgress& progress) {
    StandardTarget target = FindStandardTarget(module, progress);
    StandardInfoResult result;
    result.attempt = target.result;
    AttemptResult& attempt = result.attempt;
    if (!target.bFound) {
        if (attempt.kind == AttemptKind::Failure) // as the information page shows it
            attempt.messageId = IDS_UNKNOWN_ERROR;
        return result;
    }
    CK_SLOT_INFO slot = {};
    const bool bSlot = module.GetSlotInfo(attempt.slot, &slot) == CKR_OK;
    const CK_TOKEN_INFO& info = target.info;
    const std::wstring notAvailable = LoadStringOrDefault(IDS_STD_NOT_AVAILABLE);
    attempt.kind = AttemptKind::Success;
    result.fields = {
        {"reader", VANTOR_CAPTION_STD_SLOT,
         bSlot ? PaddedText(slot.slotDescription, sizeof slot.slotDescription) : notAvailable},
        {nullptr, VANTOR_CAPTION_STD_SERIAL, attempt.strSerial},
        {"manufacturer", VANTOR_CAPTION_STD_MAKER,
         PaddedText(info.manufacturerID, sizeof info.manufacturerID)},
        {"model", VANTOR_CAPTION_STD_MODEL, PaddedText(info.model, sizeof info.model)},
        {"hardware_version", VANTOR_CAPTION_STD_HARDWARE, VersionText(info.hardwareVersion)},
        {nullptr, VANTOR_CAPTION_STD_FIRMWARE, attempt.strVersion},
        {"token_label", VANTOR_CAPTION_STD_LABEL, PaddedText(info.label, sizeof info.label)},
        {"total_space", VANTOR_CAPTION_STD_TOTAL, Bytes(info.ulTotalPublicMemory, info.ulTotalPrivateMemory)},
        {"free_space", VANTOR_CAPTION_STD_FREE, Bytes(info.ulFreePublicMemory, info.ulFreePrivateMemory)},
        {"initialised", VANTOR_CAPTION_STD_INITIALISED,
         LoadStringOrDefault(info.flags & CKF_TOKEN_INITIALIZED ? IDS_STD_YES : IDS_STD_NO)},
        {"production_time", VANTOR_CAPTION_PRODUCTION_TIME, notAvailable},
        {"atr", VANTOR_CAPTION_ATR, notAvailable},
    };
    DeviceInfoTexts& texts = result.texts;
    texts.strSerialNumber = attempt.strSerial;
    texts.strCosVersion = attempt.strVersion;
    texts.strProductionTime = notAvailable;
    texts.strTotalSpace = Bytes(info.ulTotalPublicMemory, info.ulTotalPrivateMemory);
    texts.strAtr = notAvailable;
    texts.strDeviceType = PaddedText(info.model, sizeof info.model);
    return result;
}
