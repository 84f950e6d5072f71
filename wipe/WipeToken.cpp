#include "wipe/WipeToken.h"

#include "base/TextEncoding.h"
#include "wipe/StandardWipe.h"
#include "wipe/WipeReadBack.h"
#include "res/StringIds.h"
#include "token/DeviceType.h"
#include "token/TokenTarget.h"
#include "token/SoPinGuard.h"

namespace {

void ShowBatchRunning(AttemptProgress& progress) {
    progress.ShowRunning();
}

// E_InitBlankToken's answers other than CKR_OK; write protection is how the module refuses
// an encryption lock.
const ResultMessage kWipeFailures[] = {
    {CKR_TOKEN_WRITE_PROTECTED, IDS_ENCRYPTION_LOCK},
    {CKR_PIN_INCORRECT, IDS_SO_PIN_WRONG},
    {CKR_ARGUMENTS_BAD, IDS_SO_PIN_WRONG},
    {CKR_PIN_LEN_RANGE, IDS_PIN_LENGTH},
};

} // namespace

AttemptResult WipeToken(TokenModule* module, const WipeParams& params, AttemptProgress& progress) {
    if (module != nullptr && module->IsStandard())
        return WipeStandardToken(*module, params, progress);
    TokenTarget target = FindTokenTarget(module, progress, params.bBatch ? &ShowBatchRunning : nullptr);
    AttemptResult& result = target.result;
    if (!target.bFound)
        return result;

    switch (DeviceTypeOf(result.info.byDeviceType)) {
    case DeviceType::kPki:
        break;
    case DeviceType::kBlank: // nothing to wipe: the token already is what was asked for
        return CountedEnd(result, AttemptKind::Success, IDS_ALREADY_BLANK);
    case DeviceType::kLock:
        return CountedEnd(result, AttemptKind::Failure, IDS_ENCRYPTION_LOCK);
    case DeviceType::kUnknown:
        return CountedEnd(result, AttemptKind::Failure, IDS_UNKNOWN_TYPE);
    }

    result.guard = GuardSoPin(*module, result, params.bBatch, progress);
    if (!MayTrySoPin(result.guard))
        return result;

    // Wiped when it goes out of scope; the length counts no terminating zero.
    const SecureBytes soPin = WideToMultiByte(params.strSoPin, CP_ACP);
    const CK_RV rv = module->InitBlankToken(result.slot, soPin.data(), static_cast<CK_ULONG>(soPin.size()));
    if (rv == CKR_OK) {
        progress.ShowVerifying();
        return AfterReadBack(result, ReadBackWipe(*module, result.slot), IDS_WIPE_DONE, 0);
    }
    AttemptResult answered = ModuleAnswer(result, rv, IDS_WIPE_DONE, kWipeFailures);
    answered.bSoPinRefused = IsSoPinRefusal(rv);
    return answered;
}
