#include "pki/PkiInit.h"

#include "pki/PkiReadBack.h"
#include "pki/StandardInit.h"
#include "res/StringIds.h"
#include "token/DeviceType.h"
#include "token/TokenTarget.h"

namespace {

// E_InitPkiToken's answers other than CKR_OK.
const ResultMessage kInitFailures[] = {
    {CKR_TOKEN_NOT_RECOGNIZED, IDS_ALREADY_BLANK}, {CKR_TOKEN_WRITE_PROTECTED, IDS_ALREADY_BLANK},
    {CKR_PIN_INCORRECT, IDS_SO_PIN_WRONG},         {CKR_ARGUMENTS_BAD, IDS_SO_PIN_WRONG},
    {CKR_PIN_LEN_RANGE, IDS_PIN_LENGTH},
};

} // namespace

AttemptResult InitialisePkiToken(TokenModule* module, const PkiInitParams& params,
                                 AttemptProgress& progress) {
    if (module != nullptr && module->IsStandard())
        return InitStandardToken(*module, params, progress);
    TokenTarget target = FindTokenTarget(module, progress);
    AttemptResult& result = target.result;
    if (!target.bFound)
        return result;

    switch (DeviceTypeOf(result.info.byDeviceType)) {
    case DeviceType::kPki:
    case DeviceType::kBlank:
        break;
    case DeviceType::kLock:
        return CountedEnd(result, AttemptKind::Failure, IDS_ENCRYPTION_LOCK);
    case DeviceType::kUnknown:
        return CountedEnd(result, AttemptKind::Failure, IDS_UNKNOWN_TYPE);
    }

    PkiInitRecord record(params);
    if (!record.IsValid()) {
        return Refused(result, IDS_LABEL_LENGTH);
    }
    const CK_RV rv = module->InitPkiToken(result.slot, record.Record());
    if (rv == CKR_OK) {
        progress.ShowVerifying();
        return AfterReadBack(result, ReadBackPkiToken(*module, result.slot, record), IDS_PKI_DONE,
                             IDS_PKI_VERIFY_FAILED);
    }
    return ModuleAnswer(result, rv, IDS_PKI_DONE, kInitFailures);
}
