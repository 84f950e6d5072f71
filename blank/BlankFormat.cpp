#include "blank/BlankFormat.h"

#include "token/FormatTarget.h"
#include "blank/SoPinGuard.h"
#include "blank/WipeReadBack.h"
#include "res/StringIds.h"
#include "res/StringTable.h"
#include "base/TextEncoding.h"

namespace {

class BatchButtons : public SlotListingHook {
  public:
    explicit BatchButtons(BlankFormatReporter& reporter) : m_reporter(reporter) {}
    void OnSlotsListed() override { m_reporter.ShowRunning(); }

  private:
    BlankFormatReporter& m_reporter;
};

// E_InitBlankToken's answers other than CKR_OK; write protection is how the module refuses
// an encryption lock.
const ResultMessage kWipeFailures[] = {
    {CKR_TOKEN_WRITE_PROTECTED, IDS_ENCRYPTION_LOCK},
    {CKR_PIN_INCORRECT, IDS_SO_PIN_WRONG},
    {CKR_ARGUMENTS_BAD, IDS_SO_PIN_WRONG},
    {CKR_PIN_LEN_RANGE, IDS_PIN_LENGTH},
};

} // namespace

bool IsWrongSoPinAnswer(CK_RV rv) {
    return rv == CKR_PIN_INCORRECT || rv == CKR_ARGUMENTS_BAD;
}

CK_RV FormatBlankToken(TokenModule* module, const BlankFormatParams& params, BlankFormatReporter& reporter) {
    BatchButtons buttons(reporter);
    FormatTarget target = FindFormatTarget(module, reporter, params.bBatch ? &buttons : nullptr);
    if (!target.bFound)
        return target.rv;

    switch (target.info.byDeviceType) {
    case DEVICE_TYPE_PKI:
        break;
    case DEVICE_TYPE_BLANK: // nothing to wipe: the token already is what was asked for
        reporter.ReportSuccess(true, LoadStringOrDefault(IDS_ALREADY_BLANK));
        return CKR_OK;
    case DEVICE_TYPE_ENCRYPTION_LOCK:
        reporter.ReportFailure(true, LoadStringOrDefault(IDS_ENCRYPTION_LOCK));
        return CKR_OK;
    default:
        reporter.ReportFailure(true, LoadStringOrDefault(IDS_UNKNOWN_TYPE));
        return CKR_OK;
    }

    if (CK_RV guarded = GuardSoPin(*module, target.slot, params.bBatch, reporter); guarded != CKR_OK)
        return guarded;

    // Wiped when it goes out of scope; the length counts no terminating zero.
    const SecureBytes soPin = WideToMultiByte(params.strSoPin, CP_ACP);
    CK_RV rv = module->InitBlankToken(target.slot, soPin.data(), static_cast<CK_ULONG>(soPin.size()));
    if (rv == CKR_OK)
        return ReportReadBack(ReadBackWipe(*module, target.slot), IDS_BLANK_DONE, std::wstring(), reporter);
    ReportModuleResult(rv, IDS_BLANK_DONE, kWipeFailures, reporter);
    return rv;
}
