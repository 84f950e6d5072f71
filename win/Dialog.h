#pragma once
// Dialogs from the templates in the program's resources: modal (DoModal, run by the
// system's own dialog loop) or modeless child pages (Create). IDOK and IDCANCEL arrive as
// OnOK and OnCancel; OnCommand of a derived dialog is a short switch from control ID to
// its named handlers, passing everything else to CDialog::OnCommand.
//
// A child page is made a control parent (WS_EX_CONTROLPARENT), so Tab and Shift+Tab move
// through its controls from the main dialog's loop. While a modal dialog runs, Enter and
// Esc typed inside a child page go to that page's dialog manager first (its default button,
// its OnOK/OnCancel), as they would if the page ran its own loop.
#include "win/DataExchange.h"
#include "win/Wnd.h"

class CDialog : public CWnd {
  public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);

    // Runs the dialog modally; the value given to EndDialog, or -1 when it could not be made.
    virtual INT_PTR DoModal();
    // Creates a modeless dialog (a child page when the template has WS_CHILD).
    virtual BOOL Create(UINT templateId, CWnd* parent = nullptr);
    void EndDialog(int result);

    // Moves or checks data between the controls and the members: FALSE when a field
    // failed validation (the user has been told and the field has the focus).
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    void GotoDlgCtrl(CWnd* control);
    void NextDlgCtrl() const;
    void PrevDlgCtrl() const;

    UINT GetTemplateId() const { return m_templateId; }

  protected:
    virtual void DoDataExchange(CDataExchange* dx);
    // Runs once the controls exist: the base loads the members into them (UpdateData(FALSE))
    // and returns TRUE (the dialog manager sets the focus).
    virtual BOOL OnInitDialog();
    // Enter / the OK button: the base takes the fields and ends the dialog with IDOK.
    virtual void OnOK();
    // Esc / the close box: the base ends the dialog with IDCANCEL.
    virtual void OnCancel();
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

  private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    UINT m_templateId;
    CWnd* m_pParentWnd;
    bool m_bModal = false;
};
