#include "pagekit/InitPage.h"

#include "attempt/AttemptRunner.h"
#include "attempt/OutcomeText.h"
#include "attempt/StockGate.h"
#include "pagekit/PageSupport.h"
#include "res/StringIds.h"
#include "res/StringTable.h"
#include "res/resource.h"
#include "token/TokenSlots.h"

namespace {

// A parameter the operator sets by ticking, remembered by its state rather than its caption.
bool IsCheckBox(HWND control) {
    wchar_t className[16] = L"";
    ::GetClassNameW(control, className, 16);
    return ::lstrcmpiW(className, L"Button") == 0;
}

} // namespace

CInitPage::CInitPage(UINT templateId, CWnd* pParent, InitPageIds ids, Workbench& bench)
    : CPageDialog(templateId, pParent), m_ids(ids), m_bench(bench), m_batch(*this, bench) {}

CInitPage::~CInitPage() {
    StopBatchAndWait();
}

void CInitPage::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_START, m_btnStart);
    DDX_Control(pDX, IDC_STOP, m_btnStop);
    DDX_Control(pDX, IDC_COUNT_TOTAL, m_lblTotal);
    DDX_Control(pDX, IDC_COUNT_SUCCESS, m_lblSuccess);
    DDX_Control(pDX, m_ids.failCount, m_lblFail);
    DDX_Control(pDX, m_ids.status, m_lblStatus);
    DDX_Check(pDX, m_ids.batchCheck, m_bBatch);
}

BOOL CInitPage::OnInitDialog() {
    CDialog::OnInitDialog();
    SetWindowText(LoadStringOrDefault(IDS_APP_TITLE).c_str());
    m_lblSuccess.SetTextColor(kColorBlue);
    m_lblFail.SetTextColor(kColorRed);
    m_rcStart = RectInParent(*this, m_btnStart);
    CreateStockLine();
    InitFields();
    FocusWholeText(FirstField());
    return FALSE;
}

BOOL CInitPage::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (HIWORD(wParam) == BN_CLICKED) {
        const int id = LOWORD(wParam);
        if (id == m_ids.batchCheck) {
            OnBatchCheck();
            return TRUE;
        }
        if (id == IDC_STOP) {
            OnStop();
            return TRUE;
        }
        if (id == IDC_START) {
            OnStart();
            return TRUE;
        }
    }
    return CDialog::OnCommand(wParam, lParam);
}

LRESULT CInitPage::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAGE_RUN_REQUEST)
        return m_batch.Handle(wParam, lParam);
    return CDialog::WindowProc(message, wParam, lParam);
}

void CInitPage::OnShowWindow(BOOL bShow, UINT nStatus) {
    CDialog::OnShowWindow(bShow, nStatus);
    // What the operator leaves on the page is what the station works with.
    if (!bShow)
        RememberFields();
    // The run ends here; a worker still finishing its last attempt reports to nobody.
    m_batch.EndForReset();
    LoadDefaults();
    ShowFreshCounters();
    ShowStockLine();
    m_tally = RunTally();
    m_bBatch = FALSE;
    UpdateData(FALSE);
    // Idle at once, without waiting for that worker.
    EnableInputs();
    SetStartWanted(true);
    OnBatchCheck();
    FocusWholeText(FirstField());
}

void CInitPage::OnBatchCheck() {
    if (!UpdateData(TRUE))
        return;
    // A change of mode asks for a token and a press of Start again, in the status colour.
    m_lblStatus.SetText(CString(LoadStringOrDefault(IDS_INSERT_AND_START)));
    LayOutRunButtons();
}

void CInitPage::OnStart() {
    // A second press while this page's run goes on starts nothing, and while a stopped
    // run's attempt is still inside the module no other attempt may begin.
    if (m_batch.IsLive() || m_batch.IsGateHeld())
        return;
    std::optional<Job> job = TakeJob();
    if (!job)
        return;
    TokenModule* module = m_bench.Module();
    if (!IsModuleBound(module)) {
        ShowStatus(m_lblStatus, kColorRed, LoadStringOrDefault(IDS_INIT_MODULE_FAILED));
        return;
    }
    if (!m_bBatch) {
        // On the interface thread: the outcome goes straight to the page, no button changes.
        CountOutcome(m_bench.RunOnce(*job, *this));
        return;
    }
    DisableInputs();
    // The run works on its own copy of the fields, whatever happens to them meanwhile.
    if (!m_batch.Start(m_hWnd, std::move(*job), m_tally, &CInitPage::WorkerProc, this))
        EnableInputs();
}

void CInitPage::CountOutcome(const AttemptOutcome& outcome) {
    if (!outcome.IsCounted())
        return;
    RunTally tally = m_tally;
    tally.Add(outcome);
    ShowCounts(tally);
}

void CInitPage::OnStop() {
    m_batch.Stop();
    ShowStopped();
}

bool CInitPage::ConfirmFinalTry() {
    return MessageBox(LoadStringOrDefault(IDS_SO_PIN_FINAL_TRY_QUESTION).c_str(),
                      LoadStringOrDefault(IDS_APP_TITLE).c_str(),
                      MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

void CInitPage::ReportCountedRefusal(const Job& job, CK_RV rv, unsigned messageId) {
    const AttemptSetting setting = JobSetting(job, RunMode(), m_bench.GetLedger(), nullptr);
    CountOutcome(RunAndRecordAttempt(
        [&](AttemptProgress&) { return EndedWith(AttemptKind::Failure, messageId, rv); }, setting, *this));
}

void CInitPage::RememberFields() {
    m_leftFields.clear();
    for (int id : ParameterFieldIds()) {
        HWND field = ::GetDlgItem(m_hWnd, id);
        if (IsCheckBox(field)) {
            m_leftFields.push_back(
                {id, SecretText(::IsDlgButtonChecked(m_hWnd, id) == BST_CHECKED ? L"1" : L"")});
            continue;
        }
        std::vector<wchar_t, WipingAllocator<wchar_t>> text(
            static_cast<size_t>(::GetWindowTextLengthW(field)) + 1);
        ::GetWindowTextW(field, text.data(), static_cast<int>(text.size()));
        m_leftFields.push_back({id, SecretText(text.data())});
    }
}

bool CInitPage::TakeStationParameters(StationParameters& parameters) {
    LoadDefaults();
    UpdateData(FALSE);
    for (const LeftField& field : m_leftFields) {
        if (IsCheckBox(::GetDlgItem(m_hWnd, field.id)))
            ::CheckDlgButton(m_hWnd, field.id, field.text.length() != 0 ? BST_CHECKED : BST_UNCHECKED);
        else
            ::SetDlgItemTextW(m_hWnd, field.id, field.text.c_str());
    }
    const bool bTaken = FillStationParameters(parameters);
    LoadDefaults();
    UpdateData(FALSE);
    return bTaken;
}

void CInitPage::StopBatchAndWait() {
    m_batch.EndForReset();
    m_batch.WaitForWorker();
}

void CInitPage::CreateStockLine() {
    // As wide and as tall as the status line, right below it inside the status group; only
    // shown while a list is in force, so the page looks as before without one.
    CRect rect = RectInParent(*this, m_lblStatus);
    rect.OffsetRect(0, rect.Height() + 2);
    m_lblStock.Create(L"", WS_CHILD | SS_CENTER, rect, this, IDC_STOCK_LINE);
    m_lblStock.SetLogFont(m_lblStatus.GetLogFontRecord());
    m_lblStock.SetTextColor(kColorBlue);
}

void CInitPage::ShowFreshCounters() {
    // The counters read "0" in their colours; the status line asks, in black, for a token.
    ShowCount(m_lblTotal, 0);
    ShowCount(m_lblSuccess, 0);
    ShowCount(m_lblFail, 0);
    ShowStatus(m_lblStatus, kColorBlack, LoadStringOrDefault(IDS_INSERT_AND_START));
}

void CInitPage::LayOutRunButtons() {
    // Batch mode: Stop shown and disabled, Start back in its own place. Single mode: Stop
    // hidden and Start laid exactly over Stop's place.
    if (m_bBatch) {
        m_btnStop.ShowWindow(SW_SHOW);
        m_btnStart.MoveWindow(&m_rcStart, TRUE);
        SetStartWanted(true);
        m_btnStop.EnableWindow(FALSE);
        return;
    }
    const CRect rcStop = RectInParent(*this, m_btnStop);
    m_btnStop.ShowWindow(SW_HIDE);
    m_btnStart.MoveWindow(&rcStop, TRUE);
}

UINT CInitPage::WorkerProc(LPVOID page) {
    if (page == nullptr)
        return 0;
    return static_cast<CInitPage*>(page)->m_batch.RunWorker();
}
