#pragma once
// One initialisation page of a running Vantor.exe, driven from outside as an operator drives
// it: shown through the navigation bar's message, batch mode ticked, Start and Stop pressed,
// status line and counters read back.
#include <windows.h>

#include <string>

struct PageControls {
    int barItem; // index of the page in the navigation bar
    int batchCheck;
    int status;
    int failCount;
};
extern const PageControls kWipePageControls;
extern const PageControls kPkiPageControls;

class BatchPage {
  public:
    // Shows the page in `main` and waits until it is visible; Valid() tells whether it came.
    BatchPage(HWND main, const PageControls& controls);
    bool Valid() const { return m_page != nullptr; }
    HWND Page() const { return m_page; }
    HWND Control(int id) const { return GetDlgItem(m_page, id); }

    // Ticks batch mode if needed, presses Start and waits until the run shows as running.
    bool StartBatch(DWORD timeoutMs = 10000) const;
    // Presses Stop (BM_CLICK, returns once the page has handled it).
    void PressStop() const;
    bool StartEnabled() const;
    bool StopEnabled() const;

    // Until `total` attempts are counted and the status line asks for a token again: a churn
    // that ends with a pull has been worked through.
    bool WaitForCounted(int total, DWORD timeoutMs) const;

    std::wstring Status() const;
    int Total() const;
    int Success() const;
    int Fail() const;

  private:
    int Count(int id) const;

    PageControls m_controls;
    HWND m_page = nullptr;
};
