#pragma once
// The application object: one copy of the tool per logon session, the main dialog run
// modally as the only window, the process ending when it closes.
#include "win/Afx.h"

class CVantorApp : public CWinApp {
  public:
    CVantorApp() = default;
    BOOL InitInstance() override;
};

// The name of the single-instance mutex: "<identifier>_Vantor", local to the logon session.
CString InstanceMutexName();
