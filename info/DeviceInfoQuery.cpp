#include "info/DeviceInfoQuery.h"

#include "res/StringIds.h"
#include "token/TokenTarget.h"

#include <utility>

namespace {

// The query shows no progress and asks no question.
class Silent final : public AttemptProgress {
  public:
    void ShowProgress(unsigned) override {}
    void ShowRunning() override {}
    bool ConfirmFinalTry() override { return false; }
};

} // namespace

DeviceInfoResult QueryDeviceInfo(TokenModule* module) {
    Silent silent;
    if (module != nullptr && module->IsStandard()) {
        StandardInfoResult standard = QueryStandardInfo(*module, silent);
        DeviceInfoResult result;
        result.attempt = standard.attempt;
        result.standardFields = std::move(standard.fields);
        return result;
    }
    const TokenTarget target = FindTokenTarget(module, silent);
    DeviceInfoResult result;
    result.attempt = target.result;
    AttemptResult& attempt = result.attempt;
    if (!target.bFound) {
        // The information page shows IDS_UNKNOWN_ERROR for an unreadable record, where the
        // initialisation pages show IDS_NO_DEVICE_INFO.
        if (attempt.kind == AttemptKind::Failure)
            attempt.messageId = IDS_UNKNOWN_ERROR;
        return result;
    }
    attempt.kind = AttemptKind::Success;
    result.texts = DescribeDeviceInfo(attempt.info);
    return result;
}
