#include "info/StandardInfo.h"

#include "base/Language.h"
#include "res/InfoCaptions.h"
#include "res/StringIds.h"
#include "res/StringTable.h"
#include "token/CountedEnd.h"
#include "token/PaddedText.h"
#include "token/StandardToken.h"

#include <iterator>

namespace {

struct FieldName {
    const char* key;
    const char* chinese;
    const char* english;
};

// The order both front ends show.
constexpr FieldName kFields[] = {
    {"reader", VANTOR_CAPTION_STD_SLOT, VANTOR_CAPTION_STD_SLOT_EN},
    {nullptr, VANTOR_CAPTION_STD_SERIAL, VANTOR_CAPTION_STD_SERIAL_EN},
    {"manufacturer", VANTOR_CAPTION_STD_MAKER, VANTOR_CAPTION_STD_MAKER_EN},
    {"model", VANTOR_CAPTION_STD_MODEL, VANTOR_CAPTION_STD_MODEL_EN},
    {"hardware_version", VANTOR_CAPTION_STD_HARDWARE, VANTOR_CAPTION_STD_HARDWARE_EN},
    {nullptr, VANTOR_CAPTION_STD_FIRMWARE, VANTOR_CAPTION_STD_FIRMWARE_EN},
    {"token_label", VANTOR_CAPTION_STD_LABEL, VANTOR_CAPTION_STD_LABEL_EN},
    {"total_space", VANTOR_CAPTION_STD_TOTAL, VANTOR_CAPTION_STD_TOTAL_EN},
    {"free_space", VANTOR_CAPTION_STD_FREE, VANTOR_CAPTION_STD_FREE_EN},
    {"initialised", VANTOR_CAPTION_STD_INITIALISED, VANTOR_CAPTION_STD_INITIALISED_EN},
    {"production_time", VANTOR_CAPTION_PRODUCTION_TIME, VANTOR_CAPTION_PRODUCTION_TIME_EN},
    {"atr", VANTOR_CAPTION_ATR, VANTOR_CAPTION_ATR_EN},
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
        fields.push_back({name.key, Localized(name.chinese, name.english), std::wstring()});
    return fields;
}

AttemptResult ShownOnInfoPage(AttemptResult ended) {
    auto* message = std::get_if<EndMessage>(&ended.end);
    if (message != nullptr && message->kind == AttemptKind::Failure)
        message->messageId = IDS_UNKNOWN_ERROR;
    return ended;
}

namespace {

StandardInfoResult QueryFound(TokenModule& module, const StandardTarget& target) {
    const StandardIdentity& token = target.token;
    CK_SLOT_INFO slot = {};
    const bool bSlot = module.GetSlotInfo(token.slot, &slot) == CKR_OK;
    const CK_TOKEN_INFO& info = target.info;
    const std::wstring notAvailable = LoadStringOrDefault(IDS_STD_NOT_AVAILABLE);
    const std::wstring values[std::size(kFields)] = {
        bSlot ? PaddedText(slot.slotDescription, sizeof slot.slotDescription) : notAvailable,
        token.serial.empty() ? notAvailable : token.serial, // never initialised
        PaddedText(info.manufacturerID, sizeof info.manufacturerID),
        PaddedText(info.model, sizeof info.model),
        VersionText(info.hardwareVersion),
        token.version,
        PaddedText(info.label, sizeof info.label),
        Bytes(info.ulTotalPublicMemory, info.ulTotalPrivateMemory),
        Bytes(info.ulFreePublicMemory, info.ulFreePrivateMemory),
        LoadStringOrDefault(info.flags & CKF_TOKEN_INITIALIZED ? IDS_STD_YES : IDS_STD_NO),
        notAvailable,
        notAvailable,
    };
    StandardInfoResult result;
    result.attempt = CountedEnd(token, AttemptKind::Success, 0);
    result.fields = StandardInfoFields();
    for (std::size_t i = 0; i < result.fields.size(); ++i)
        result.fields[i].value = values[i];
    return result;
}

} // namespace

StandardInfoResult QueryStandardInfo(TokenModule& module, AttemptProgress& progress) {
    return FindStandardTarget(module, progress)
        .Match([&module](const StandardTarget& target) { return QueryFound(module, target); },
               [](const AttemptResult& ended) {
                   return StandardInfoResult{ShownOnInfoPage(ended), {}};
               });
}
