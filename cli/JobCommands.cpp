#include "cli/Commands.h"
#include "cli/ConsoleFrontEnd.h"
#include "info/DeviceInfoQuery.h"
#include "attempt/Job.h"
#include "base/Language.h"
#include "base/Utf8.h"
#include "res/InfoCaptions.h"

#include <cstring>

AttemptRecord RecordOf(const AttemptOutcome& outcome, const StockGate& stock) {
    AttemptRecord attempt;
    attempt.outcome = outcome;
    if (stock.InForce())
        attempt.details.push_back({"stock", L"", StockProgressText(stock.Count())});
    return attempt;
}

namespace {

// A caption of the standard information as the information page spells it, in the language shown.
const char* CaptionShown(const char* caption) {
    static const struct {
        const char* chinese;
        const char* english;
    } kCaptions[] = {
        {VANTOR_CAPTION_STD_SLOT, VANTOR_CAPTION_STD_SLOT_EN},
        {VANTOR_CAPTION_STD_SERIAL, VANTOR_CAPTION_STD_SERIAL_EN},
        {VANTOR_CAPTION_STD_MAKER, VANTOR_CAPTION_STD_MAKER_EN},
        {VANTOR_CAPTION_STD_MODEL, VANTOR_CAPTION_STD_MODEL_EN},
        {VANTOR_CAPTION_STD_HARDWARE, VANTOR_CAPTION_STD_HARDWARE_EN},
        {VANTOR_CAPTION_STD_FIRMWARE, VANTOR_CAPTION_STD_FIRMWARE_EN},
        {VANTOR_CAPTION_STD_LABEL, VANTOR_CAPTION_STD_LABEL_EN},
        {VANTOR_CAPTION_STD_TOTAL, VANTOR_CAPTION_STD_TOTAL_EN},
        {VANTOR_CAPTION_STD_FREE, VANTOR_CAPTION_STD_FREE_EN},
        {VANTOR_CAPTION_STD_INITIALISED, VANTOR_CAPTION_STD_INITIALISED_EN},
        {VANTOR_CAPTION_PRODUCTION_TIME, VANTOR_CAPTION_PRODUCTION_TIME_EN},
        {VANTOR_CAPTION_ATR, VANTOR_CAPTION_ATR_EN},
    };
    for (const auto& pair : kCaptions)
        if (std::strcmp(caption, pair.chinese) == 0)
            return Localized(pair.chinese, pair.english);
    return caption; // already in the language shown
}

} // namespace

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
        attempt.details.push_back({field.key, Utf8ToWide(CaptionShown(field.caption)), field.value});
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
