#include "blank/BlankPage.h"

#include "attempt/AttemptRunner.h"
#include "blank/BlankFormat.h"
#include "pagekit/PageSupport.h"
#include "res/StringIds.h"
#include "res/StringTable.h"
#include "res/resource.h"
#include "token/PinDefaults.h"

CBlankPage::CBlankPage(CWnd* pParent)
    : CInitPage(IDD_BLANK_PAGE, pParent, {IDC_BLANK_BATCH_CHECK, IDC_BLANK_STATUS, IDC_BLANK_COUNT_FAIL}) {}

void CBlankPage::DoDataExchange(CDataExchange* pDX) {
    CInitPage::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_BLANK_PIN, m_editPin);
    DDX_Text(pDX, IDC_BLANK_PIN, m_strPin);
    DDV_MaxChars(pDX, m_strPin, kPinMaxChars);
}

BatchWorker::Attempt CBlankPage::TakeAttempt() {
    if (!UpdateData(TRUE))
        return nullptr;
    BlankFormatParams params;
    params.strSoPin = SecretText(m_strPin.GetString());
    params.bBatch = m_bBatch != FALSE;
    AttemptSetting setting;
    setting.operation = LedgerOperation::Wipe;
    setting.mode = RunMode();
    setting.ledger = CurrentLedger();
    setting.stock = CurrentStockGate();
    return [params, setting](TokenModule* module, AttemptFrontEnd& frontEnd) {
        const AttemptOutcome outcome = RunAndRecordAttempt(
            [&](AttemptProgress& progress) { return FormatBlankToken(module, params, progress); }, setting,
            frontEnd);
        return outcome.bStopBatch ? BatchWorker::After::StopRun : BatchWorker::After::GoOn;
    };
}

bool CBlankPage::FillStationParameters(StationParameters& parameters) {
    if (!UpdateData(TRUE))
        return false;
    parameters.pins.clear();
    parameters.pins.emplace_back(m_strPin.GetString());
    return true;
}

std::vector<int> CBlankPage::ParameterFieldIds() const {
    return {IDC_BLANK_PIN};
}

void CBlankPage::LoadDefaults() {
    m_strPin = kDefaultSoPin;
    m_bBatch = FALSE;
}

void CBlankPage::EnableRunInputs(BOOL bEnable) {
    if (CWnd* check = GetDlgItem(IDC_BLANK_BATCH_CHECK))
        check->EnableWindow(bEnable);
    m_editPin.EnableWindow(bEnable);
}

void CBlankPage::EnableInputsAtStop() {
    if (CWnd* check = GetDlgItem(IDC_BLANK_BATCH_CHECK))
        check->EnableWindow(TRUE);
}
