#include "token/ReadBack.h"

#include "res/StringIds.h"
#include "res/StringTable.h"

CK_RV ReportReadBack(const ReadBack& check, unsigned successId, const std::wstring& failurePrefix,
                     FormatReporter& reporter) {
    switch (check.outcome) {
    case ReadBack::kMismatch:
        reporter.ReportFailure(true, failurePrefix + LoadStringOrDefault(check.mismatchId));
        return CKR_GENERAL_ERROR;
    case ReadBack::kNotVerified:
        reporter.ReportSuccess(true, LoadStringOrDefault(successId) +
                                         FormatStringWithCode(IDS_NOT_VERIFIED, check.rv));
        return CKR_OK;
    case ReadBack::kVerified:
        break;
    }
    reporter.ReportSuccess(true, LoadStringOrDefault(successId));
    return CKR_OK;
}
