#include "cli/AttemptReporter.h"
#include "cli/Commands.h"
#include "info/DeviceInfoQuery.h"
#include "res/StringIds.h"
#include "res/StringTable.h"
#include "pki/PkiFormat.h"

namespace {

// The hardware type as the ledger names it, from the information page's type name: codes
// other than 1 and 2 read as blank there.
std::wstring TypeBeforeOf(const std::wstring& typeName) {
    if (typeName == LoadStringDirect(IDS_TYPE_PKI))
        return L"pki";
    if (typeName == LoadStringDirect(IDS_TYPE_ENCRYPTION_LOCK))
        return L"lock";
    return L"blank";
}

} // namespace

AttemptOutcome RunFormatAttempt(TokenModule& module, const FormatJob& job, bool bBatch) {
    AttemptOutcome attempt;
    attempt.operation = job.bPki ? L"pki" : L"wipe";
    attempt.mode = bBatch ? L"batch" : L"single";
    AttemptReporter reporter;
    if (job.bPki) {
        attempt.label = job.pkiParams.strLabel;
        attempt.rv = FormatPkiToken(&module, job.pkiParams, reporter);
    } else {
        BlankFormatParams params;
        params.strSoPin = job.soPin;
        params.bBatch = bBatch;
        attempt.rv = FormatBlankToken(&module, params, reporter);
    }
    reporter.FillOutcome(attempt);
    return attempt;
}

int RunFormatOnce(TokenModule& module, const FormatJob& job, OutcomeWriter& writer) {
    const AttemptOutcome attempt = RunFormatAttempt(module, job, false);
    writer.Write(attempt);
    return ExitCodeOf(attempt);
}

int RunInfo(TokenModule& module, OutcomeWriter& writer) {
    const DeviceInfoResult result = QueryDeviceInfo(&module);
    AttemptOutcome attempt;
    attempt.operation = L"info";
    attempt.mode = L"single";
    if (result.messageId != 0) {
        attempt.message = LoadStringOrDefault(result.messageId);
        // 112: the one token present could not be read.
        attempt.outcome = result.messageId == IDS_UNKNOWN_ERROR ? Outcome::kFailure : Outcome::kNone;
        writer.Write(attempt);
        return ExitCodeOf(attempt);
    }
    const DeviceInfoTexts& texts = result.texts;
    attempt.outcome = Outcome::kSuccess;
    attempt.rv = CKR_OK;
    attempt.serial = texts.strSerialNumber;
    attempt.cosVersion = texts.strCosVersion;
    attempt.typeBefore = TypeBeforeOf(texts.strDeviceType);
    // The information page's captions and fields; serial and version are columns already.
    attempt.details = {{nullptr, L"硬件序列号：", texts.strSerialNumber},
                       {nullptr, L"COS版本：", texts.strCosVersion},
                       {"production_time", L"生产日期：", texts.strProductionTime},
                       {"total_space", L"锁总空间（字节）：", texts.strTotalSpace},
                       {"atr", L"ATR（16进制值）：", texts.strAtr},
                       {"device_type", L"当前硬件类型：", texts.strDeviceType}};
    writer.Write(attempt);
    return ExitCodeOf(attempt);
}
