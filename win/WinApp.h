#pragma once
// The application object and the program's entry point. The program defines exactly one
// global object of a CWinApp-derived class; the entry point (WinApp.cpp's WinMain, linked
// from the vantor_win_main object library) runs its InitInstance and, should that return
// TRUE, a message loop until WM_QUIT, then ExitInstance. There is no loop otherwise.
#include "win/ResourceHandle.h"
#include "win/Wnd.h"

class CWinApp {
  public:
    explicit CWinApp(const wchar_t* appName = nullptr);
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;
    virtual ~CWinApp();

    virtual BOOL InitInstance() { return FALSE; }
    virtual int ExitInstance() { return 0; }
    // The message loop, entered only when InitInstance returns TRUE.
    virtual int Run();

    CWnd* GetMainWnd() const { return m_pMainWnd; }

    // These two only keep the framework's shape: controls look three-dimensional anyway and
    // the program hosts no ActiveX controls. Both report success and change nothing.
    BOOL Enable3dControls() { return TRUE; }

    CWnd* m_pMainWnd = nullptr;
    HINSTANCE m_hInstance = nullptr;
    // Caption of the layer's own message boxes (validation): the name given to the
    // constructor, else the program's file name without extension.
    CString m_strAppName;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
// See Enable3dControls.
inline BOOL AfxEnableControlContainer() {
    return TRUE;
}
// The module whose resources the program uses (the executable).
HINSTANCE AfxGetInstanceHandle();
// The module holding resource `name` of `type`: the resource module when it has it, else
// the module of the layer itself (they are one and the same in this program).
HINSTANCE AfxFindResourceHandle(const wchar_t* name, const wchar_t* type);
// A message box owned by the active window, with the application's name as caption; the
// exclamation icon is added when `type` names no icon.
int AfxMessageBox(const wchar_t* text, UINT type = MB_OK);

// Runs the application object as the entry point does: InitInstance, the loop when asked,
// ExitInstance. Returns the process exit code. No exception leaves it.
int AfxWinRun(HINSTANCE instance);
