#include "cli/Commands.h"
#include "cli/ConsoleFrontEnd.h"
#include "info/DeviceInfoQuery.h"
#include "attempt/Job.h"
#include "base/Language.h"
#include "base/Utf8.h"
#include "res/InfoCaptions.h"

AttemptRecord RecordOf(const AttemptOutcome& outcome, const StockGate& stock) {
    AttemptRecord attempt;
    attempt.outcome = outcome;
    if (stock.InForce())
        attempt.details.push_back({"stock", L"", StockProgressText(stock.Count())});
    return attempt;
}

int RunJobOnce(Workbench& bench, const TokenJob& job, OutcomeWriter& writer) {
    ConsoleFrontEnd console;
    const AttemptRecord attempt = RecordOf(bench.RunOnce(job.job, console), bench.Stock());
    writer.Write(attempt);
    return ExitCodeOf(attempt.outcome);
}

int RunInfo(Workbench& bench, OutcomeWriter& writer) {
    const DeviceInfoResult result = QueryDeviceInfo(bench.Module());
    AttemptRecord attempt;
    attempt.outcome = RecordInfoQuery(result.attempt, bench.GetLedger());
    for (const StandardInfoField& field : result.standardFields)
        attempt.details.push_back({field.key, Utf8ToWide(field.caption), field.value});
    if (result.attempt.Kind() == AttemptKind::Success && result.standardFields.empty()) {
        const DeviceInfoTexts& texts = result.texts;
        // The information page's captions and fields; serial and version are columns already.
        attempt.details = {
            {nullptr, Localized(L"" VANTOR_CAPTION_SERIAL, L"" VANTOR_CAPTION_SERIAL_EN),
             texts.strSerialNumber},
            {nullptr, Localized(L"" VANTOR_CAPTION_COS_VERSION, L"" VANTOR_CAPTION_COS_VERSION_EN),
             texts.strCosVersion},
            {"production_time",
             Localized(L"" VANTOR_CAPTION_PRODUCTION_TIME, L"" VANTOR_CAPTION_PRODUCTION_TIME_EN),
             texts.strProductionTime},
            {"total_space", Localized(L"" VANTOR_CAPTION_TOTAL_SPACE, L"" VANTOR_CAPTION_TOTAL_SPACE_EN),
             texts.strTotalSpace},
            {"atr", Localized(L"" VANTOR_CAPTION_ATR, L"" VANTOR_CAPTION_ATR_EN), texts.strAtr},
            {"device_type", Localized(L"" VANTOR_CAPTION_DEVICE_TYPE, L"" VANTOR_CAPTION_DEVICE_TYPE_EN),
             texts.strDeviceType}};
    }
    writer.Write(attempt);
    return ExitCodeOf(attempt.outcome);
}
