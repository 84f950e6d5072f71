#pragma once
// Data exchange between a dialog's controls and its members, with validation. Call the
// DDX_/DDV_ functions from DoDataExchange in exchange order; each DDV_ call checks the
// value its DDX_ call just took. When reading the fields (UpdateData(TRUE)) the first bad
// field stops the exchange: the user is told in a message box, the field gets the focus
// with its whole text selected, every later DDX_/DDV_ call does nothing and UpdateData
// returns FALSE. When loading (UpdateData(FALSE)), DDV_MaxChars after a DDX_Text sets that
// field's typing limit to the maximum.
#include "win/WinString.h"

#include <windows.h>

#include <functional>

class CWnd;

class CDataExchange {
  public:
    CDataExchange(CWnd* dialog, BOOL saveAndValidate)
        : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog) {}

    BOOL m_bSaveAndValidate; // TRUE: controls to members, with validation
    CWnd* m_pDlgWnd;

    // The control `id` of the dialog; remembered as the field a later failure refers to.
    HWND PrepareCtrl(int id);
    // The same for a text field, whose text is selected when it fails.
    HWND PrepareEditCtrl(int id);
    // Stops the exchange at the last prepared field: focus, selection, then Failed().
    void Fail();
    bool Failed() const { return m_bFailed; }
    // Typing limit of the last prepared text field.
    void LimitLastEdit(int maxChars);

    // Shows a validation message; the default is a modal box with the exclamation icon.
    void ShowMessage(const CString& text) const;

  private:
    HWND m_hWndLastControl = nullptr;
    bool m_bEditLastControl = false;
    bool m_bFailed = false;
};

// Tests replace the validation message box with a recorder; an empty function restores the
// box. Returns the previous hook.
using ValidationMessageHook = std::function<void(const CString& text)>;
ValidationMessageHook SetValidationMessageHook(ValidationMessageHook hook);

// Binds the dialog's control `id` to `control` (subclassing it) unless it is bound already.
void DDX_Control(CDataExchange* dx, int id, CWnd& control);

void DDX_Text(CDataExchange* dx, int id, CString& value);
void DDX_Text(CDataExchange* dx, int id, int& value);
void DDX_Text(CDataExchange* dx, int id, BYTE& value);  // 0 to 255
void DDX_Text(CDataExchange* dx, int id, DWORD& value); // unsigned 32-bit
void DDX_Check(CDataExchange* dx, int id, int& value);

void DDV_MaxChars(CDataExchange* dx, const CString& value, int maxChars);
void DDV_MinMaxInt(CDataExchange* dx, int value, int minValue, int maxValue);
void DDV_MinMaxByte(CDataExchange* dx, BYTE value, BYTE minValue, BYTE maxValue);
void DDV_MinMaxDWord(CDataExchange* dx, DWORD value, DWORD minValue, DWORD maxValue);
