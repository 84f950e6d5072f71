#include "pki/PkiPage.h"

#include "pagekit/PageSupport.h"
#include "pki/PkiFormat.h"
#include "res/StringIds.h"
#include "res/StringTable.h"
#include "token/TokenSlots.h"
#include "res/resource.h"

namespace {

// The product configuration's PIN lengths, in characters of the typed text (UTF-16 units).
struct PinLengthLimits {
    DWORD dwUserPinMin;
    DWORD dwUserPinMax;
    DWORD dwSoPinMin;
    DWORD dwSoPinMax;
};
constexpr PinLengthLimits kPinLengths{4, 32, 4, 32};

constexpr int kPinMaxChars = 100;
constexpr int kLabelMaxChars = 32;
constexpr DWORD kAreaSizeMax = 65535;
constexpr int kRetryTypingLimit = 3;
constexpr int kSizeTypingLimit = 5;

// Parameter fields and the check box, in the order they are enabled and disabled.
constexpr int kInputIds[] = {IDC_PKI_SO_PIN,       IDC_PKI_USER_PIN,   IDC_PKI_LABEL,
                             IDC_PKI_USER_RETRY,   IDC_PKI_SO_RETRY,   IDC_PKI_PUBLIC_SIZE,
                             IDC_PKI_PRIVATE_SIZE, IDC_PKI_BATCH_CHECK};

bool IsPinLengthValid(const CString& pin, DWORD minChars, DWORD maxChars) {
    const auto length = static_cast<DWORD>(pin.GetLength());
    return length >= minChars && length <= maxChars;
}

} // namespace

CPkiPage::CPkiPage(CWnd* pParent)
    : CDialog(IDD_PKI_PAGE, pParent), m_bBatch(FALSE), m_dwPrivateSize(0), m_dwPublicSize(0),
      m_bySoPinMaxRetry(0), m_byUserPinMaxRetry(0), m_nTotal(0), m_nSuccess(0), m_nFail(0) {}

CPkiPage::~CPkiPage() {
    StopBatchAndWait();
}

void CPkiPage::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_PKI_SO_PIN, m_editSoPin);
    DDX_Control(pDX, IDC_PKI_NOTE, m_lblNote);
    DDX_Control(pDX, IDC_STOP, m_btnStop);
    DDX_Control(pDX, IDC_START, m_btnStart);
    DDX_Control(pDX, IDC_PKI_STATUS, m_lblStatus);
    DDX_Control(pDX, IDC_COUNT_SUCCESS, m_lblSuccess);
    DDX_Control(pDX, IDC_COUNT_TOTAL, m_lblTotal);
    DDX_Control(pDX, IDC_PKI_COUNT_FAIL, m_lblFail);
    DDX_Check(pDX, IDC_PKI_BATCH_CHECK, m_bBatch);
    // This order decides which bad field is reported and focused first.
    DDX_Text(pDX, IDC_PKI_SO_PIN, m_strSoPin);
    DDV_MaxChars(pDX, m_strSoPin, kPinMaxChars);
    DDX_Text(pDX, IDC_PKI_PRIVATE_SIZE, m_dwPrivateSize);
    DDV_MinMaxDWord(pDX, m_dwPrivateSize, 0, kAreaSizeMax);
    DDX_Text(pDX, IDC_PKI_PUBLIC_SIZE, m_dwPublicSize);
    DDV_MinMaxDWord(pDX, m_dwPublicSize, 0, kAreaSizeMax);
    DDX_Text(pDX, IDC_PKI_SO_RETRY, m_bySoPinMaxRetry);
    DDV_MinMaxByte(pDX, m_bySoPinMaxRetry, 1, 255);
    DDX_Text(pDX, IDC_PKI_LABEL, m_strLabel);
    DDV_MaxChars(pDX, m_strLabel, kLabelMaxChars);
    DDX_Text(pDX, IDC_PKI_USER_PIN, m_strUserPin);
    DDV_MaxChars(pDX, m_strUserPin, kPinMaxChars);
    DDX_Text(pDX, IDC_PKI_USER_RETRY, m_byUserPinMaxRetry);
    DDV_MinMaxByte(pDX, m_byUserPinMaxRetry, 1, 255);
}

BOOL CPkiPage::OnInitDialog() {
    CDialog::OnInitDialog();
    SetWindowText(LoadStringOrDefault(IDS_APP_TITLE).c_str());
    m_lblSuccess.SetTextColor(kColorBlue);
    m_lblFail.SetTextColor(kColorRed);
    m_lblNote.SetTextColor(kColorBlue);
    m_rcStart = RectInParent(*this, m_btnStart);
    FocusWholeText(m_editSoPin);
    // The next exchange raises the PIN fields to 100 characters, so a PIN too long for the
    // configuration can be typed and is refused by Start with a counted failure.
    SendDlgItemMessageW(m_hWnd, IDC_PKI_SO_RETRY, EM_LIMITTEXT, kRetryTypingLimit, 0);
    SendDlgItemMessageW(m_hWnd, IDC_PKI_USER_RETRY, EM_LIMITTEXT, kRetryTypingLimit, 0);
    SendDlgItemMessageW(m_hWnd, IDC_PKI_PUBLIC_SIZE, EM_LIMITTEXT, kSizeTypingLimit, 0);
    SendDlgItemMessageW(m_hWnd, IDC_PKI_PRIVATE_SIZE, EM_LIMITTEXT, kSizeTypingLimit, 0);
    SendDlgItemMessageW(m_hWnd, IDC_PKI_SO_PIN, EM_LIMITTEXT, kPinLengths.dwSoPinMax, 0);
    SendDlgItemMessageW(m_hWnd, IDC_PKI_USER_PIN, EM_LIMITTEXT, kPinLengths.dwUserPinMax, 0);
    return FALSE;
}

BOOL CPkiPage::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (HIWORD(wParam) == BN_CLICKED) {
        switch (LOWORD(wParam)) {
        case IDC_START:
            OnStart();
            return TRUE;
        case IDC_STOP:
            OnStop();
            return TRUE;
        case IDC_PKI_BATCH_CHECK:
            OnBatchCheck();
            return TRUE;
        default:
            break;
        }
    }
    return CDialog::OnCommand(wParam, lParam);
}

LRESULT CPkiPage::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAGE_RUN_REQUEST)
        return m_batch.Handle(wParam, lParam, *this);
    return CDialog::WindowProc(message, wParam, lParam);
}

void CPkiPage::OnShowWindow(BOOL bShow, UINT nStatus) {
    CDialog::OnShowWindow(bShow, nStatus);
    // The run ends here; a worker still finishing its last attempt reports to nobody.
    m_batch.EndForReset();
    LoadDefaults();
    ShowFreshPage(m_lblTotal, m_lblSuccess, m_lblFail, m_lblStatus);
    m_nFail = 0;
    m_nSuccess = 0;
    m_nTotal = 0;
    UpdateData(FALSE);
    // Idle at once, without waiting for that worker: a later Start waits for it instead.
    EnableInputs();
    m_btnStart.EnableWindow(TRUE);
    OnBatchCheck();
    FocusWholeText(m_editSoPin);
}

void CPkiPage::OnBatchCheck() {
    if (!UpdateData(TRUE))
        return;
    ShowStartPrompt(m_lblStatus);
    LayOutRunButtons(*this, m_bBatch != FALSE, m_btnStart, m_btnStop, m_rcStart);
}

void CPkiPage::OnStart() {
    // A second press while this page's run goes on starts nothing; a stopped run that is
    // still finishing its last attempt is waited for, so attempts never overlap.
    if (!m_batch.ReadyForStart())
        return;
    if (!UpdateData(TRUE))
        return;
    // Refused PIN lengths count as failed attempts; no token is touched.
    if (!IsPinLengthValid(m_strSoPin, kPinLengths.dwSoPinMin, kPinLengths.dwSoPinMax) ||
        !IsPinLengthValid(m_strUserPin, kPinLengths.dwUserPinMin, kPinLengths.dwUserPinMax)) {
        ReportFailure(true, LoadStringOrDefault(IDS_PIN_LENGTH));
        return;
    }
    TokenModule* module = CurrentTokenModule();
    if (!IsModuleBound(module)) {
        ReportFailure(false, LoadStringOrDefault(IDS_INIT_MODULE_FAILED));
        return;
    }

    PkiFormatParams params;
    params.strSoPin = SecretText(m_strSoPin.GetString());
    params.strUserPin = SecretText(m_strUserPin.GetString());
    params.strLabel = m_strLabel.ToStdWString();
    params.bySoPinMaxRetry = m_bySoPinMaxRetry;
    params.byUserPinMaxRetry = m_byUserPinMaxRetry;
    params.ulPublicSize = m_dwPublicSize;
    params.ulPrivateSize = m_dwPrivateSize;
    if (!m_bBatch) {
        FormatPkiToken(module, params, *this);
        return;
    }
    DisableInputs();
    // The run works on its own copy of the parameters, whatever happens to the fields.
    auto attempt = [params](TokenModule* runModule, BlankFormatReporter& reporter) {
        FormatPkiToken(runModule, params, reporter);
    };
    if (!m_batch.Start(m_hWnd, attempt, &PkiWorkerProc, this))
        EnableInputs();
}

void CPkiPage::OnStop() {
    m_bBatch = FALSE;
    m_batch.Stop();
    EnableInputs();
    m_btnStop.EnableWindow(FALSE);
}

void CPkiPage::StopBatchAndWait() {
    m_batch.StopAndWait();
}

void CPkiPage::LoadDefaults() {
    m_strSoPin = L"tamsel";
    m_strUserPin = L"5820";
    m_strLabel = L"Orbel";
    m_dwPublicSize = 30000;
    m_bySoPinMaxRetry = 6;
    m_byUserPinMaxRetry = 6;
    m_dwPrivateSize = 15000;
    m_bBatch = FALSE;
}

void CPkiPage::ReportSuccess(bool bCount, std::wstring text) {
    ShowStatus(m_lblStatus, kColorBlack, text);
    if (bCount)
        CountOutcome(m_nTotal, m_lblTotal, m_nSuccess, m_lblSuccess, kColorBlue);
}

void CPkiPage::ReportFailure(bool bCount, std::wstring text) {
    ShowStatus(m_lblStatus, kColorRed, text);
    if (bCount)
        CountOutcome(m_nTotal, m_lblTotal, m_nFail, m_lblFail, kColorRed);
}

void CPkiPage::EnableInputs() {
    EnableParameterInputs(TRUE);
}
void CPkiPage::DisableInputs() {
    EnableParameterInputs(FALSE);
}

void CPkiPage::EnableParameterInputs(BOOL bEnable) {
    for (int id : kInputIds)
        ::EnableWindow(::GetDlgItem(m_hWnd, id), bEnable);
}

void CPkiPage::ShowRunning() {
    ShowRunButtons(m_btnStart, m_btnStop, true);
}

void CPkiPage::ShowFinished() {
    ShowRunButtons(m_btnStart, m_btnStop, false);
    EnableInputs();
}

UINT PkiWorkerProc(LPVOID page) {
    if (page == nullptr)
        return 0;
    return static_cast<CPkiPage*>(page)->m_batch.RunWorker();
}
