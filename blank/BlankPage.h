#pragma once
// The "初始化为空锁" page: the operator types the token's current SO PIN and wipes the token
// back to the blank type, once per Start or, in batch mode, every token plugged in until
// Stop. A status line and three counters (total, success, failure) show the outcomes.
#include "win/Afx.h"
#include "pagekit/PageRun.h"
#include "controls/StatusLabel.h"

class CBlankPage : public CDialog, public RunPage {
  public:
    explicit CBlankPage(CWnd* pParent = nullptr);
    ~CBlankPage() override;

    CEdit m_editPin;
    CButton m_btnStart;
    CButton m_btnStop;
    CStatusLabel m_lblTotal;
    CStatusLabel m_lblSuccess;
    CStatusLabel m_lblFail;
    BOOL m_bBatch;    // check box 1007: batch mode selected
    CString m_strPin; // current SO PIN as typed
    CStatusLabel m_lblStatus;
    int m_nFail;
    int m_nSuccess;
    int m_nTotal;
    CRect m_rcStart; // Start's own place, in page client coordinates

    // Outcomes and control changes, on the interface thread (a batch worker's arrive here
    // as messages to the page).
    void ReportSuccess(bool bCount, std::wstring text) override;
    void ReportFailure(bool bCount, std::wstring text) override;
    void EnableInputs() override;
    void ShowRunning() override;
    void ShowFinished() override;
    void DisableInputs();

    // For the main window before it releases the module: ends the batch run and waits for
    // its worker. No module call is made for this page afterwards.
    void StopBatchAndWait();
    const PageBatch& Batch() const { return m_batch; }

    // Button handlers (BN_CLICKED).
    void OnBatchCheck();
    void OnStart();
    void OnStop();

  protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    // Enter and Esc never close or hide the page.
    void OnOK() override {}
    void OnCancel() override {}
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    // Every show and every hide resets the page and ends its batch run.
    void OnShowWindow(BOOL bShow, UINT nStatus) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    friend UINT BlankWorkerProc(LPVOID page);
    void LoadDefaults();

    PageBatch m_batch;
};

// The batch worker of `page` (a CBlankPage); 0 at once for a null page.
UINT BlankWorkerProc(LPVOID page);
