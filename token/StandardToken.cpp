#include "token/StandardToken.h"

#include "res/StringIds.h"
#include "token/TokenTarget.h"
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

    // A token never initialised has no serial number yet and looks like a spare slot: it is the
    // token only when no other is present (SoftHSM2 keeps a spare beside every token it holds).
    StandardTarget target, spare;
    CK_ULONG tokens = 0, spares = 0;
    for (CK_ULONG i = 0; i < count; ++i) {
        CK_TOKEN_INFO info = {};
        const CK_RV read = module.GetTokenInfo(slots[i], &info);
        const bool bSpare = read == CKR_OK && IsSpareSlot(info);
        if (!bSpare && ++tokens > 1)
            return Ended(AttemptKind::SeveralTokens, IDS_ONE_TOKEN_ONLY);
        spares += bSpare ? 1 : 0;
        StandardTarget& seen = bSpare ? spare : target;
        seen.result.slot = slots[i];
        seen.result.rv = read;
        seen.info = info;
    }
    if (tokens == 0 && spares > 1) // which of them is meant cannot be told
        return Ended(AttemptKind::SeveralTokens, IDS_ONE_TOKEN_ONLY);
    if (tokens == 0 && spares == 0)
        return Ended(AttemptKind::NoToken, IDS_INSERT_TOKEN);
    if (tokens == 0)
        target = spare;

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
