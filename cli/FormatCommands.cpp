#include "blank/BlankFormat.h"
#include "cli/Commands.h"
#include "cli/ConsoleReporter.h"
#include "info/DeviceInfoQuery.h"
#include "ledger/LedgeredAttempt.h"
#include "ledger/LedgerSources.h"
#include "ledger/LedgerTexts.h"
#include "pki/PkiFormat.h"
#include "res/StringIds.h"
#include "res/StringTable.h"

AttemptRecord RunFormatAttempt(TokenModule& module, const FormatJob& job, bool bBatch, Ledger* ledger) {
    AttemptRecord attempt;
    LedgerEntry& entry = attempt.entry;
    entry.operation = job.bPki ? LedgerOperation::Pki : LedgerOperation::Wipe;
    entry.mode = bBatch ? LedgerMode::Batch : LedgerMode::Single;
    entry.label = job.bPki ? job.pkiParams.strLabel : std::wstring();
    ConsoleReporter shown;
    LedgeredAttempt ledgered(shown, ledger, entry.operation, entry.mode, entry.label);
    CK_RV rv;
    if (job.bPki) {
        rv = FormatPkiToken(&module, job.pkiParams, ledgered);
    } else {
        BlankFormatParams params;
        params.strSoPin = job.soPin;
        params.bBatch = bBatch;
        rv = FormatBlankToken(&module, params, ledgered);
    }
    const LedgerAppendResult written = ledgered.Finish(rv);
    attempt.bCounted = shown.Counted();
    attempt.time = LocalTimeNow();
    if (attempt.bCounted && ledgered.Entry()) {
        entry = *ledgered.Entry();
        // The text shown is the entry's message with the ledger's notes after it.
        attempt.note = shown.Text().substr(entry.message.size());
        attempt.bLedgerFailed = !written.written;
        if (ledger != nullptr)
            attempt.time = written.time;
        return attempt;
    }
    if (shown.TokenNoted())
        FillTokenFields(entry, shown.Slot(), shown.Info());
    entry.rv = rv;
    entry.message = shown.Text();
    return attempt;
}

int RunFormatOnce(TokenModule& module, const FormatJob& job, OutcomeWriter& writer) {
    const AttemptRecord attempt = RunFormatAttempt(module, job, false, writer.GetLedger());
    writer.Write(attempt);
    return ExitCodeOf(attempt);
}

int RunInfo(TokenModule& module, OutcomeWriter& writer) {
    const DeviceInfoResult result = QueryDeviceInfo(&module);
    AttemptRecord attempt;
    LedgerEntry& entry = attempt.entry;
    entry.operation = LedgerOperation::Info;
    attempt.time = LocalTimeNow();
    if (result.messageId != 0) {
        entry.message = LoadStringOrDefault(result.messageId);
        // 112: the one token present could not be read; no token's data was shown.
        attempt.bCounted = result.messageId == IDS_UNKNOWN_ERROR;
        writer.Write(attempt);
        return ExitCodeOf(attempt);
    }
    attempt.bCounted = true;
    entry.outcome = LedgerOutcome::Success;
    FillTokenFields(entry, result.slot, &result.info);
    if (Ledger* ledger = writer.GetLedger()) {
        const LedgerAppendResult written = ledger->Append(entry);
        attempt.time = written.time;
        attempt.bLedgerFailed = !written.written;
        attempt.note = written.written ? L"" : kLedgerNotWrittenNote;
    }
    const DeviceInfoTexts& texts = result.texts;
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
