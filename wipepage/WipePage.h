#pragma once
// The "初始化为空锁" page: the operator types the token's current SO PIN and wipes the token
// back to the blank type, once per Start or, in batch mode, every token plugged in until
// Stop. A status line and three counters (total, success, failure) show the outcomes.
#include "pagekit/InitPage.h"

class CWipePage : public CInitPage {
  public:
    CWipePage(CWnd* pParent, Workbench& bench);

    CEdit m_editPin;
    CString m_strPin; // current SO PIN as typed

  protected:
    void DoDataExchange(CDataExchange* pDX) override;
    std::optional<Job> TakeJob() override;
    // The SO PIN, as the child's only PIN.
    bool FillStationParameters(StationParameters& parameters) override;

  private:
    // The job the fields hold, as the data exchange left them.
    Job FieldsJob() const;

  protected:
    std::vector<int> ParameterFieldIds() const override;
    void LoadDefaults() override;
    // The check box and the PIN field.
    void EnableRunInputs(BOOL bEnable) override;
    // Stop gives back the check box at once; the PIN field waits for the worker's end.
    void EnableInputsAtStop() override;
    CEdit& FirstField() override { return m_editPin; }
};

// The batch worker of `page` (a CWipePage); 0 at once for a null page.
inline UINT WipeWorkerProc(LPVOID page) {
    return CInitPage::WorkerProc(page);
}
