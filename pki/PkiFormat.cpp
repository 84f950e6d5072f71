#include "PkiFormat.h"

#include "FormatTarget.h"
#include "StringIds.h"
#include "StringTable.h"

namespace {

// Returned when the label does not fit its field; the module is not asked.
constexpr CK_RV kLabelOutOfRange = 1;

void ReportInitResult(CK_RV rv, FormatReporter& reporter) {
    switch (rv) {
    case CKR_OK:
        reporter.ReportSuccess(true, LoadStringOrDefault(IDS_PKI_DONE));
        break;
    case CKR_TOKEN_NOT_RECOGNIZED:
    case CKR_TOKEN_WRITE_PROTECTED:
        reporter.ReportFailure(true, LoadStringOrDefault(IDS_ALREADY_BLANK));
        break;
    case CKR_PIN_INCORRECT:
    case CKR_ARGUMENTS_BAD:
        reporter.ReportFailure(true, LoadStringOrDefault(IDS_SO_PIN_WRONG));
        break;
    case CKR_PIN_LEN_RANGE:
        reporter.ReportFailure(true, LoadStringOrDefault(IDS_PIN_LENGTH));
        break;
    default:
        reporter.ReportFailure(true, FormatUnknownResult(rv));
        break;
    }
}

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
    ReportInitResult(rv, reporter);
    return rv;
}
