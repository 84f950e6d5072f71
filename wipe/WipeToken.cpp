#include "wipe/WipeToken.h"

#include "base/TextEncoding.h"
#include "wipe/StandardWipe.h"
#include "wipe/WipeReadBack.h"
#include "res/StringIds.h"
#include "token/CountedEnd.h"
#include "token/DeviceType.h"
#include "token/TokenTarget.h"
#include "token/SoPinGuard.h"

namespace {

// E_InitBlankToken's answers other than CKR_OK; write protection is how the module refuses
// an encryption lock.
const ResultMessage kWipeFailures[] = {
    {CKR_TOKEN_WRITE_PROTECTED, IDS_ENCRYPTION_LOCK},
    {CKR_PIN_INCORRECT, IDS_SO_PIN_WRONG},
    {CKR_ARGUMENTS_BAD, IDS_SO_PIN_WRONG},
    {CKR_PIN_LEN_RANGE, IDS_PIN_LENGTH},
};

AttemptResult WipeFound(TokenModule& module, const VendorRecord& token, const WipeParams& params,
                        AttemptProgress& progress) {
    switch (DeviceTypeOf(token.info.byDeviceType)) {
    case DeviceType::kPki:
        break;
    case DeviceType::kBlank: // nothing to wipe: the token already is what was asked for
        return CountedEnd(token, AttemptKind::Success, IDS_ALREADY_BLANK);
    case DeviceType::kLock:
        return CountedEnd(token, AttemptKind::Failure, IDS_ENCRYPTION_LOCK);
    case DeviceType::kUnknown:
        return CountedEnd(token, AttemptKind::Failure, IDS_UNKNOWN_TYPE);
    }

    if (std::optional<AttemptResult> ended = GuardSoPin(module, token, params.bBatch, progress))
        return *ended;

    // Wiped when it goes out of scope; the length counts no terminating zero.
    const SecureBytes soPin = WideToMultiByte(params.strSoPin, CP_ACP);
    const CK_RV rv = module.InitBlankToken(token.slot, soPin.data(), static_cast<CK_ULONG>(soPin.size()));
    if (rv == CKR_OK) {
        progress.ShowVerifying();
        return AfterReadBack(token, ReadBackWipe(module, token.slot), IDS_WIPE_DONE, 0);
    }
    AttemptResult answered = ModuleAnswer(token, rv, IDS_WIPE_DONE, kWipeFailures);
    if (IsSoPinRefusal(rv))
        answered.stop = AttemptStop::SoPinRefused;
    return answered;
}

} // namespace

AttemptResult WipeToken(TokenModule* module, const WipeParams& params, AttemptProgress& progress) {
    if (module != nullptr && module->IsStandard())
        return WipeStandardToken(*module, params, progress);
    return FindTokenTarget(module, progress, params.bBatch).Then([&](const VendorRecord& token) {
        return WipeFound(*module, token, params, progress);
    });
}
