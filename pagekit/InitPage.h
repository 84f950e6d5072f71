#pragma once
// What both initialisation pages are: a status line, three counters (total, success, failure),
// a batch check box and Start/Stop. Start runs the page's attempt once on the interface thread
// or, in batch mode, on a worker for every token plugged in until Stop. A page adds only its
// own fields, defaults, data exchange and attempt.
#include "controls/StatusLabel.h"
#include "attempt/Job.h"
#include "attempt/AttemptRunner.h"
#include "ledger/LedgerEntry.h"
#include "pagekit/PageRuns.h"
#include "pagekit/StationParameters.h"
#include "win/Afx.h"
#include "win/PageDialog.h"

#include <optional>

// The page's own controls among those the run page drives.
struct InitPageIds {
    int batchCheck;
    int status;
    int failCount;
};

// Sent (posted) to the page's parent when the page's batch worker has made its last request.
constexpr UINT WM_PAGE_WORKER_ENDED = WM_APP + 0x52;

class CInitPage : public CPageDialog, public PageRunView {
  public:
    CInitPage(UINT templateId, CWnd* pParent, InitPageIds ids, Workbench& bench);
    ~CInitPage() override;

    CButton m_btnStart;
    CButton m_btnStop;
    CStatusLabel m_lblTotal;
    CStatusLabel m_lblSuccess;
    CStatusLabel m_lblFail;
    CStatusLabel m_lblStatus;
    CStatusLabel m_lblStock; // IDC_STOCK_LINE, under the status line: the stock list's progress
    BOOL m_bBatch = FALSE;   // the check box: batch mode selected
    RunTally m_tally;        // the counters shown, over the runs while the page stays on screen
    CRect m_rcStart;         // Start's own place, in page client coordinates

    // Outcomes and control changes, on the interface thread (a batch worker's arrive here
    // as messages to the page).
    void ShowProgress(std::wstring text) override;
    void ShowOutcome(const AttemptOutcome& outcome) override;
    void ShowCounts(const RunTally& tally) override;
    void ShowRefused(std::wstring text) override;
    void EnableInputs() override;
    void DisableInputs() { EnableRunInputs(FALSE); }
    void ShowRunning() override;
    void ShowFinished() override;
    void RefreshStart() override;
    void OnWorkerEnded() override;
    // The run has been stopped (by Stop, or by the attempt that ended it, whose outcome stays on
    // the status line): the check box cleared, the inputs usable again, Stop disabled.
    void ShowStopped() override;
    // Single run: asks the operator whether to spend the SO PIN's last try (Yes/No, No the
    // default).
    bool ConfirmFinalTry() override;

    // The stock list's line: its progress while one is in force, otherwise hidden.
    void ShowStockLine();

    // Ends the batch run for good; nothing it still reports reaches the page.
    void EndBatch() { m_batch.EndForReset(); }
    // Waits for an ended run's worker; only where nothing of the page is on screen.
    void StopBatchAndWait();
    const PageRuns& Batch() const { return m_batch; }

    // The parameters for the station: the fields as the operator last left the page (the
    // page's defaults before that), checked as Start checks them, with the same messages.
    // False when they are refused. The hidden page keeps its defaults afterwards.
    bool TakeStationParameters(StationParameters& parameters);

    // Button handlers (BN_CLICKED).
    void OnBatchCheck();
    void OnStart();
    void OnStop();

    // The batch worker of `page` (a CInitPage); 0 at once for a null page.
    static UINT WorkerProc(LPVOID page);

  protected:
    // The page's fields into its members and checked, reporting what is wrong: the job with its
    // own copy of them, or none when nothing is to start.
    virtual std::optional<Job> TakeJob() = 0;
    // The fields into the members and checked as TakeJob does, then into `parameters`.
    virtual bool FillStationParameters(StationParameters& parameters) = 0;
    // The parameter fields whose texts the station takes when the page is left.
    virtual std::vector<int> ParameterFieldIds() const = 0;
    virtual void LoadDefaults() = 0;
    virtual void EnableRunInputs(BOOL bEnable) = 0;
    // What Stop makes usable at once, before the worker has ended.
    virtual void EnableInputsAtStop() { EnableInputs(); }
    // The field that takes the focus, its whole text selected.
    virtual CEdit& FirstField() = 0;
    // The page's own part of the dialog initialisation.
    virtual void InitFields() {}
    Workbench& Bench() { return m_bench; }
    // The ledger's mode of a run started now.
    LedgerMode RunMode() const { return m_bBatch ? LedgerMode::Batch : LedgerMode::Single; }
    // A counted failure before any token is touched (fields refused): recorded in the ledger
    // like every counted attempt, then shown.
    void ReportCountedRefusal(const Job& job, CK_RV rv, unsigned messageId);

    // The controls shared by both pages; a page exchanges its own fields after these.
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    // Every show and every hide resets the page and ends its batch run.
    void OnShowWindow(BOOL bShow, UINT nStatus) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    void ShowFreshCounters();
    // The counters after an outcome of this page's own (not a batch run's): a counted one adds.
    void CountOutcome(const AttemptOutcome& outcome);
    void LayOutRunButtons();
    void CreateStockLine();
    void SetStartWanted(bool bWanted);
    CWnd* BatchCheck() { return GetDlgItem(m_ids.batchCheck); }
    void RememberFields();

    struct LeftField {
        int id;
        SecretText text; // may be a PIN
    };

    const InitPageIds m_ids;
    Workbench& m_bench;
    bool m_bStartWanted = true;
    std::vector<LeftField> m_leftFields; // the parameter fields as the operator last left them
    PageRuns m_batch;
};
