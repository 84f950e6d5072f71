#include "token/StandardToken.h"

#include "res/StringIds.h"
#include "token/FormatTarget.h"
#include "token/TokenSlots.h"

#include <cstring>

namespace {

bool IsSpareSlot(const CK_TOKEN_INFO& info) {
    return !(info.flags & CKF_TOKEN_INITIALIZED) &&
           PaddedText(info.serialNumber, sizeof info.serialNumber).empty();
}

StandardTarget Ended(AttemptKind kind, unsigned messageId, CK_RV rv = CKR_OK) {
    StandardTarget target;
    target.result = EndedWith(kind, messageId, rv);
    return target;
}

} // namespace

StandardTarget FindStandardTarget(TokenModule& module, AttemptProgress& progress,
                                  void (*onListed)(AttemptProgress&)) {
    CK_SLOT_ID slots[kSlotListPlaces] = {};
    CK_ULONG count = kSlotListPlaces;
    const CK_RV rv = module.GetSlotList(slots, &count);
    if (rv != CKR_OK)
        return Ended(AttemptKind::NoModule, IDS_INIT_MODULE_FAILED, rv);
    if (onListed != nullptr)
        onListed(progress);

    StandardTarget target;
    CK_ULONG tokens = 0;
    for (CK_ULONG i = 0; i < count; ++i) {
        CK_TOKEN_INFO info = {};
        const CK_RV read = module.GetTokenInfo(slots[i], &info);
        if (read == CKR_OK && IsSpareSlot(info))
            continue;
        if (++tokens > 1)
            return Ended(AttemptKind::SeveralTokens, IDS_ONE_TOKEN_ONLY);
        target.result.slot = slots[i];
        target.result.rv = read;
        target.info = info;
    }
    if (tokens == 0)
        return Ended(AttemptKind::NoToken, IDS_INSERT_TOKEN);

    // Stays on the status line while the token works.
    progress.ShowProgress(IDS_INITIALISING);
    AttemptResult& result = target.result;
    result.bToken = true;
    if (result.rv != CKR_OK) {
        result.kind = AttemptKind::Failure;
        result.messageId = IDS_NO_DEVICE_INFO;
        return target;
    }
    result.bStandard = true;
    result.strSerial = PaddedText(target.info.serialNumber, sizeof target.info.serialNumber);
    result.strVersion = VersionText(target.info.firmwareVersion);
    if (!progress.MayWorkOn(result.strSerial)) {
        result = Refused(std::move(result), IDS_NOT_IN_STOCK);
        return target;
    }
    target.bFound = true;
    return target;
}

CK_RV FindSlotBySerial(TokenModule& module, const CK_CHAR (&serial)[16], CK_SLOT_ID& slot,
                       CK_TOKEN_INFO& info) {
    CK_SLOT_ID slots[kSlotListPlaces] = {};
    CK_ULONG count = kSlotListPlaces;
    const CK_RV rv = module.GetSlotList(slots, &count);
    if (rv != CKR_OK)
        return rv;
    for (CK_ULONG i = 0; i < count; ++i) {
        CK_TOKEN_INFO read = {};
        if (module.GetTokenInfo(slots[i], &read) == CKR_OK &&
            std::memcmp(read.serialNumber, serial, sizeof serial) == 0) {
            slot = slots[i];
            info = read;
            return CKR_OK;
        }
    }
    return CKR_TOKEN_NOT_PRESENT;
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

std::wstring PaddedText(const CK_UTF8CHAR* field, std::size_t size) {
    while (size > 0 && (field[size - 1] == ' ' || field[size - 1] == 0))
        --size;
    std::wstring text;
    for (std::size_t i = 0; i < size; ++i)
        text += field[i] >= 0x20 && field[i] < 0x7F ? static_cast<wchar_t>(field[i]) : L'?';
    return text;
}

std::wstring VersionText(const CK_VERSION& version) {
    return std::to_wstring(version.major) + L"." + std::to_wstring(version.minor);
}
