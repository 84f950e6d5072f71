#include "blank/BlankPage.h"

#include "blank/BlankFormat.h"
#include "pagekit/PageSupport.h"
#include "res/StringIds.h"
#include "res/StringTable.h"
#include "token/TokenSlots.h"
#include "res/resource.h"

namespace {

constexpr wchar_t kDefaultSoPin[] = L"tamsel";
constexpr int kPinMaxChars = 100;

// A single run on the interface thread: the outcome goes straight to the page and no button
// changes.
class SingleRunReporter final : public BlankFormatReporter {
  public:
    explicit SingleRunReporter(RunPage& page) : m_page(page) {}
    void ReportSuccess(bool bCount, std::wstring text) override {
        m_page.ReportSuccess(bCount, std::move(text));
    }
    void ReportFailure(bool bCount, std::wstring text) override {
        m_page.ReportFailure(bCount, std::move(text));
    }
    void ShowRunning() override {}

  private:
    RunPage& m_page;
};

} // namespace

CBlankPage::CBlankPage(CWnd* pParent)
    : CDialog(IDD_BLANK_PAGE, pParent), m_bBatch(FALSE), m_nFail(0), m_nSuccess(0), m_nTotal(0) {}

CBlankPage::~CBlankPage() {
    StopBatchAndWait();
}

void CBlankPage::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_BLANK_PIN, m_editPin);
    DDX_Control(pDX, IDC_START, m_btnStart);
    DDX_Control(pDX, IDC_STOP, m_btnStop);
    DDX_Control(pDX, IDC_COUNT_TOTAL, m_lblTotal);
    DDX_Control(pDX, IDC_COUNT_SUCCESS, m_lblSuccess);
    DDX_Control(pDX, IDC_BLANK_COUNT_FAIL, m_lblFail);
    DDX_Check(pDX, IDC_BLANK_BATCH_CHECK, m_bBatch);
    DDX_Text(pDX, IDC_BLANK_PIN, m_strPin);
    DDV_MaxChars(pDX, m_strPin, kPinMaxChars);
    DDX_Control(pDX, IDC_BLANK_STATUS, m_lblStatus);
}

BOOL CBlankPage::OnInitDialog() {
    CDialog::OnInitDialog();
    SetWindowText(LoadStringOrDefault(IDS_APP_TITLE).c_str());
    m_lblSuccess.SetTextColor(kColorBlue);
    m_lblFail.SetTextColor(kColorRed);
    m_rcStart = RectInParent(*this, m_btnStart);
    FocusWholeText(m_editPin);
    return FALSE;
}

BOOL CBlankPage::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (HIWORD(wParam) == BN_CLICKED) {
        switch (LOWORD(wParam)) {
        case IDC_BLANK_BATCH_CHECK:
            OnBatchCheck();
            return TRUE;
        case IDC_STOP:
            OnStop();
            return TRUE;
        case IDC_START:
            OnStart();
            return TRUE;
        default:
            break;
        }
    }
    return CDialog::OnCommand(wParam, lParam);
}

LRESULT CBlankPage::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAGE_RUN_REQUEST)
        return m_batch.Handle(wParam, lParam, *this);
    return CDialog::WindowProc(message, wParam, lParam);
}

void CBlankPage::OnShowWindow(BOOL bShow, UINT nStatus) {
    CDialog::OnShowWindow(bShow, nStatus);
    // The run ends here; a worker still finishing its last attempt reports to nobody.
    m_batch.EndForReset();
    LoadDefaults();
    ShowFreshPage(m_lblTotal, m_lblSuccess, m_lblFail, m_lblStatus);
    m_nFail = 0;
    m_nSuccess = 0;
    m_nTotal = 0;
    m_bBatch = FALSE;
    UpdateData(FALSE);
    // Idle at once, without waiting for that worker: a later Start waits for it instead.
    EnableInputs();
    m_btnStart.EnableWindow(TRUE);
    OnBatchCheck();
    FocusWholeText(m_editPin);
}

void CBlankPage::OnBatchCheck() {
    if (!UpdateData(TRUE))
        return;
    ShowStartPrompt(m_lblStatus);
    LayOutRunButtons(*this, m_bBatch != FALSE, m_btnStart, m_btnStop, m_rcStart);
}

void CBlankPage::OnStart() {
    // A second press while this page's run goes on starts nothing; a stopped run that is
    // still finishing its last attempt is waited for, so attempts never overlap.
    if (!m_batch.ReadyForStart())
        return;
    TokenModule* module = CurrentTokenModule();
    if (!IsModuleBound(module)) {
        ReportFailure(false, LoadStringOrDefault(IDS_INIT_MODULE_FAILED));
        return;
    }
    if (!UpdateData(TRUE))
        return;

    BlankFormatParams params;
    params.strSoPin = SecretText(m_strPin.GetString());
    params.bBatch = m_bBatch != FALSE;
    if (!params.bBatch) {
        SingleRunReporter reporter(*this);
        FormatBlankToken(module, params, reporter);
        return;
    }
    DisableInputs();
    // The run works on its own copy of the PIN, whatever happens to the field meanwhile.
    auto attempt = [params](TokenModule* runModule, BlankFormatReporter& reporter) {
        FormatBlankToken(runModule, params, reporter);
    };
    if (!m_batch.Start(m_hWnd, attempt, &BlankWorkerProc, this))
        EnableInputs();
}

void CBlankPage::OnStop() {
    m_bBatch = FALSE;
    m_batch.Stop();
    if (CWnd* check = GetDlgItem(IDC_BLANK_BATCH_CHECK))
        check->EnableWindow(TRUE);
    m_btnStop.EnableWindow(FALSE);
}

void CBlankPage::StopBatchAndWait() {
    m_batch.StopAndWait();
}

void CBlankPage::LoadDefaults() {
    m_strPin = kDefaultSoPin;
    m_bBatch = FALSE;
}

void CBlankPage::ReportSuccess(bool bCount, std::wstring text) {
    ShowStatus(m_lblStatus, kColorBlack, text);
    if (bCount)
        CountOutcome(m_nTotal, m_lblTotal, m_nSuccess, m_lblSuccess, kColorBlue);
}

void CBlankPage::ReportFailure(bool bCount, std::wstring text) {
    ShowStatus(m_lblStatus, kColorRed, text);
    if (bCount)
        CountOutcome(m_nTotal, m_lblTotal, m_nFail, m_lblFail, kColorRed);
}

void CBlankPage::EnableInputs() {
    if (CWnd* check = GetDlgItem(IDC_BLANK_BATCH_CHECK))
        check->EnableWindow(TRUE);
    m_editPin.EnableWindow(TRUE);
}

void CBlankPage::DisableInputs() {
    if (CWnd* check = GetDlgItem(IDC_BLANK_BATCH_CHECK))
        check->EnableWindow(FALSE);
    m_editPin.EnableWindow(FALSE);
}

void CBlankPage::ShowRunning() {
    ShowRunButtons(m_btnStart, m_btnStop, true);
}

void CBlankPage::ShowFinished() {
    ShowRunButtons(m_btnStart, m_btnStop, false);
    EnableInputs();
}

UINT BlankWorkerProc(LPVOID page) {
    if (page == nullptr)
        return 0;
    return static_cast<CBlankPage*>(page)->m_batch.RunWorker();
}
