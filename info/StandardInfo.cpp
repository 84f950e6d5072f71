#include "info/StandardInfo.h"

#include "res/InfoCaptions.h"
#include "res/StringIds.h"
#include "res/StringTable.h"
#include "token/StandardToken.h"

#include <iterator>

namespace {

struct FieldName {
    const char* key;
    const char* caption;
};

// The order both front ends show.
constexpr FieldName kFields[] = {
    {"reader", VANTOR_CAPTION_STD_SLOT},
    {nullptr, VANTOR_CAPTION_STD_SERIAL},
    {"manufacturer", VANTOR_CAPTION_STD_MAKER},
    {"model", VANTOR_CAPTION_STD_MODEL},
    {"hardware_version", VANTOR_CAPTION_STD_HARDWARE},
    {nullptr, VANTOR_CAPTION_STD_FIRMWARE},
    {"token_label", VANTOR_CAPTION_STD_LABEL},
    {"total_space", VANTOR_CAPTION_STD_TOTAL},
    {"free_space", VANTOR_CAPTION_STD_FREE},
    {"initialised", VANTOR_CAPTION_STD_INITIALISED},
    {"production_time", VANTOR_CAPTION_PRODUCTION_TIME},
    {"atr", VANTOR_CAPTION_ATR},
};

// Total or free bytes of both areas; the module may not know them.
std::wstring Bytes(CK_ULONG publicBytes, CK_ULONG privateBytes) {
    if (publicBytes == CK_UNAVAILABLE_INFORMATION || privateBytes == CK_UNAVAILABLE_INFORMATION)
        return LoadStringOrDefault(IDS_STD_NOT_AVAILABLE);
    return std::to_wstring(static_cast<unsigned long long>(publicBytes) + privateBytes);
}

} // namespace

std::vector<StandardInfoField> StandardInfoFields() {
    std::vector<StandardInfoField> fields;
    for (const FieldName& name : kFields)
        fields.push_back({name.key, name.caption, std::wstring()});
    return fields;
}

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
    const std::wstring values[std::size(kFields)] = {
        bSlot ? PaddedText(slot.slotDescription, sizeof slot.slotDescription) : notAvailable,
        attempt.strSerial.empty() ? notAvailable : attempt.strSerial, // never initialised
        PaddedText(info.manufacturerID, sizeof info.manufacturerID),
        PaddedText(info.model, sizeof info.model),
        VersionText(info.hardwareVersion),
        attempt.strVersion,
        PaddedText(info.label, sizeof info.label),
        Bytes(info.ulTotalPublicMemory, info.ulTotalPrivateMemory),
        Bytes(info.ulFreePublicMemory, info.ulFreePrivateMemory),
        LoadStringOrDefault(info.flags & CKF_TOKEN_INITIALIZED ? IDS_STD_YES : IDS_STD_NO),
        notAvailable,
        notAvailable,
    };
    result.fields = StandardInfoFields();
    for (std::size_t i = 0; i < result.fields.size(); ++i)
        result.fields[i].value = values[i];
    return result;
}
