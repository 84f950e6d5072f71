#include "wipepage/WipePage.h"

#include "pagekit/PageSupport.h"
#include "res/StringIds.h"
#include "res/StringTable.h"
#include "res/resource.h"
#include "token/PinDefaults.h"

CWipePage::CWipePage(CWnd* pParent, Workbench& bench)
    : CInitPage(IDD_WIPE_PAGE, pParent, {IDC_WIPE_BATCH_CHECK, IDC_WIPE_STATUS, IDC_WIPE_COUNT_FAIL}, bench) {
}

void CWipePage::DoDataExchange(CDataExchange* pDX) {
    CInitPage::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_WIPE_PIN, m_editPin);
    DDX_Text(pDX, IDC_WIPE_PIN, m_strPin);
    DDV_MaxChars(pDX, m_strPin, kPinMaxChars);
}

Job CWipePage::FieldsJob() const {
    Job job;
    job.operation = JobOperation::Wipe;
    job.soPin = SecretText(m_strPin.GetString());
    return job;
}

std::optional<Job> CWipePage::TakeJob() {
    if (!UpdateData(TRUE))
        return std::nullopt;
    return FieldsJob();
}

bool CWipePage::FillStationParameters(StationParameters& parameters) {
    if (!UpdateData(TRUE))
        return false;
    parameters.job = FieldsJob();
    return true;
}

std::vector<int> CWipePage::ParameterFieldIds() const {
    return {IDC_WIPE_PIN};
}

void CWipePage::LoadDefaults() {
    m_strPin = kDefaultSoPin;
    m_bBatch = FALSE;
}

void CWipePage::EnableRunInputs(BOOL bEnable) {
    if (CWnd* check = GetDlgItem(IDC_WIPE_BATCH_CHECK))
        check->EnableWindow(bEnable);
    m_editPin.EnableWindow(bEnable);
}

void CWipePage::EnableInputsAtStop() {
    if (CWnd* check = GetDlgItem(IDC_WIPE_BATCH_CHECK))
        check->EnableWindow(TRUE);
}
