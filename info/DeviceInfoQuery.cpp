#include "info/DeviceInfoQuery.h"

#include "res/StringIds.h"
#include "token/CountedEnd.h"
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
    return FindTokenTarget(module, silent)
        .Match(
            [](const VendorRecord& token) {
                DeviceInfoResult result;
                result.attempt = CountedEnd(token, AttemptKind::Success, 0);
                result.texts = DescribeDeviceInfo(token.info);
                return result;
            },
            [](const AttemptResult& ended) {
                DeviceInfoResult result;
                result.attempt = ShownOnInfoPage(ended);
                return result;
            });
}
