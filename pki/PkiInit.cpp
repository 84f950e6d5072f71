#include "pki/PkiInit.h"

#include "pki/PkiReadBack.h"
#include "pki/StandardInit.h"
#include "res/StringIds.h"
#include "token/DeviceInfoTexts.h"
#include "token/DeviceType.h"
#include "token/CountedEnd.h"
#include "token/TokenTarget.h"

namespace {

// E_InitPkiToken's answers other than CKR_OK.
const ResultMessage kInitFailures[] = {
    {CKR_TOKEN_NOT_RECOGNIZED, IDS_ALREADY_BLANK}, {CKR_TOKEN_WRITE_PROTECTED, IDS_ALREADY_BLANK},
    {CKR_PIN_INCORRECT, IDS_SO_PIN_WRONG},         {CKR_ARGUMENTS_BAD, IDS_SO_PIN_WRONG},
    {CKR_PIN_LEN_RANGE, IDS_PIN_LENGTH},
};

AttemptResult InitialiseFound(TokenModule& module, const VendorRecord& token, const PkiInitParams& asked,
                              AttemptProgress& progress) {
    switch (DeviceTypeOf(token.info.byDeviceType)) {
    case DeviceType::kPki:
    case DeviceType::kBlank:
        break;
    case DeviceType::kLock:
        return CountedEnd(token, AttemptKind::Failure, IDS_ENCRYPTION_LOCK);
    case DeviceType::kUnknown:
        return CountedEnd(token, AttemptKind::Failure, IDS_UNKNOWN_TYPE);
    }

    const TokenIssue issue = progress.IssueFor(DescribeDeviceInfo(token.info).strSerialNumber);
    if (issue.failureId != 0)
        return CountedEnd(token, AttemptKind::Failure, issue.failureId);
    PkiInitRecord record(IssuedParams(asked, issue));
    if (!record.IsValid()) {
        progress.Withdraw(); // left alone: nothing issued for it may stay
        return Refused(token, IDS_LABEL_LENGTH);
    }
    const CK_RV rv = module.InitPkiToken(token.slot, record.Record());
    if (rv == CKR_OK) {
        progress.ShowVerifying();
        return AfterReadBack(token, ReadBackPkiToken(module, token.slot, record), IDS_PKI_DONE,
                             IDS_PKI_VERIFY_FAILED);
    }
    return ModuleAnswer(token, rv, IDS_PKI_DONE, kInitFailures);
}

} // namespace

AttemptResult InitialisePkiToken(TokenModule* module, const PkiInitParams& params,
                                 AttemptProgress& progress) {
    if (module != nullptr && module->IsStandard())
        return InitStandardToken(*module, params, progress);
    return FindTokenTarget(module, progress).Then([&](const VendorRecord& token) {
        return InitialiseFound(*module, token, params, progress);
    });
}
