#pragma once
// The "初始化为PKI锁" page: the parameters of a PKI initialisation (new SO and user PINs, their
// retry limits, the label and the storage sizes), validated, then applied once per Start or,
// in batch mode, to every token plugged in until Stop. A status line and three counters
// (total, success, failure) show the outcomes. On a module without the vendor extension the
// token's current SO PIN is asked for too, which a token initialised before needs. Instead of
// a typed user PIN, each token may get a random one of its own, sealed to the supervisor's
// certificate before the token is written to.
#include "pagekit/InitPage.h"

class CPkiPage : public CInitPage {
  public:
    CPkiPage(CWnd* pParent, Workbench& bench);

    CEdit m_editSoPin;
    CStatusLabel m_lblNote;
    CString m_strSoPin;
    DWORD m_dwPrivateSize = 0;
    DWORD m_dwPublicSize = 0;
    BYTE m_bySoPinMaxRetry = 0;
    CString m_strLabel;
    CString m_strUserPin;
    BYTE m_byUserPinMaxRetry = 0;
    CString m_strCurrentSoPin; // the standard path only; empty by default
    // Each token gets a random user PIN of this many digits, sealed to the supervisor's
    // certificate, instead of the typed one.
    int m_bRandomUserPin = FALSE;
    DWORD m_dwRandomPinLength = 0;

    void LoadDefaults() override;

  protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void InitFields() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    std::optional<Job> TakeJob() override;
    // The label and, unless the module takes standard calls only, the limits as the child's
    // options; the new SO and user PINs and, on the standard path, the current SO PIN as its PINs.
    bool FillStationParameters(StationParameters& parameters) override;

  private:
    // The job the fields hold, as the data exchange left them.
    Job FieldsJob();

  protected:
    std::vector<int> ParameterFieldIds() const override;
    // The seven parameter fields and the check box, and the current SO PIN in the note's place
    // where the binding in force is standard.
    void EnableRunInputs(BOOL bEnable) override;
    CEdit& FirstField() override { return m_editSoPin; }

  private:
    // The certificate's absence when a random user PIN is asked for: the refusal shown; empty
    // when the fields may run.
    std::wstring SealingProblem();
    // The user PIN's field and caption, or the random PIN's length in their place.
    void ShowUserPinOrLength();
};

// The batch worker of `page` (a CPkiPage); 0 at once for a null page.
inline UINT PkiWorkerProc(LPVOID page) {
    return CInitPage::WorkerProc(page);
}
