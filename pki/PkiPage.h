#pragma once
// The "初始化为PKI锁" page: the parameters of a PKI initialisation (new SO and user PINs, their
// retry limits, the label and the storage sizes), validated, then applied once per Start or,
// in batch mode, to every token plugged in until Stop. A status line and three counters
// (total, success, failure) show the outcomes.
#include "win/Afx.h"
#include "pagekit/PageRun.h"
#include "controls/StatusLabel.h"

class CPkiPage : public CDialog, public RunPage {
  public:
    explicit CPkiPage(CWnd* pParent = nullptr);
    ~CPkiPage() override;

    CEdit m_editSoPin;
    CStatusLabel m_lblNote;
    CButton m_btnStop;
    CButton m_btnStart;
    CStatusLabel m_lblStatus;
    CStatusLabel m_lblSuccess;
    CStatusLabel m_lblTotal;
    CStatusLabel m_lblFail;
    BOOL m_bBatch; // check box 1032: batch mode selected
    CString m_strSoPin;
    DWORD m_dwPrivateSize;
    DWORD m_dwPublicSize;
    BYTE m_bySoPinMaxRetry;
    CString m_strLabel;
    CString m_strUserPin;
    BYTE m_byUserPinMaxRetry;
    CRect m_rcStart; // Start's own place, in page client coordinates
    int m_nTotal;
    int m_nSuccess;
    int m_nFail;

    // Outcomes and control changes, on the interface thread (a batch worker's arrive here
    // as messages to the page).
    void ReportSuccess(bool bCount, std::wstring text) override;
    void ReportFailure(bool bCount, std::wstring text) override;
    // The seven parameter fields and the check box.
    void EnableInputs() override;
    void DisableInputs();
    void ShowRunning() override;
    void ShowFinished() override;
    void LoadDefaults();

    // For the main window before it releases the module: ends the batch run and waits for
    // its worker. No module call is made for this page afterwards.
    void StopBatchAndWait();
    const PageBatch& Batch() const { return m_batch; }

    // Button handlers (BN_CLICKED).
    void OnStart();
    void OnStop();
    void OnBatchCheck();

  protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    // Enter and Esc never close or hide the page.
    void OnOK() override {}
    void OnCancel() override {}
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    // Every show and every hide restores the defaults and ends the batch run.
    void OnShowWindow(BOOL bShow, UINT nStatus) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    friend UINT PkiWorkerProc(LPVOID page);
    void EnableParameterInputs(BOOL bEnable);

    PageBatch m_batch;
};

// The batch worker of `page` (a CPkiPage); 0 at once for a null page.
UINT PkiWorkerProc(LPVOID page);
