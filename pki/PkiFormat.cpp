#include "pki/PkiFormat.h"

#include "token/FormatTarget.h"
#include "pki/PkiReadBack.h"
#include "res/StringIds.h"
#include "res/StringTable.h"

namespace {

// Returned when the label does not fit its field; the module is not asked.
constexpr CK_RV kLabelOutOfRange = 1;

// E_InitPkiToken's answers other than CKR_OK.
const ResultMessage kInitFailures[] = {
    {CKR_TOKEN_NOT_RECOGNIZED, IDS_ALREADY_BLANK}, {CKR_TOKEN_WRITE_PROTECTED, IDS_ALREADY_BLANK},
    {CKR_PIN_INCORRECT, IDS_SO_PIN_WRONG},         {CKR_ARGUMENTS_BAD, IDS_SO_PIN_WRONG},
    {CKR_PIN_LEN_RANGE, IDS_PIN_LENGTH},
};

} // namespace

CK_RV FormatPkiToken(TokenModule* module, const PkiFormatParams& params, FormatReporter& reporter) {
    FormatTarget target = FindFormatTarget(module, reporter);
    if (!target.bFound)
        return target.rv;

    switch (target.info.byDeviceType) {
    case DEVICE_TYPE_PKI:
    case DEVICE_TYPE_BLANK:
        break;
    case DEVICE_TYPE_ENCRYPTION_LOCK:
        reporter.ReportFailure(true, LoadStringOrDefault(IDS_ENCRYPTION_LOCK));
        return CKR_OK;
    default:
        reporter.ReportFailure(true, LoadStringOrDefault(IDS_UNKNOWN_TYPE));
        return CKR_OK;
    }

    PkiInitRecord record(params);
    if (!record.IsValid()) {
        reporter.ReportFailure(true, LoadStringOrDefault(IDS_LABEL_LENGTH));
        return kLabelOutOfRange;
    }
    CK_RV rv = module->InitPkiToken(target.slot, record.Record());
    if (rv == CKR_OK)
        return ReportReadBack(ReadBackPkiToken(*module, target.slot, record), IDS_PKI_DONE,
                              LoadStringOrDefault(IDS_PKI_VERIFY_FAILED), reporter);
    ReportModuleResult(rv, IDS_PKI_DONE, kInitFailures, reporter);
    return rv;
}
